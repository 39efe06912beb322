// A log of the user's own mirror (surface and back sensors, and the air),
// its comparison with a run of the model, and the runs that reproduce it.
#pragma once

#include "app/core/tables/AirSource.h"
#include "app/core/results/ResultText.h"
#include "app/core/tables/TimeSeries.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brennic {

// Which column plays which part; empty names take this program's own export
// names (T_Ambient, T_Surface, T_Back), NoColumn leaves the part out; the
// time is the first column.
inline constexpr const char* NoColumn = "-";
struct TLogColumns {
    std::string Time, Air, Surface, Back;
};

// "time=NAME,air=NAME,surface=NAME,back=NAME", any subset; a name with
// commas in double quotes (surface="Temp, °C (LGR S/N: 1234)"); throws
// EBrennicError naming the item.
TLogColumns ParseLogColumns(const std::string& text);

// The columns of a log's roles (-1: none), resolved as a log is read;
// throws ETableError when a named column is missing or neither a surface
// nor a back column is there.
struct TLogColumnIndices {
    int Surface = -1, Back = -1, Air = -1;
};
TLogColumnIndices LogColumnIndices(const TTimeTable& table, const TLogColumns& columns);

// A DS18B20 probe's error readings: -127 when it is disconnected, 85 at
// power-on (when its neighbours are not within 5 degC of 85). Both become
// gaps; returns how many there were.
inline constexpr double ProbeDisconnected = -127, ProbePowerOn = 85, ProbePowerOnNeighbours = 5;
std::size_t DropProbeErrors(std::vector<double>& values);

// One measured value: run time (s) and degC.
struct TMeasuredPoint {
    double Time;
    double Value;
};

class TMeasuredLog {
public:
    // Reads the log with the reader's options (date order, time zone; the
    // time column as the columns name it, a date alone as the start giving
    // the first date of clock times); throws ETableError naming the file and
    // what is missing or implausible.
    static std::shared_ptr<const TMeasuredLog> Load(const std::string& path, const TLogColumns& columns,
                                                    const std::string& start = "", TTableOptions read = {});
    // The same for a table already read (a followed file's complete lines,
    // or rows received live), with the same checks.
    static std::shared_ptr<const TMeasuredLog> FromTable(TTimeTable table, const TLogColumns& columns,
                                                         const std::string& start = "");

    std::shared_ptr<const TAirSource> Air;  // the log's own air, when it has an air column
    std::vector<TMeasuredPoint> Surface, Back;
    std::string File;
    std::vector<std::string> Notes;  // how the log was read
    // The first measured surface (or back) value: the mirror's start.
    double FirstMirrorTemperature() const;
    // Run time (s) of the last measurement.
    double Span() const;
};

// The log on another air's clock: its points moved to the run's time of
// that air's start and cut to the run's period, when both have clock times
// on the same scale; otherwise the log as it is (its own time 0 is the
// run's). A log of another night keeps no point.
TMeasuredLog AlignedTo(const TMeasuredLog& log, const TAirSource& air, double duration);

// How far a run is from the log: the model's values at the measured times
// (linear between the two reports around each), over the points the run covers.
struct TLogComparison {
    double Rms = 0;  // K
    std::size_t Points = 0;
};
TLogComparison Compare(const TMeasuredLog& log, const std::vector<TStepValues>& reports);

// Measured minus model at each compared point, per sensor, with its run time (s).
void MeasuredMinusModel(const TMeasuredLog& log, const std::vector<TStepValues>& reports,
                        std::vector<TMeasuredPoint>& surface, std::vector<TMeasuredPoint>& back);

// The residuals (model minus measurement) of the same points, surface first.
void Residuals(const TMeasuredLog& log, const std::vector<TStepValues>& reports, std::vector<double>& out);

}  // namespace brennic
