#include "app/core/run/RunComparison.h"

#include "app/core/run/Headline.h"
#include "app/core/run/RunRecord.h"
#include "model/FiniteDiff_1D.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

namespace brennic {

namespace {

bool SameValue(const std::u16string& a, const std::u16string& b, bool whole, char16_t dec)
{
    if (whole) {
        std::int32_t x, y;
        return TryStrToInt(a, x) && TryStrToInt(b, y) ? x == y : a == b;
    }
    double x, y;
    return TryStrToFloat(a, dec, x) && TryStrToFloat(b, dec, y) ? x == y : a == b;
}

std::string Spoken(const char* key)
{
    std::string s(key);
    for (char& c : s)
        if (c == '-')
            c = ' ';
    return s;
}

std::string Trimmed(const std::u16string& text)
{
    const std::size_t a = text.find_first_not_of(u' ');
    const std::size_t b = text.find_last_not_of(u' ');
    return a == std::u16string::npos ? std::string() : ToUtf8(text.substr(a, b - a + 1));
}

}  // namespace

std::string DifferenceLabel(const TInputTexts& kept, const TInputTexts& current, char16_t dec,
                            const TDisplayUnits& units)
{
    std::string label;
    auto add = [&](const std::string& part) { label += (label.empty() ? "" : ", ") + part; };
    for (int f = 0; f < FieldCount; ++f)
        if (!SameValue(kept.Text(f), current.Text(f), InputFields[f].Whole, dec))
            add(Spoken(InputFields[f].Key) + " " +
                (FieldConverted(f, units) && !kept.Text(f).empty()
                     ? Trimmed(FieldTextShown(f, kept.Text(f), units, dec)) + " " + FieldUnitShown(f, units)
                     : Trimmed(kept.Text(f))));
    if (kept.Material != current.Material)
        add("material " + std::string(GlassMaterials.at(std::size_t(kept.Material)).Name));
    return label.empty() ? std::string("same inputs") : label;
}

bool TKeptRuns::Keep(const TRunRecord& record, std::optional<TAirFileChoice> air)
{
    if (Full())
        return false;
    TKeptRun run{record.Inputs, Thinned(record.Reports, KeptReportsLimit), record.Readiness, {}, true, {}, {}};
    run.ClockZero = LocalClockZero(record);
    if (record.Air && air) {
        run.Air = std::move(air);
        run.AirHash = record.Air->Table.ContentHash;
    }
    runs_.push_back(std::move(run));
    return true;
}

std::vector<TStepValues> Thinned(const std::vector<TStepValues>& reports, std::size_t limit)
{
    if (reports.size() <= limit || limit < 2)
        return reports;
    const std::size_t stride = (reports.size() - 2) / (limit - 1) + 1;
    std::vector<TStepValues> out;
    out.reserve(limit);
    for (std::size_t i = 0; i + 1 < reports.size(); i += stride) out.push_back(reports[i]);
    out.push_back(reports.back());
    return out;
}

bool TKeptRuns::Add(TKeptRun run)
{
    if (Full())
        return false;
    runs_.push_back(std::move(run));
    return true;
}

void TKeptRuns::Remove(std::size_t i)
{
    if (i < runs_.size())
        runs_.erase(runs_.begin() + std::ptrdiff_t(i));
}

void TKeptRuns::Rename(std::size_t i, const std::string& name)
{
    if (i < runs_.size())
        runs_[i].Name = name;
}

void TKeptRuns::SetVisible(std::size_t i, bool visible)
{
    if (i < runs_.size())
        runs_[i].Visible = visible;
}

std::string TKeptRuns::Label(std::size_t i, const TInputTexts& current, char16_t sep, const TDisplayUnits& units) const
{
    const TKeptRun& run = runs_.at(i);
    return run.Name.empty() ? DifferenceLabel(run.Inputs, current, sep, units) : run.Name;
}

}  // namespace brennic
