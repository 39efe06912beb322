#include "Summary.h"

#include "LibStandard.h"
#include "NumberText.h"

#include <charconv>
#include <cmath>

namespace brennic {

void TReadiness::Add(const TStepValues& v)
{
    const double parts[3] = {v.Surface, v.Back, v.Core};
    for (int p = 0; p < 3; ++p) {
        const double gap = std::fabs(parts[p] - v.Air);
        for (std::size_t k = 0; k < Tolerances.size(); ++k) {
            // Empty while outside; set on the report that comes back inside.
            if (!(gap <= Tolerances[k]))
                readyFrom_[p][k].reset();
            else if (!readyFrom_[p][k])
                readyFrom_[p][k] = v.Time;
        }
    }
    const double gradient = v.Surface - v.Back;
    if (reports_ == 0 || std::fabs(gradient) > std::fabs(largestGradient_)) {
        largestGradient_ = gradient;
        largestGradientTime_ = v.Time;
    }
    last_ = v;
    ++reports_;
}

std::optional<double> TReadiness::ReadyFrom(Part part, std::size_t k) const
{
    return readyFrom_[part][k];
}

namespace {

std::string Fixed(double v, int decimals, char16_t sep)
{
    // Fixed notation of the largest double takes 309 digits before the point.
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, decimals);
    if (r.ec != std::errc())
        return ToUtf8(FormatFloat(v, sep));
    std::string s(buf, r.ptr);
    if (s == "-0.00" || s == "-0.0" || s == "-0")
        s.erase(0, 1);
    const auto dot = s.find('.');
    if (dot != std::string::npos)
        s.replace(dot, 1, ToUtf8(std::u16string(1, sep)));
    return s;
}

}  // namespace

std::string TReadiness::Report(char16_t sep) const
{
    static const char* const names[3] = {"Surface", "Back   ", "Core   "};
    std::string out = "Time from which each stays within the given distance of the air (minutes):\n";
    out += "          within 1 C   within 0.5 C   within 0.1 C\n";
    for (int p = 0; p < 3; ++p) {
        out += "  ";
        out += names[p];
        for (std::size_t k = 0; k < Tolerances.size(); ++k) {
            const auto t = readyFrom_[p][k];
            std::string cell = t ? Fixed(*t / 60, 1, sep) : "not reached";
            const std::size_t width = k == 0 ? 13 : 15;
            out += std::string(width > cell.size() ? width - cell.size() : 1, ' ') + cell;
        }
        out += '\n';
    }
    out += "Largest surface-minus-back difference: " + Fixed(largestGradient_, 2, sep) + " C at minute " +
           Fixed(largestGradientTime_ / 60, 1, sep) + "\n";
    out += "Final temperatures at minute " + Fixed(last_.Time / 60, 1, sep) + ": air " +
           Fixed(last_.Air, 2, sep) + " C, surface " + Fixed(last_.Surface, 2, sep) + " C, back " +
           Fixed(last_.Back, 2, sep) + " C, core " + Fixed(last_.Core, 2, sep) + " C\n";
    return out;
}

}  // namespace brennic
