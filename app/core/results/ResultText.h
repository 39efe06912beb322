// The text of the result table: header, rows and the regional separators.
#pragma once

#include <optional>
#include <span>
#include <string>

namespace brennic {

struct TRegionalSettings {
    char16_t DecimalSeparator = u'.';
    char16_t ListSeparator = u',';
};

// Settings from what the system reports. A missing list separator is ",";
// one equal to the decimal separator would make the table ambiguous and
// becomes ";" (or "," when the decimal separator is ";").
TRegionalSettings MakeRegionalSettings(std::optional<char16_t> decimal, std::optional<char16_t> list);

// The values one report contributes to the table and the curves.
struct TStepValues {
    double Time;       // s
    double Air;        // degC, Temperatures[0]
    double Surface;    // degC, the front element
    double Back;       // degC, the back element
    double Core;       // degC, the largest of all N + 2 values
    double Glass = 0;  // K, the warmest element minus the air
};

TStepValues StepValues(std::span<const double> temperatures, double time);

// A time in minutes with one decimal and the given separator: "84.8 min".
std::string MinutesText(double seconds, char16_t decimalSeparator);
// A number with the given decimals and separator, never "-0.00".
std::string FixedText(double v, int decimals, char16_t decimalSeparator);
// The same for the eye: a negative number with the minus sign (U+2212) the
// window writes everywhere, not the hyphen files and fields take.
std::string ShownFixedText(double v, int decimals, char16_t decimalSeparator);
// A number to the given significant digits, as %g writes it but with the
// given separator whatever the C locale: "0.9342", "1.2e-05".
std::string SignificantText(double v, int digits, char16_t decimalSeparator);

// A value and its standard uncertainty as shown together: the uncertainty
// to two significant digits and the value to the same decimal place
// ("18.000 ± 0.0092"); four significant digits and "unknown" when there is
// no finite, positive uncertainty.
struct TUncertainText {
    std::string Value, Uncertainty;
};
TUncertainText UncertainText(double value, double uncertainty, char16_t decimalSeparator);

std::u16string ResultHeader(const TRegionalSettings& settings);
void AppendResultRow(std::u16string& out, const TStepValues& v, const TRegionalSettings& settings);
std::u16string ResultRow(const TStepValues& v, const TRegionalSettings& settings);

}  // namespace brennic
