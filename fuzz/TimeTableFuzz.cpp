// Any text through the time-series reader, read with each date order and
// with a chosen time column: it is refused with the reader's own error, or
// it gives times that strictly increase, finite values, a column count that
// matches the names, and series (the air, the dew point, one from the
// humidity) that stay within their values.
#include "app/core/tables/AirSource.h"
#include "app/core/tables/ColumnRoles.h"
#include "app/core/tables/TimeSeries.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

using namespace brennic;

void CheckSeries(const TSeries& s)
{
    for (double at : {-1.0, 0.0, s.LastTime() / 3, s.LastTime(), s.LastTime() + 1}) {
        const double v = s.At(at);
        if (!(v >= s.Lowest() && v <= s.Highest()))
            std::abort();
    }
}

void CheckTable(const TTimeTable& t)
{
    const std::size_t columns = t.Names.size() - 1;
    if (t.Times.empty() || t.Names.empty() || t.Columns.size() != columns || t.Faults.size() != columns ||
        t.Fahrenheit.size() != columns || t.Lines.size() != t.Times.size())
        std::abort();
    for (std::size_t i = 0; i < t.Times.size(); ++i) {
        if (!std::isfinite(t.Times[i]) || (i > 0 && !(t.Times[i] > t.Times[i - 1])))
            std::abort();
        for (const auto& column : t.Columns)
            if (column.size() != t.Times.size() || std::isinf(column[i]))
                std::abort();
    }
    for (std::size_t c = 1; c < t.Names.size(); ++c) {
        try {
            CheckSeries(TSeries(t, int(c), t.Times.front()));
        } catch (const ETableError&) {
        }
    }
    (void)LocalDateTimeText(t, t.Times.back());
    const int rh = DefaultHumidityColumn(t), air = DefaultAirColumn(t), dew = DefaultDewColumn(t);
    // -1: no column says it is the air, and several could be (refused when
    // the air is taken from the file, listing them).
    if (air == 0 || air < -1 || air >= int(t.Names.size()) || rh >= int(t.Names.size()) || dew >= int(t.Names.size()))
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size == 0)
        return 0;
    // The first byte chooses the options; the rest is the file.
    TTableOptions o;
    o.DateOrder = EDateOrder(data[0] & 3);
    o.LocaleOrder = EDateOrder(1 + (data[0] >> 2) % 3);
    if (data[0] & 0x40)
        o.TimeColumn = (data[0] & 0x80) ? "Date+Time" : "time";
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    try {
        CheckTable(ParseTimeTable(text, "fuzz.csv", o));
    } catch (const ETableError&) {
        return 0;
    }
    return 0;
}
