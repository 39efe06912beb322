#include "app/core/inputs/RadiationModel.h"

#include "app/core/inputs/RunSetup.h"
#include "app/core/results/ResultText.h"
#include "model/FilmCorrelations.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>

namespace brennic {

namespace {

// What a fan behind the mirror may be: its opening (mm), exit speed (m/s)
// and distance to the back (mm).
constexpr double FanOpeningMin = 10, FanOpeningMax = 1000;
constexpr double FanSpeedMin = 0.1, FanSpeedMax = 30;
constexpr double FanDistanceMin = 5, FanDistanceMax = 5000;

bool Is(const TInputTexts& t, int field, std::u16string_view word)
{
    return t.Text(field) == word;
}

std::string Ratio(double v)
{
    return FixedText(v, 1, u'.');
}

}  // namespace

const char* RadiationModelName(TRadiationModel model)
{
    return model == TRadiationModel::Physical ? "physical" : "classic";
}

std::string ModelText(const TModelChoice& c)
{
    std::string text = RadiationModelName(c.Model);
    if (c.Chosen)
        return text + " (chosen)";
    return text + (c.Reason.empty() ? " (inferred)" : " (inferred: " + c.Reason + ")");
}

std::vector<TPhysicalInput> PhysicalOnlyInputs(const TInputTexts& t, char16_t dec)
{
    std::vector<TPhysicalInput> found;
    if (Is(t, fSky, u"clear"))
        found.push_back({fSky, "the sky is clear"});
    if (Is(t, fSky, u"file"))
        found.push_back({fSky, "the sky comes from the air file"});
    if (Is(t, fBackSees, u"surroundings"))
        found.push_back({fBackSees, "the back sees the surroundings"});
    double tube = 0;
    if (TryStrToFloat(t.Text(fTubeLength), dec, tube) && tube > 0)
        found.push_back({fTubeLength, "a tube is given"});
    if (Is(t, fEdge, u"exposed") || Is(t, fEdge, u"insulated"))
        found.push_back({fEdge, "the edge is given"});
    if (!t.Text(fBackFan).empty())
        found.push_back({fBackFan, "a fan blows onto the back"});
    return found;
}

TModelChoice InferRadiationModel(const TInputTexts& t, bool airHasSky, char16_t dec)
{
    const std::vector<TPhysicalInput> physical = PhysicalOnlyInputs(t, dec);
    TModelChoice c;
    if (Is(t, fRadiation, u"classic") || Is(t, fRadiation, u"physical")) {
        c.Chosen = true;
        c.Model = Is(t, fRadiation, u"physical") ? TRadiationModel::Physical : TRadiationModel::Classic;
        return c;
    }
    if (Is(t, fFilms, u"conditions"))
        c.Reason = "the films come from the conditions";
    else if (airHasSky && Is(t, fSky, u"auto"))
        c.Reason = "the air file has a sky column";
    else if (!physical.empty())
        c.Reason = physical.front().What;
    c.Model = c.Reason.empty() ? TRadiationModel::Classic : TRadiationModel::Physical;
    return c;
}

TModelChoice ResolveRadiationModel(const TInputTexts& t, bool airHasSky, char16_t dec, TFieldNaming naming)
{
    const TModelChoice c = InferRadiationModel(t, airHasSky, dec);
    if (!c.Chosen || c.Model == TRadiationModel::Physical)
        return c;
    const std::vector<TPhysicalInput> physical = PhysicalOnlyInputs(t, dec);
    if (physical.empty())
        return c;
    // The command line names the input; the window the choice, since it
    // disables the inputs that only the physical model uses.
    const int field = physical.front().Field;
    if (naming == TFieldNaming::Option)
        RefuseField(field, ToUtf8(t.Text(field)), naming,
                    "it needs the physical radiation model (--radiation physical)");
    RefuseField(fRadiation, "classic", naming,
                std::string("\"") + InputFields[field].Caption + "\" is " + ToUtf8(t.Text(field)) +
                    ", which only the physical radiation model uses (choose physical, or set it back)");
}

std::u16string BackRadiationDefault(TRadiationModel model, int material, char16_t dec)
{
    if (model != TRadiationModel::Physical)
        return InputFields[fBackRadiation].Default;
    return FormatFloat(GlassEmissivities.at(std::size_t(material)), dec);
}

std::string AutoMeaning(int field, TRadiationModel model)
{
    const bool physical = model == TRadiationModel::Physical;
    if (field == fBackSees)
        return physical ? "surroundings" : "sky";
    if (field == fEdge)
        return physical ? "exposed" : "none (classic model)";
    if (field == fRadiation)
        return RadiationModelName(model);
    return {};
}

void ApplyRadiationModel(const TModelChoice& c, TInputTexts& t, bool backRadiationGiven, char16_t dec,
                         TBrennicOneD& s)
{
    s.Radiation = c.Model;
    const bool physical = c.Model == TRadiationModel::Physical;
    s.BackSeesSurroundings = Is(t, fBackSees, u"surroundings") || (physical && Is(t, fBackSees, u"auto"));
    s.EdgeExposed = physical && !Is(t, fEdge, u"insulated");
    s.EdgeEmissivity = GlassEmissivities.at(std::size_t(t.Material));
    if (physical && !backRadiationGiven) {
        t.Text(fBackRadiation) = BackRadiationDefault(c.Model, t.Material, dec);
        s.BackRadiation = s.EdgeEmissivity;
    }
}

void FollowModelDefaults(TInputTexts& t, TRadiationModel before, int materialBefore, TRadiationModel after,
                         char16_t dec)
{
    if (t.Text(fBackRadiation) == BackRadiationDefault(before, materialBefore, dec))
        t.Text(fBackRadiation) = BackRadiationDefault(after, t.Material, dec);
}

void ApplyBackFan(const TInputTexts& t, char16_t dec, TFieldNaming naming, TBrennicOneD& s,
                  std::vector<std::string>& notes)
{
    s.BackFanDiameter = s.BackFanSpeed = s.BackFanDistance = 0;
    const std::u16string& text = t.Text(fBackFan);
    if (text.empty())
        return;
    const std::string typed = ToUtf8(text);
    const std::vector<double> v = ListValues(text, dec);
    if (v.size() != 3)
        RefuseField(fBackFan, typed, naming,
                    "give the fan's opening (mm), its exit speed (m/s) and its distance to the back (mm), "
                    "e.g. 80,2.5,180");
    struct Part {
        double value, min, max;
        const char* what;
    };
    const Part parts[] = {{v[0], FanOpeningMin, FanOpeningMax, "the fan's opening must be between 10 and 1000 mm"},
                          {v[1], FanSpeedMin, FanSpeedMax, "the fan's exit speed must be between 0.1 and 30 m/s"},
                          {v[2], FanDistanceMin, FanDistanceMax,
                           "the fan's distance to the back must be between 5 and 5000 mm"}};
    for (const Part& p : parts)
        if (!(p.value >= p.min && p.value <= p.max))
            RefuseField(fBackFan, typed, naming, p.what);
    if (!Is(t, fFilms, u"conditions"))
        RefuseField(fBackFan, typed, naming,
                    std::string("a fan's effect is computed with the film coefficients from the conditions (") +
                        (naming == TFieldNaming::Option ? "--films conditions" : "Film Coefficients: conditions") +
                        ")");
    s.BackFanDiameter = v[0] / 1000;
    s.BackFanSpeed = v[1];
    s.BackFanDistance = v[2] / 1000;
    const TJetFilm jet = ImpingingJetFilm(s.InitialAirTemp, s.InitialAirTemp, s.BackFanDiameter, s.BackFanSpeed,
                                          s.BackFanDistance, s.Diameter / 2, PressureRatio(s.SiteElevation));
    if (jet.DistanceClamped)
        notes.push_back("The back fan stands " + Ratio(s.BackFanDistance / s.BackFanDiameter) +
                        " openings from the back, outside the 2 to 12 of Martin's measurements: taken as " +
                        Ratio(std::clamp(s.BackFanDistance / s.BackFanDiameter, JetLowestDistance, JetHighestDistance)));
    if (jet.RadiusClamped)
        notes.push_back("The mirror's radius is " + Ratio(s.Diameter / 2 / s.BackFanDiameter) +
                        " fan openings, outside the 2.5 to 7.9 of Martin's measurements: taken as " +
                        Ratio(std::clamp(s.Diameter / 2 / s.BackFanDiameter, JetLowestRadius, JetHighestRadius)));
    if (jet.ReynoldsOutside)
        notes.push_back("The back fan's Reynolds number is outside the 2000 to 400000 of Martin's measurements: "
                        "its film coefficient is extrapolated");
}

}  // namespace brennic
