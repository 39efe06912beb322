// When is the mirror ready? Follows a run's reports and tells from when the
// surface, the back and the whole glass stay no more than a tolerance above
// the air. Only glass warmer than the air blurs the image: a face that a
// clear sky holds below the air is ready.
#pragma once

#include "app/core/results/ResultText.h"
#include "app/core/results/Tolerances.h"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace brennic {

class TReadiness {
public:
    enum Part { Surface, Back, Glass, PartCount };

    explicit TReadiness(std::vector<double> tolerances = DefaultTolerances);

    void Clear();
    void Add(const TStepValues& v);

    const std::vector<double>& Tolerances() const { return tolerances_; }
    // The time (s) of the earliest report from which the part stays no more
    // than tolerance k above the air at every later report; nothing while it
    // is above that at the last report.
    std::optional<double> ReadyFrom(Part part, std::size_t k) const { return readyFrom_[part][k]; }
    // The coldest surface minus air (degC, at most 0) since the surface last
    // came within the loosest tolerance; 0 while it is not ready.
    double SurfaceBelowAir() const { return belowAir_; }
    // Surface minus back of the largest magnitude, the first on ties, and when.
    double LargestDifference() const { return largestDifference_; }
    double LargestDifferenceTime() const { return largestDifferenceTime_; }
    const TStepValues& Last() const { return last_; }
    std::size_t Reports() const { return reports_; }

    // Mirror seeing thresholds (arc-seconds), set before the first report;
    // the time (s) of the earliest report from which the mirror's seeing
    // stays at or below threshold k.
    void SetSeeing(std::vector<double> thresholds);
    const std::vector<double>& SeeingThresholds() const { return seeing_; }
    std::optional<double> SeeingReadyFrom(std::size_t k) const { return seeingFrom_[k]; }

private:
    std::vector<double> tolerances_;
    std::array<std::vector<std::optional<double>>, PartCount> readyFrom_;
    std::vector<double> seeing_;
    std::vector<std::optional<double>> seeingFrom_;
    double belowAir_ = 0;
    double largestDifference_ = 0;
    double largestDifferenceTime_ = 0;
    TStepValues last_{};
    std::size_t reports_ = 0;
};

// The blur (arc-seconds) of a mirror whose surface is warmer than the air:
// 0.40" per kelvin to the power 1.2 (Racine, Salmon, Cowley and Sovka 1991,
// PASP 103, 1020); none when the surface is at or below the air.
inline constexpr double MirrorSeeingPerKelvin = 0.40;
inline constexpr double MirrorSeeingExponent = 1.2;
double MirrorSeeing(const TStepValues& v);

// How far the part is above the air in one report (degC; negative below):
// for the glass, its warmest element.
double AboveAir(const TStepValues& v, TReadiness::Part part);


// The readout as cells: per part (surface, back, glass) the time from which
// it stays no more than each tolerance above the air, or "not reached".
// clock: a time of the run (s) on the local clock ("22:41"), or "" where
// the air has no clock; then the cells are the clock's.
std::vector<std::vector<std::string>> ReadyCells(const TReadiness& r, char16_t decimalSeparator,
                                                 const std::function<std::string(double)>& clock = {});

// The command line's summary: a small table and the extremes.
std::string ReadinessText(const TReadiness& r, char16_t decimalSeparator);
// The same as one JSON object, numbers in their shortest round-trip form.
// Further keys, each a number or null, follow the readiness's own.
using TJsonExtras = std::vector<std::pair<std::string, std::optional<double>>>;
std::string ReadinessJson(const TReadiness& r, const TJsonExtras& extras = {});

// Tolerances from a comma-separated list, each a number above 0 ("." decimals).
// Throws EBrennicError naming the item.
std::vector<double> ParseTolerances(const std::string& list);

}  // namespace brennic
