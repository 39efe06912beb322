// Any bytes as a measured log: refused with the reader's own error, naming
// the file, or a log whose times are finite and increasing, whose values
// lie within what the model takes, and whose comparison with a short run
// is a finite number.
#include "app/core/run/Engine.h"
#include "app/core/tables/MeasuredLog.h"

#include <unistd.h>

#include <filesystem>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string LogPath()
{
    static const std::string path = [] {
        std::string name = (std::filesystem::temp_directory_path() / "brennic-fuzz-log-XXXXXX").string();
        static std::string folder = ::mkdtemp(name.data());
        // The folder goes when the fuzzer ends its runs.
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(folder, ec);
        });
        return folder + "/log.csv";
    }();
    return path;
}

void Check(bool ok, const char* what)
{
    if (!ok) {
        std::fprintf(stderr, "%s\n", what);
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace brennic;
    const std::string path = LogPath();
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), long(size));
    std::shared_ptr<const TMeasuredLog> log;
    try {
        log = TMeasuredLog::Load(path, {});
    } catch (const EBrennicError& e) {
        Check(std::string(e.what()).rfind(path, 0) == 0, "a refusal that does not name the file");
        return 0;
    }
    for (const auto* series : {&log->Surface, &log->Back})
        for (std::size_t i = 0; i < series->size(); ++i) {
            const TMeasuredPoint& p = (*series)[i];
            Check(std::isfinite(p.Time) && p.Time >= 0 && (i == 0 || p.Time > (*series)[i - 1].Time), "bad time");
            Check(p.Value >= -273 && p.Value <= 1000, "a temperature outside the model's range");
        }
    // A short run of a small mirror against the log.
    TBrennicOneD s;
    s.Thickness = 0.02;
    s.ElementCount = 4;
    s.InitialMirrorTemp = log->FirstMirrorTemperature();
    s.InitialAirTemp = s.FinalAirTemp = 10;
    s.Duration = std::min(log->Span(), 3600.0);
    s.TimeStep = 60;
    s.Conductivity = 1;
    s.Density = 2000;
    s.SpecificHeat = 800;
    const TLogComparison c = Compare(*log, RunReports(s));
    Check(std::isfinite(c.Rms), "a comparison that is not finite");
    return 0;
}
