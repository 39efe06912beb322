// When is the mirror ready? Follows a run's reports and tells from when the
// surface, the back and the core stay close to the air.
#pragma once

#include "ResultText.h"

#include <array>
#include <optional>
#include <string>

namespace brennic {

class TReadiness {
public:
    static constexpr std::array<double, 3> Tolerances{1.0, 0.5, 0.1};  // degC
    enum Part { Surface, Back, Core };

    void Add(const TStepValues& v);

    // Time (s) from which the part stays within tolerance k of the air, or
    // nothing when it is still outside at the last report.
    std::optional<double> ReadyFrom(Part part, std::size_t k) const;
    double LargestGradient() const { return largestGradient_; }  // surface - back, degC
    double LargestGradientTime() const { return largestGradientTime_; }
    const TStepValues& Last() const { return last_; }
    std::size_t Reports() const { return reports_; }

    // The human-readable report, numbers with the given decimal separator.
    std::string Report(char16_t decimalSeparator) const;

private:
    // Per part and tolerance: the first report after the last one outside.
    std::array<std::array<std::optional<double>, 3>, 3> readyFrom_{};
    double largestGradient_ = 0;
    double largestGradientTime_ = 0;
    TStepValues last_{};
    std::size_t reports_ = 0;
};

}  // namespace brennic
