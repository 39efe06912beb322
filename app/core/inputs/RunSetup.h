// Turning the texts of the input fields into a configured solver, and what a
// run needs before it may start.
#pragma once

#include "app/core/tables/AirSource.h"
#include "app/core/inputs/InputFields.h"
#include "model/FiniteDiff_1D.h"
#include "support/NumberText.h"

#include <array>
#include <cstdint>
#include <string>

namespace brennic {

// A field that did not convert: the conversion's message, and which field
// (its TFieldId) it was.
class EFieldConvertError : public EConvertError {
public:
    EFieldConvertError(const EConvertError& e, int field) : EConvertError(e), Field(field) {}
    int Field;
};

// A refused input: the message names the field and the value as typed.
class EFieldError : public EBrennicError {
public:
    EFieldError(const std::string& message, int field, std::string rule = {})
        : EBrennicError(message), Field(field), Rule(std::move(rule))
    {
    }
    int Field;
    std::string Rule;  // what the value must be, without the field's name
};

// Throws EFieldError: "NAME" is TYPED: RULE, the field named as naming says.
[[noreturn]] void RefuseField(int field, const std::string& typed, TFieldNaming naming, const std::string& rule);

// Converts the fields in their fixed order, storing each value into the
// solver as soon as it is converted, then copies the material. The first
// field that does not convert throws EFieldConvertError; later ones are not
// read.
void ApplyInputs(const TInputTexts& texts, char16_t decimalSeparator, TBrennicOneD& solver);

// Where a run will draw and how much it will hold.
struct TRunPlan {
    std::int32_t StripWidth = 0;   // columns: one per report (ReportCount)
    std::int32_t StripHeight = 0;  // rows: one per element
    double AxisMinutes = 0;        // the time axis runs from 0 to here
    double TempMin = 0;            // both temperature axes, degC
    double TempMax = 0;
};

// The largest Fourier number k dt / (rho c dx^2) a step may have: beyond it
// the elements' own heat capacity is lost to rounding in the elimination.
inline constexpr double MaxFourierNumber = 1e12;

// Upper bound on the memory a run may take.
inline constexpr std::uint64_t RunMemoryLimitBytes = 2048ull << 20;

// What a run keeps: the window keeps every report (rows, curves, strip); a
// streaming caller keeps only the solver's arrays and its output buffer.
enum class TMemoryUse { KeepsResults, Streams };

// Bytes a run will allocate, at the most.
double RunMemoryBytes(const TBrennicOneD& solver, TMemoryUse use);

// Checks everything a run needs and lays it out. Throws EFieldError with a
// message that names the field (as naming says) and its text as typed, or
// EBrennicError for a run too large as a whole. Texts default to the values
// written in the number form.
// With air from a file, its extremes widen the axes and the checks.
TRunPlan PlanRun(const TBrennicOneD& solver, char16_t decimalSeparator, const TInputTexts* texts = nullptr,
                 TFieldNaming naming = TFieldNaming::Caption, TMemoryUse use = TMemoryUse::KeepsResults,
                 const TAirExtremes* air = nullptr);


// How many reports a run makes: the initial state and one per step, the
// time advancing by repeated addition until it reaches the period, exactly
// as the solver's clock does. Counted exactly up to ExactReportCountLimit
// steps; beyond, ceil(duration / step) + 1, for runs too long to keep.
inline constexpr double ExactReportCountLimit = 1e8;
double ReportCount(double duration, double timeStep);

}  // namespace brennic
