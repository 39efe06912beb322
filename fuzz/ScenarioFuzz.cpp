// Any bytes as a scenario file: refused with the reader's own error, naming
// the file, or read; a scenario read is written and read back the same.
#include "app/core/files/Scenario.h"

#include <unistd.h>

#include <filesystem>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

namespace {

std::string Folder()
{
    static const std::string folder = [] {
        std::string name = (std::filesystem::temp_directory_path() / "brennic-fuzz-scenario-XXXXXX").string();
        static std::string made = ::mkdtemp(name.data());
        // The folder goes when the fuzzer ends its runs.
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(made, ec);
        });
        return made;
    }();
    return folder;
}

bool Same(const brennic::TScenario& a, const brennic::TScenario& b)
{
    const auto air = [](const brennic::TScenario& s) {
        return s.Air ? s.Air->Path + "|" + s.Air->AirColumn + "|" + s.Air->Start + "|" + s.Air->SkyColumn + "|" +
                           s.Air->DewColumn
                     : std::string("-");
    };
    return a.Inputs == b.Inputs && air(a) == air(b) && a.Measured == b.Measured &&
           a.MeasuredColumns.Time == b.MeasuredColumns.Time && a.MeasuredColumns.Air == b.MeasuredColumns.Air &&
           a.MeasuredColumns.Surface == b.MeasuredColumns.Surface &&
           a.MeasuredColumns.Back == b.MeasuredColumns.Back && a.MeasuredStart == b.MeasuredStart;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace brennic;
    const std::string path = Folder() + "/fuzz.brennic", again = Folder() + "/again.brennic";
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data), long(size));
    TScenario s;
    try {
        s = ReadScenario(path);
    } catch (const EBrennicError& e) {
        if (std::string(e.what()).rfind(path, 0) != 0) {
            std::fprintf(stderr, "refusal without the file: %s\n", e.what());
            std::abort();
        }
        return 0;
    }
    WriteScenario(s, again);
    const TScenario back = ReadScenario(again);
    if (!Same(s, back)) {
        std::fprintf(stderr, "the scenario did not read back the same\n");
        std::abort();
    }
    return 0;
}
