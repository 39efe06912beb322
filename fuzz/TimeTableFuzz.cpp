// Any text through the time-series reader: it is refused with the reader's
// own error, or it gives times that strictly increase and finite values.
#include "app/core/TimeSeries.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace brennic;
    TTimeTable t;
    try {
        t = ParseTimeTable(std::string_view(reinterpret_cast<const char*>(data), size), "fuzz.csv");
    } catch (const ETableError&) {
        return 0;
    }
    if (t.Times.empty() || t.Names.size() < 2 || t.Columns.size() != t.Names.size() - 1)
        std::abort();
    for (std::size_t i = 0; i < t.Times.size(); ++i) {
        if (!std::isfinite(t.Times[i]) || (i > 0 && !(t.Times[i] > t.Times[i - 1])))
            std::abort();
        for (const auto& column : t.Columns)
            if (column.size() != t.Times.size() || std::isinf(column[i]))
                std::abort();
    }
    // Every column with a value gives a series that stays within its values.
    for (std::size_t c = 1; c < t.Names.size(); ++c) {
        try {
            const TSeries s(t, int(c), t.Times.front());
            for (double at : {-1.0, 0.0, s.LastTime() / 3, s.LastTime(), s.LastTime() + 1}) {
                const double v = s.At(at);
                if (!(v >= s.Lowest() && v <= s.Highest()))
                    std::abort();
            }
        } catch (const ETableError&) {
        }
    }
    return 0;
}
