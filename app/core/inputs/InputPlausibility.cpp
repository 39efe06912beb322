#include "app/core/inputs/InputPlausibility.h"

#include "support/LibStandard.h"
#include "support/NumberText.h"

namespace brennic {

namespace {

std::string Named(int field, TFieldNaming naming)
{
    const std::string name = FieldName(field, naming);
    return naming == TFieldNaming::Caption ? "\"" + name + "\"" : name;
}

std::string Number(double v)
{
    return ToUtf8(FormatFloat(v, u'.'));
}

}  // namespace

std::vector<std::string> PlausibilityNotes(const TBrennicOneD& s, TFieldNaming naming)
{
    std::vector<std::string> notes;
    if (s.Thickness < ThinnestLikelyMirror)
        notes.push_back(Named(fThickness, naming) + " is " + Number(s.Thickness * 1000) +
                        " mm, thinner than any telescope mirror; the field is in millimetres.");
    if (s.Diameter > 0 && s.Thickness > ThickestLikelyAspect * s.Diameter)
        notes.push_back(Named(fThickness, naming) + " " + Number(s.Thickness * 1000) +
                        " mm is more than a third of " + Named(fDiameter, naming) + " " + Number(s.Diameter * 1000) +
                        " mm; the model follows the heat through the thickness and treats the edge only roughly.");
    if (s.Duration > 0 && s.TimeStep * FewestLikelySteps > s.Duration)
        notes.push_back(Named(fTimeStep, naming) + " " + Number(s.TimeStep) + " s is more than a tenth of " +
                        Named(fDuration, naming) + " " + Number(s.Duration / 60) +
                        " min; the curves have few points and the ready times are coarse.");
    return notes;
}

}  // namespace brennic
