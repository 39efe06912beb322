#include "app/core/run/RunComparisonTable.h"

#include <cmath>

namespace brennic {

namespace {

std::string Minutes(std::optional<double> seconds, char16_t dec)
{
    return seconds ? FixedText(*seconds / 60, 1, dec) + " min" : std::string("not reached");
}

// The kept run's time and how much later (+) or sooner (-) than the current.
std::string Cell(std::optional<double> kept, std::optional<double> current, char16_t dec)
{
    std::string cell = Minutes(kept, dec);
    if (kept && current) {
        const double change = std::round((*kept - *current) / 6) / 10;  // minutes, one decimal
        cell += " (" + std::string(change > 0 ? "+" : change < 0 ? "\u2212" : "\u00b1") +
                FixedText(std::fabs(change), 1, dec) + ")";
    }
    return cell;
}

std::vector<std::optional<double>> ReadyTimes(const TReadiness& r, std::size_t seeing)
{
    std::vector<std::optional<double>> times;
    for (std::size_t k = 0; k < r.Tolerances().size(); ++k) times.push_back(r.ReadyFrom(TReadiness::Surface, k));
    for (std::size_t k = 0; k < seeing; ++k)
        times.push_back(k < r.SeeingThresholds().size() ? r.SeeingReadyFrom(k) : std::nullopt);
    return times;
}

}  // namespace

TComparisonTable CompareRuns(const TReadiness& current, const TInputTexts& currentInputs,
                             const std::optional<TAirFileChoice>& currentAir, const TKeptRuns& kept, char16_t dec,
                             const TDisplayUnits& units)
{
    TComparisonTable t;
    t.Header = {"Run", "Inputs"};
    for (double tol : current.Tolerances()) t.Header.push_back("Surface \u2264 " + FixedText(TemperatureDifferenceShown(tol, units.Temperature), 2, dec) + " " +
                          TemperatureSymbol(units.Temperature));
    const std::size_t seeing = current.SeeingThresholds().size();
    for (double s : current.SeeingThresholds()) t.Header.push_back("Seeing \u2264 " + FixedText(s, 2, dec) + "\u2033");
    const std::vector<std::optional<double>> now = ReadyTimes(current, seeing);
    std::vector<std::string> first{"Current run", "as in the fields"};
    for (const auto& time : now) first.push_back(Minutes(time, dec));
    t.Rows.push_back(std::move(first));
    for (std::size_t i = 0; i < kept.Runs().size(); ++i) {
        const TKeptRun& run = kept.Runs()[i];
        std::string differs = DifferenceLabel(run.Inputs, currentInputs, dec, units);
        const std::string air = run.Air ? run.Air->Path : std::string();
        if (air != (currentAir ? currentAir->Path : std::string()))
            differs += std::string(differs.empty() ? "" : ", ") + (run.Air ? "air from " + air : "air as a ramp");
        std::vector<std::string> row{kept.Label(i, currentInputs, dec, units), differs.empty() ? "the same" : differs};
        const std::vector<std::optional<double>> then = ReadyTimes(run.Readiness, seeing);
        for (std::size_t c = 0; c < now.size(); ++c) row.push_back(Cell(then[c], now[c], dec));
        t.Rows.push_back(std::move(row));
    }
    return t;
}

std::string ComparisonText(const TComparisonTable& table)
{
    std::string text;
    auto line = [&text](const std::vector<std::string>& cells) {
        for (std::size_t c = 0; c < cells.size(); ++c) text += (c ? "\t" : "") + cells[c];
        text += "\n";
    };
    line(table.Header);
    for (const auto& row : table.Rows) line(row);
    return text;
}

}  // namespace brennic
