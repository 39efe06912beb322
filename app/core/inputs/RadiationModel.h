// Which radiation model a run uses and why, and the inputs that follow it:
// what the back radiates to and how strongly, the mirror's rim, and a fan
// blowing onto the back.
#pragma once

#include "app/core/inputs/InputFields.h"
#include "model/FiniteDiff_1D.h"

#include <string>
#include <vector>

namespace brennic {

struct TModelChoice {
    TRadiationModel Model = TRadiationModel::Classic;  // Classic or Physical
    bool Chosen = false;                               // given by the user, not inferred
    std::string Reason;  // what made an inferred model physical, e.g. "the films come from the conditions"
};

// "classic" or "physical".
const char* RadiationModelName(TRadiationModel model);
// "physical (inferred: the films come from the conditions)", "classic (chosen)".
std::string ModelText(const TModelChoice& choice);

// An input set to something only the physical model uses, and what it is.
struct TPhysicalInput {
    int Field;
    const char* What;  // "a tube is given"
};
// Those inputs, in the table's order; texts that do not convert count as not set.
std::vector<TPhysicalInput> PhysicalOnlyInputs(const TInputTexts& texts, char16_t decimalSeparator);

// The model the texts ask for, without refusing anything.
TModelChoice InferRadiationModel(const TInputTexts& texts, bool airHasSky, char16_t decimalSeparator);

// The same, checked. Inferred (auto): physical when the films come
// from the conditions, the air file has a sky column or an input only the
// physical model uses is set. With classic chosen, such an input is refused
// (EFieldError naming it and the choice that takes it).
TModelChoice ResolveRadiationModel(const TInputTexts& texts, bool airHasSky, char16_t decimalSeparator,
                                   TFieldNaming naming);

// A field's default under a model: the back's radiation factor is the
// glass's emissivity in the physical model and 0 in the classic one.
std::u16string BackRadiationDefault(TRadiationModel model, int material, char16_t decimalSeparator);

// Sets the solver's model, what the back sees and the rim. The back's
// radiation factor becomes the glass's emissivity in the physical model
// unless the user gave it; the texts then say so.
void ApplyRadiationModel(const TModelChoice& choice, TInputTexts& texts, bool backRadiationGiven,
                         char16_t decimalSeparator, TBrennicOneD& solver);

// What "auto" of a choice field stands for under a model ("surroundings",
// "exposed"); empty for fields without it.
std::string AutoMeaning(int field, TRadiationModel model);

// A back radiation factor that still shows one state's default (model and
// glass) takes the other's, so that the window shows the value in use.
void FollowModelDefaults(TInputTexts& texts, TRadiationModel before, int materialBefore, TRadiationModel after,
                         char16_t decimalSeparator);

// A fan blowing onto the back: checks the three numbers (refusals name the
// field), stores them and adds notes where Martin's correlation is used
// outside the range it was measured in. Requires film coefficients from the
// conditions.
void ApplyBackFan(const TInputTexts& texts, char16_t decimalSeparator, TFieldNaming naming, TBrennicOneD& solver,
                  std::vector<std::string>& notes);

}  // namespace brennic
