// Everything one run needs, built once and checked once: the solver's
// inputs, the air (ramp or file), a measured log, the tolerances, the text
// settings and the plan. The window, the command line, the fit and sweeps
// all build their runs here; a request that exists can run.
#pragma once

#include "app/core/tables/AirSource.h"
#include "app/core/inputs/InputFields.h"
#include "app/core/inputs/RadiationModel.h"
#include "app/core/tables/MeasuredLog.h"
#include "app/core/results/Tolerances.h"
#include "app/core/results/ResultText.h"
#include "app/core/inputs/RunSetup.h"
#include "model/FiniteDiff_1D.h"

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace brennic {

// What a request is built from.
inline constexpr double DefaultMaxAirGap = 6 * 3600;  // s
inline constexpr double AirGapSteps = 2;                // times the median interval

struct TRequestSource {
    TInputTexts Texts;                    // as typed
    char16_t DecimalSeparator = u'.';     // of the texts
    TFieldNaming Naming = TFieldNaming::Caption;
    TMemoryUse Use = TMemoryUse::KeepsResults;
    TRegionalSettings Settings;           // of the result text
    std::vector<double> Tolerances = DefaultTolerances;
    std::shared_ptr<const TAirSource> Air;  // an air file; none: the ramp
    std::shared_ptr<const TMeasuredLog> Log;
    // With a log: whether the start temperature and the period were given,
    // or are to be taken from the log.
    bool MirrorTempGiven = true, DurationGiven = true;
    // Whether the back's radiation factor and the site's elevation were
    // given, or follow the physical model and the air file's metadata.
    bool BackRadiationGiven = true, SiteElevationGiven = true;
    // The longest stretch without air within the run that is bridged by
    // interpolation (s); a longer one is refused, unless the file's usual
    // interval is itself that long (a daily table: twice its interval).
    double MaxAirGap = DefaultMaxAirGap;
};

struct TRunRequest {
    TBrennicOneD Solver;  // configured; no step handler
    TInputTexts Texts;    // as the run used them
    TRunPlan Plan;
    TRegionalSettings Settings;
    std::vector<double> Tolerances;
    std::vector<double> Seeing;            // arc-seconds
    std::vector<std::string> SeeingTexts;  // as typed, for the summary's keys
    std::shared_ptr<const TAirSource> Air;
    std::shared_ptr<const TMeasuredLog> Log;
    TModelChoice Model;              // the radiation model in use and why
    std::vector<std::string> Notes;  // how inputs were completed or used outside their range
};

// The lowest and highest film coefficient (W/m^2 K) of a face over a run.
struct TFilmRange {
    double Min = 0, Max = 0;
};
using TFilmRanges = std::array<TFilmRange, 3>;  // front, back, rim
// Whether a run's film coefficients change as it goes: computed from the
// conditions, or a rim in the model.
inline bool FilmsVary(const TBrennicOneD& s)
{
    return s.ComputedFilms || s.EdgeInModel();
}

// The sky a run uses, resolved from the sky field and the air.
enum class TSkyKind { Fixed, Clear, File };

// A measured log sets the mirror's start temperature (its first value) and
// the period (its span) unless they were given; the texts get them in the
// given decimal form.
void ApplyLogDefaults(TInputTexts& texts, const TMeasuredLog& log, char16_t decimalSeparator, bool mirrorTempGiven,
                      bool durationGiven);

// "auto" is the file's sky column when the air file has one, else fixed.
// Throws EFieldError naming the sky (file without a sky column) or the dew
// point (a clear sky without one).
TSkyKind ResolveSky(const TInputTexts& texts, const std::shared_ptr<const TAirSource>& air, char16_t decimalSeparator,
                    TFieldNaming naming, TBrennicOneD& solver);

// Converts, applies the air and the log and plans; every refusal happens
// here (EFieldConvertError, EFieldError, EBrennicError).
TRunRequest BuildRunRequest(TRequestSource source);

}  // namespace brennic
