#include "app/core/tables/TableMetadata.h"

#include "app/core/tables/TextCells.h"
#include "model/FilmCorrelations.h"

#include <cmath>
#include <cstdlib>

namespace brennic {

namespace {

constexpr double MetresPerFoot = 0.3048;
constexpr std::size_t MetadataLines = 64;

// The number after "word" (and what separates them: ':', '=', spaces).
bool NumberAfter(std::string_view line, std::string_view word, double& value)
{
    std::size_t at = 0;
    while (at < line.size()) {
        const std::size_t found = line.find(word, at);
        if (found == std::string_view::npos)
            return false;
        std::size_t i = found + word.size();
        while (i < line.size() && (line[i] == ' ' || line[i] == ':' || line[i] == '=' || line[i] == '\t')) ++i;
        const char* start = line.data() + i;
        char* end = nullptr;
        const std::string copy(start, line.size() - i);
        value = std::strtod(copy.c_str(), &end);
        if (end != copy.c_str() && std::isfinite(value))
            return true;
        at = found + word.size();
    }
    return false;
}

void Elevation(TTimeTable& t, double metres)
{
    if (metres >= 0 && metres <= HighestSiteElevation)
        t.ElevationMetres = metres;
}

}  // namespace

void ReadMetadata(const TCleanLines& c, TTimeTable& t)
{
    double v;
    if (MetadataValue(c, "utc_offset_seconds", v) && std::abs(v) <= 18 * 3600)
        t.PlaceOffsetMinutes = int(v / 60);
    if (MetadataValue(c, "elevation", v))
        Elevation(t, v);
    if (MetadataValue(c, "longitude", v) && std::abs(v) <= 180)
        t.Longitude = v;
    for (std::size_t i = 0; i < c.Lines.size() && i < MetadataLines; ++i) {
        const std::string_view line = c.Lines[i];
        // "Elevation from MERRA-2: Average for 0.5 x 0.625 degree lat/lon region = 320.12 meters"
        if (line.rfind("Elevation from", 0) == 0 && line.find('=') != std::string_view::npos &&
            NumberAfter(line.substr(line.rfind('=')), "=", v))
            Elevation(t, v);
        // "Location: Latitude  47.56   Longitude 7.58"
        if (line.rfind("Location:", 0) == 0 && NumberAfter(line, "Longitude", v) && std::abs(v) <= 180)
            t.Longitude = v;
        // "# ELEVATION [ft]: 4226", "# LONGITUDE: -111.96503"
        if (line.rfind("# ELEVATION", 0) == 0 && NumberAfter(line, "]", v))
            Elevation(t, Contains(line, "[ft]") ? v * MetresPerFoot : v);
        if (line.rfind("# LONGITUDE", 0) == 0 && NumberAfter(line, "LONGITUDE", v) && std::abs(v) <= 180)
            t.Longitude = v;
    }
}

}  // namespace brennic
