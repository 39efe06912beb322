#include "app/core/tables/AirSource.h"

#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/KnownSources.h"
#include "app/core/tables/Plausibility.h"
#include "app/core/results/ResultText.h"
#include "app/core/tables/TextCells.h"
#include "support/LibStandard.h"
#include "support/NumberText.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace brennic {

namespace {

int Column(const TTimeTable& t, const std::string& name, int fallback, const char* role)
{
    if (name.empty())
        return fallback;
    const int c = FindColumn(t, name);
    if (c <= 0)
        RefuseTable(t.File, 0, std::string("there is no ") + role + " column \"" + ShownText(name) +
                                   "\" (the columns are " + ColumnCandidates(t) + ")");
    if (CounterName(t.Names[std::size_t(c)]))
        RefuseTable(t.File, 0, "column \"" + t.Names[std::size_t(c)] + "\" numbers the rows: it is never a temperature");
    return c;
}

}  // namespace

TTableOptions AirTableOptions(const TAirFileChoice& choice)
{
    TTableOptions o;
    o.TimeColumn = choice.TimeColumn;
    o.AirColumn = choice.AirColumn;
    if (!ParseDateOrder(choice.DateOrder, o.DateOrder))
        throw ETableError(choice.Path + ": the date order '" + ShownText(choice.DateOrder) +
                          "' is none of dmy, mdy, ymd");
    int offset;
    if (!choice.TimeZone.empty() && !EqualsIgnoreCase(choice.TimeZone, "local") &&
        !ParseTimeZone(choice.TimeZone, offset))
        throw ETableError(choice.Path + ": the time zone '" + ShownText(choice.TimeZone) +
                          "' is none of UTC, local, +HH:MM, -HH:MM");
    o.TimeZone = choice.TimeZone;
    // A start that is a date alone gives the date of clock times without one.
    long long day;
    if (ParseDate(choice.Start, day))
        o.FirstDay = day;
    return o;
}

std::shared_ptr<const TAirSource> TAirSource::Load(const TAirFileChoice& choice)
{
    return FromTable(ReadTimeTable(choice.Path, AirTableOptions(choice)), choice);
}

std::shared_ptr<const TAirSource> TAirSource::FromTable(TTimeTable table, const TAirFileChoice& choice)
{
    auto s = std::make_shared<TAirSource>();
    s->Table = std::move(table);
    const TTimeTable& t = s->Table;
    s->Notes = t.Notes;
    s->Start = RunStart(t, choice.Start);
    const int air = Column(t, choice.AirColumn, DefaultAirColumn(t), "air");
    if (air <= 0)
        RefuseTable(t.File, 0, "no column is named as the air's temperature: choose one with --air-column NAME (the "
                               "columns are " + ColumnCandidates(t) + ")");
    if (choice.AirColumn.empty() && NamedAirColumn(t) <= 0)
        s->Notes.push_back("column \"" + t.Names[std::size_t(air)] + "\" is taken as the air: it is the only column "
                           "of values (--air-column chooses)");
    const int sky = Column(t, choice.SkyColumn, ColumnContaining(t, "sky"), "sky");
    const int dew = Column(t, choice.DewColumn, DefaultDewColumn(t), "dew-point");
    for (int c : {air, sky, dew})
        if (c > 0) {
            CheckTemperatureColumn(t, c);
            CheckPlausible(t, c, TSeriesKind::Air);
        }
    s->Air = TSeries(t, air, s->Start);
    s->AirIndex = air;
    s->NoteColumn(air, "the air");
    if (sky > 0 && sky != air) {
        s->Sky.emplace(t, sky, s->Start);
        s->SkyIndex = sky;
        s->NoteColumn(sky, "the sky");
    }
    if (dew > 0 && dew != air) {
        s->Dew.emplace(t, dew, s->Start);
        s->DewIndex = dew;
        s->NoteColumn(dew, "the dew point");
    } else if (dew <= 0) {
        s->DewFromHumidity(air);
    }
    return s;
}

void TAirSource::NoteColumn(int column, const char* role)
{
    const TTimeTable& t = Table;
    const std::vector<double>& values = t.Columns[std::size_t(column) - 1];
    const auto gaps = std::count_if(values.begin(), values.end(), [](double v) { return std::isnan(v); });
    const bool converted = t.Fahrenheit[std::size_t(column) - 1];
    if (!converted && !gaps)
        return;  // a plain column: nothing to tell
    std::string note = role + std::string(" from column \"") + t.Names[std::size_t(column)] + "\"";
    if (converted)
        note += ", converted from \u00b0F";
    if (gaps)
        note += ", " + std::to_string(gaps) + (gaps == 1 ? " row" : " rows") + " without a value skipped";
    Notes.push_back(note);
}

void TAirSource::DewFromHumidity(int air)
{
    const int rh = DefaultHumidityColumn(Table);
    if (rh <= 0)
        return;
    try {
        CheckNumberColumn(Table, rh);
    } catch (const ETableError&) {
        return;  // a humidity that is not a number: no dew point, as without one
    }
    const std::vector<double>& t = Table.Columns[std::size_t(air) - 1];
    const std::vector<double>& h = Table.Columns[std::size_t(rh) - 1];
    std::vector<double> dew(t.size(), std::nan(""));
    for (std::size_t i = 0; i < t.size(); ++i)
        if (h[i] > 0 && h[i] <= 100 && t[i] > -MagnusB)
            dew[i] = MagnusDewPoint(t[i], h[i]);
    if (std::all_of(dew.begin(), dew.end(), [](double v) { return std::isnan(v); }))
        return;
    Dew.emplace(Table, dew, "dew point from " + Table.Names[std::size_t(rh)], Start);
    DerivedDew = std::move(dew);
    Notes.push_back("the dew point from the air and column \"" + Table.Names[std::size_t(rh)] +
                    "\" (relative humidity) by the Magnus formula");
}

void TAirSource::Apply(const std::shared_ptr<const TAirSource>& source, TBrennicOneD& solver)
{
    solver.InitialAirTemp = source->Air.At(0);
    solver.FinalAirTemp = source->Air.At(std::max(solver.Duration, 0.0));
    solver.AirTemperature = [source](double t) { return source->Air.At(t); };
    if (source->Sky)
        solver.SkyTemperature = [source](double t) { return source->Sky->At(t); };
    else
        solver.SkyTemperature = nullptr;
}

TAirExtremes TAirSource::Extremes(double duration) const
{
    constexpr std::size_t Kept = 64;  // periods remembered
    std::lock_guard lock(extremes_->Mutex);
    const auto known = extremes_->ByDuration.find(duration);
    if (known != extremes_->ByDuration.end())
        return known->second;
    const TAirExtremes e = ScanExtremes(duration);
    if (extremes_->ByDuration.size() < Kept)
        extremes_->ByDuration.emplace(duration, e);
    return e;
}

TAirExtremes TAirSource::ScanExtremes(double duration) const
{
    TAirExtremes e{0, 0, -73.0};
    Air.Range(0, std::max(duration, 0.0), e.Lowest, e.Highest);
    if (Sky) {
        double highest;
        Sky->Range(0, std::max(duration, 0.0), e.ColdestSky, highest);
    }
    if (Dew) {
        // The dew point is drawn too: the axes take it in.
        double lowest, highest;
        Dew->Range(0, std::max(duration, 0.0), lowest, highest);
        e.Lowest = std::min(e.Lowest, lowest);
        e.Highest = std::max(e.Highest, highest);
    }
    return e;
}

std::string TAirSource::Describe() const
{
    std::string text = std::filesystem::path(Table.File).filename().string() + ", column " + BareName(Air.Name());
    if (Table.ClockTimes)
        text += ", from " + LocalDateTimeText(Table, Start);
    return text;
}

std::vector<TAirPreviewRow> TAirSource::Preview(std::size_t limit) const
{
    const TTimeTable& t = Table;
    auto value = [&](int column, std::size_t row) {
        return column > 0 ? t.Columns[std::size_t(column) - 1][row] : std::nan("");
    };
    std::vector<TAirPreviewRow> rows;
    const std::size_t first = std::size_t(std::lower_bound(t.Times.begin(), t.Times.end(), Start) - t.Times.begin());
    for (std::size_t i = first; i < t.Times.size() && rows.size() < limit; ++i) {
        const std::string when = t.ClockTimes ? LocalDateTimeText(t, t.Times[i])
                                              : MinutesText(t.Times[i] - Start, u'.');
        rows.push_back({when, value(AirIndex, i), DerivedDew.empty() ? value(DewIndex, i) : DerivedDew[i],
                        value(SkyIndex, i)});
    }
    return rows;
}

std::string TAirSource::When(double seconds, char16_t sep) const
{
    std::string text = MinutesText(seconds, sep);
    if (Table.ClockTimes)
        text += " (" + ClockText(Table, Start + seconds) + ")";
    return text;
}

}  // namespace brennic
