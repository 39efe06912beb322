// Weather services and loggers the reader knows by their columns: which
// clock their times are on, which columns hold the outdoor air and the dew
// point, which never do, their scales and their numbers for "no value".
// Each follows the source's own published description of its files.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace brennic {

struct TKnownSource {
    std::string Name;  // "DWD", "KNMI", ...; empty for a file the reader does not know
    // Unmarked times are UTC by the source's documentation, or the place's
    // local standard time (no daylight saving).
    bool UtcTimes = false, LocalStandardTime = false;
    std::vector<std::string> Air, Dew;  // column names, in order of preference
    std::vector<std::string> NeverAir;  // names, or prefixes ending in '*', that are never the air
    std::vector<std::string> Tenths;    // columns written in tenths of a degree
    std::vector<double> Missing;        // numbers that stand for no value
    bool QualityCodes = false;          // cells "+0052,1": a value, a comma, a quality code
    // A column that says the unit system row by row (WeeWX's usUnits: 1 is
    // US customary, °F).
    std::string UnitSystemColumn;
};

// The source whose columns these are (the header's names, the file's first
// line), or one with no name.
TKnownSource IdentifySource(const std::vector<std::string>& names, std::string_view firstLine);
// A file without a header: a Cumulus monthly log when it begins with a date
// and a clock and has at least CumulusLeastFields fields.
inline constexpr const char* CumulusLogName = "Cumulus monthly log";
inline constexpr std::size_t CumulusLeastFields = 15;
TKnownSource IdentifyHeaderless(std::size_t fields, bool dateThenClock);
// The source of that name (as IdentifySource gave it).
TKnownSource KnownSourceNamed(std::string_view name);

// Whether a name is in a list of names or prefixes ("extraTemp*"), ASCII
// case ignored.
bool NameListed(std::string_view name, const std::vector<std::string>& list);

// A column that numbers the rows (RECORD, #, No., Index): never a temperature.
bool CounterName(std::string_view name);

}  // namespace brennic
