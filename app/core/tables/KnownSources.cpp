#include "app/core/tables/KnownSources.h"

#include "app/core/tables/TextCells.h"
#include "app/core/tables/TimeSeries.h"

#include <algorithm>

namespace brennic {

namespace {

bool Has(const std::vector<std::string>& names, std::string_view wanted)
{
    return std::any_of(names.begin(), names.end(),
                       [&](const std::string& n) { return EqualsIgnoreCase(BareName(n), wanted); });
}

TKnownSource Dwd()
{
    // Deutscher Wetterdienst, Climate Data Center: MESS_DATUM YYYYMMDDHH[MM]
    // in UTC, -999 for no value; TT_TU hourly, TT_10 ten-minute air, TD_10 dew point.
    return {"DWD (Deutscher Wetterdienst)", true, false, {"TT_TU", "TT_10", "TT", "TT_STD"}, {"TD_10", "TD", "TD_STD"},
            {"TM5_10", "QN*", "RF*", "STATIONS_ID"}, {}, {-999}, false, {}};
}

TKnownSource MeteoSwiss()
{
    // MeteoSwiss: time yyyyMMddHH[mm] (or dd.mm.yyyy HH:MM) in UTC; tre200s0
    // ten-minute, tre200h0 hourly air at 2 m; tde200* the dew point.
    return {"MeteoSwiss", true, false, {"tre200s0", "tre200h0", "tre200b0", "tre200d0"},
            {"tde200s0", "tde200h0", "tde200b0", "tde200d0"}, {"tre005*"}, {}, {}, false, {}};
}

TKnownSource Knmi()
{
    // KNMI hourly data: YYYYMMDD and HH (1-24, the hour ending), UT; T and TD
    // in tenths of a degree Celsius; T10N the grass minimum.
    return {"KNMI", true, false, {"T"}, {"TD"}, {"T10N", "STN"}, {"T", "TD", "T10N"}, {}, false, {}};
}

TKnownSource NoaaIsd()
{
    // NOAA NCEI Integrated Surface Database (global hourly CSV): DATE in UTC;
    // TMP and DEW as "+0052,1" in tenths with a quality code, +9999 missing.
    return {"NOAA ISD (global hourly)", true, false, {"TMP"}, {"DEW"}, {"STATION"}, {"TMP", "DEW"}, {9999, -9999},
            true, {}};
}

TKnownSource Midas()
{
    // Met Office MIDAS in BADC-CSV: ob_time in UTC between "data" and "end data".
    return {"MIDAS (BADC-CSV)", true, false, {"air_temperature"}, {"dewpoint"}, {"wetb_temp"}, {}, {}, false, {}};
}

TKnownSource Meteostat()
{
    // Meteostat hourly: time in UTC; temp the air, dwpt the dew point.
    return {"Meteostat", true, false, {"temp"}, {"dwpt"}, {}, {}, {}, false, {}};
}

TKnownSource NasaPower()
{
    // NASA POWER hourly: YEAR, MO, DY, HR in local standard time (LST);
    // T2M the air at 2 m, T2MDEW the dew point, -999 for no value.
    return {"NASA POWER", false, true, {"T2M"}, {"T2MDEW"}, {"T2MWET", "TS"}, {}, {-999}, false, {}};
}

TKnownSource Toa5()
{
    // Campbell Scientific TOA5: the logger's own clock; RECORD numbers the
    // rows; PTemp is the logger's panel, not the air.
    return {"Campbell Scientific TOA5", false, false, {"AirTC_Avg", "AirTC", "AirT_C_Avg", "AirT_C", "T_air"},
            {"DewPtC_Avg", "DewPtC", "TdC_Avg", "TdC"}, {"PTemp*", "Panel*", "BattV*", "RECORD"}, {}, {}, false, {}};
}

TKnownSource WeeWx()
{
    // WeeWX archive: dateTime in Unix seconds, usUnits 1 for US customary
    // (°F), 16 and 17 metric (°C); outTemp the outdoor air.
    return {"WeeWX", false, false, {"outTemp"}, {"dewpoint"},
            {"inTemp", "appTemp", "windchill", "heatindex", "extraTemp*", "soilTemp*", "leafTemp*", "humidex"}, {}, {},
            false, "usUnits"};
}

TKnownSource Synoptic()
{
    // Synoptic (MesoWest): Date_Time with its zone; a units row below the names.
    return {"Synoptic", false, false, {"air_temp_set_1", "air_temp_set_2"},
            {"dew_point_temperature_set_1d", "dew_point_temperature_set_1"}, {}, {}, {}, false, {}};
}

TKnownSource Cumulus()
{
    // Cumulus monthly logs (Dec26log.txt): no header; the date, the time,
    // then the outdoor temperature, the humidity and the dew point.
    return {CumulusLogName, false, false, {"Column 3"}, {"Column 5"}, {}, {}, {}, false, {}};
}

}  // namespace

TKnownSource IdentifyHeaderless(std::size_t fields, bool dateThenClock)
{
    return dateThenClock && fields >= CumulusLeastFields ? Cumulus() : TKnownSource{};
}

TKnownSource IdentifySource(const std::vector<std::string>& names, std::string_view firstLine)
{
    if (Has(names, "MESS_DATUM") && Has(names, "STATIONS_ID"))
        return Dwd();
    if ((Has(names, "stn") && Has(names, "time")) || Has(names, "station_abbr")) {
        for (const std::string& n : names)
            if (Contains(n, "tre200") || Contains(n, "tde200"))
                return MeteoSwiss();
    }
    if (Has(names, "STN") && Has(names, "YYYYMMDD") && Has(names, "HH"))
        return Knmi();
    if (Has(names, "STATION") && Has(names, "DATE") && Has(names, "TMP"))
        return NoaaIsd();
    if (Contains(firstLine, "BADC-CSV") || (Has(names, "ob_time") && Has(names, "air_temperature")))
        return Midas();
    if (Has(names, "temp") && Has(names, "dwpt") && (Has(names, "coco") || Has(names, "rhum")))
        return Meteostat();
    if (Has(names, "YEAR") && Has(names, "MO") && Has(names, "DY") && Has(names, "HR") && Has(names, "T2M"))
        return NasaPower();
    if (Trim(Unquoted(Trim(firstLine))).rfind("TOA5", 0) == 0)
        return Toa5();
    if (Has(names, "usUnits") && Has(names, "outTemp"))
        return WeeWx();
    if (Has(names, "Station_ID") && Has(names, "Date_Time"))
        return Synoptic();
    return {};
}

TKnownSource KnownSourceNamed(std::string_view name)
{
    for (TKnownSource s : {Dwd(), MeteoSwiss(), Knmi(), NoaaIsd(), Midas(), Meteostat(), NasaPower(), Toa5(), WeeWx(),
                           Synoptic(), Cumulus()})
        if (s.Name == name)
            return s;
    return {};
}

bool NameListed(std::string_view name, const std::vector<std::string>& list)
{
    const std::string bare = BareName(name);
    for (const std::string& entry : list) {
        if (!entry.empty() && entry.back() == '*') {
            const std::string_view prefix(entry.data(), entry.size() - 1);
            if (bare.size() >= prefix.size() && EqualsIgnoreCase(std::string_view(bare).substr(0, prefix.size()), prefix))
                return true;
        } else if (EqualsIgnoreCase(bare, entry)) {
            return true;
        }
    }
    return false;
}

bool CounterName(std::string_view name)
{
    return NameListed(name, {"RECORD", "RecNum", "#", "No", "No.", "Nr", "Nr.", "Index", "Idx", "Row", "Sample",
                             "Sample#", "Count", "Seq"});
}

}  // namespace brennic
