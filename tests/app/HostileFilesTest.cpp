// Files and options from outside that once got through or took the program
// down: each is refused naming the file, line or option and the value, in
// bounded time, with nothing written.
#include "app/core/files/Scenario.h"
#include "support/BoundedRead.h"
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <fstream>

using namespace cli;

namespace {

// Runs the tool, never for more than 20 s (a FIFO once made it wait for ever).
Result Bounded(const std::string& args)
{
    return RunSim(args, "LC_ALL=C timeout 20");
}

}  // namespace

TEST(HostileFiles, RefusedWithFileLineAndValue)
{
    brennic::test::TTempFolder dir;
    auto file = [&](const char* name, const std::string& text) {
        const fs::path p = dir.path / name;
        std::ofstream(p, std::ios::binary) << text;
        return p.string();
    };
    const std::string header = "\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\"\r\n";
    const std::string cold = file("cold.csv", header + "0,-500,20,20\r\n60,10,19,19\r\n");
    const std::string hot = file("hot.csv", header + "0,10,5000,20\r\n60,10,19,19\r\n");
    const std::string long_ = file("long.csv", header + "0,10,20,20\r\n600000000000000,10,19,19\r\n");
    const std::string huge = file("huge.csv", "time,temp\n0,10\n1e307,5\n");
    const std::string plusMinus = file("sign.csv", "time,temp\n0,+-1\n60,5\n");
    const std::string noDay = file("day.csv", "time,temp\n2026-02-28T23:00,5\n2026-02-30T01:00,4\n");
    const std::string escape = file("escape.csv", "time,temp\n0,\x1b[31mred\n");
    const std::string wide = file("wide.csv", "time,temp\n0," + std::string(100000, 'x') + "\n");
    const fs::path big = dir.path / "big.csv";
    {
        std::ofstream(big) << "time,temp\n";
        ASSERT_EQ(::truncate(big.c_str(), off_t(brennic::TableSizeLimit) + 1), 0);
    }
    const std::string sparse = big.string();
    const std::string scenarioNeg = file("neg.brennic", "# mine\nthickness = -5\n");
    const std::string scenarioBoth =
        file("both.brennic", "air-file = " + cold + "\nmeasured = " + hot + "\n");
    const std::string scenarioLong = file("name.brennic", "measured = /" + std::string(300, '7') + "\n");
    const std::string scenarioColumns = file("columns.brennic", "measured-air = outdoor\n");
    const std::string scenarioRoot = file("root.brennic", "measured = ///\n");
    const std::string folder = dir.path.string();
    ASSERT_EQ(::mkfifo((dir.path / "fifo").c_str(), 0600), 0);
    const std::string fifo = (dir.path / "fifo").string();

    struct Case {
        const char* name;
        std::string args;
        std::string message;
        int status = 2;  // a refused input; 1: an output that cannot be written
    };
    const Case cases[] = {
        {"a log's air below absolute zero", "--measured " + cold, cold + ", line 2: column \"T_Ambient\" has -500"},
        {"a log's surface at 5000 C", "--measured " + hot, hot + ", line 2: column \"T_Surface\" has 5000"},
        {"a log spanning 1e12 minutes", "--measured " + long_ + " --summary", "lies more than 10 years after"},
        {"times that overflow", "--air-file " + huge, huge + ", line 3: the time '1e307' lies more than 10 years"},
        {"two signs", "--air-file " + plusMinus, "has '+-1', which is not a number"},
        {"a date that does not exist", "--air-file " + noDay, "line 3: the date '2026-02-30T01:00' does not exist"},
        {"a control character", "--air-file " + escape, "has '\\x1b[31mred', which is not a number"},
        {"a cell of 100,000 bytes", "--air-file " + wide, "has 'xxxxxxxxxx"},
        {"a file over the limit", "--air-file " + sparse, "it is 268435457 bytes, larger than the limit of 256 MiB"},
        {"the zero device", "--air-file /dev/zero", "/dev/zero: cannot be read: it is a device"},
        {"a folder as scenario", "--scenario " + folder, folder + ": cannot be read: it is a folder"},
        {"the zero device as scenario", "--scenario /dev/zero", "it is a device, not a regular file"},
        {"a FIFO as air file", "--air-file " + fifo, "it is a FIFO, not a regular file"},
        {"a FIFO as log", "--measured " + fifo, "it is a FIFO, not a regular file"},
        {"a FIFO as scenario", "--scenario " + fifo, "it is a FIFO, not a regular file"},
        {"a FIFO nobody reads", "--duration 1 --output " + fifo, "No process reads from this FIFO", 1},
        {"a path part over 255 bytes", "--scenario " + scenarioLong, "line 1: \"measured\" names '/777"},
        {"a scenario's refused value", "--scenario " + scenarioNeg, "neg.brennic, line 2: thickness = -5: it must be"},
        {"a scenario with air file and log", "--scenario " + scenarioBoth, "names both an air file and a measured log"},
        {"log columns without a log (found by fuzzing)", "--scenario " + scenarioColumns,
         "log columns or a start are given without \"measured\""},
        {"a folder as a log (found by fuzzing)", "--scenario " + scenarioRoot, "names '///', which is not a file"},
        {"a summary into a workbook", "--summary --output " + folder + "/x.xlsx", "--summary writes text"},
        {"a workbook into a missing folder", "--output " + folder + "/no/x.xlsx", "/no\" does not exist"},
        {"an option as a value", "--output --summary", "--output: '--summary' is an option, not a value"},
        {"a list separator like the decimal one", "--list-separator .", "'.' equals the decimal separator"},
    };
    for (const Case& c : cases) {
        const Result r = Bounded(c.args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
        EXPECT_LT(r.err.size(), 600u) << c.name;
        EXPECT_EQ(r.err.find('\x1b'), std::string::npos) << c.name;
        EXPECT_EQ(r.err.find("bad_alloc"), std::string::npos) << c.name;
        EXPECT_EQ(r.err.find("filesystem error"), std::string::npos) << c.name;
    }
    EXPECT_FALSE(fs::exists(dir.path / "--summary"));
}

TEST(HostileFiles, ScenariosRoundTripWhatTheReaderTreatsSpecially)
{
    brennic::test::TTempFolder dir;
    const fs::path air = dir.path / " night #2.csv";
    std::ofstream(air) << "time,temp\n0,10\n60,9\n";
    brennic::TScenario s;
    s.Air.emplace();
    s.Air->Path = air.string();
    s.Air->AirColumn = "temp # outdoor";
    s.Air->Start = " 18:00";
    const std::string path = (dir.path / "mine.brennic").string();
    brennic::WriteScenario(s, path);
    const brennic::TScenario back = brennic::ReadScenario(path);
    ASSERT_TRUE(back.Air.has_value());
    EXPECT_EQ(back.Air->Path, air.string());
    EXPECT_EQ(back.Air->AirColumn, "temp # outdoor");
    EXPECT_EQ(back.Air->Start, " 18:00");
    // Inputs that could not be read back are not saved, naming the field.
    s.Inputs.Text(brennic::fThickness) = u"abc";
    try {
        brennic::WriteScenario(s, path);
        ADD_FAILURE() << "saved";
    } catch (const brennic::EBrennicError& e) {
        EXPECT_NE(std::string(e.what()).find("\"Mirror Thickness\" is 'abc'"), std::string::npos) << e.what();
    }
    EXPECT_EQ(brennic::ReadScenario(path).Air->AirColumn, "temp # outdoor");  // the last good file stays
}

TEST(HostileFiles, EveryByteOfAScenarioValueRoundTripsAndNoneAddsAKey)
{
    brennic::test::TTempFolder dir;
    const fs::path air = dir.path / "night.csv";
    std::ofstream(air) << "time,temp\n0,10\n60,9\n";
    std::string every;
    for (int b = 0; b < 256; ++b) every += char(b);
    const std::string injected = "temp\nair-file = /etc/passwd\r\nmeasured = x";
    const std::string path = (dir.path / "mine.brennic").string();
    for (const std::string& value : {every, injected, std::string("a\\nb"), std::string("\\x41")}) {
        brennic::TScenario s;
        s.Air.emplace();
        s.Air->Path = air.string();
        s.Air->AirColumn = value;
        brennic::WriteScenario(s, path);
        const brennic::TScenario back = brennic::ReadScenario(path);
        ASSERT_TRUE(back.Air.has_value());
        EXPECT_EQ(back.Air->AirColumn, value);
        EXPECT_EQ(back.Air->Path, air.string()) << "no key added by the value";
        EXPECT_FALSE(back.Measured.has_value());
    }
}

TEST(HostileFiles, ADanglingLinkStaysALinkToTheNewFile)
{
    brennic::test::TTempFolder dir;
    const fs::path link = dir.path / "out.csv", target = dir.path / "later.csv";
    fs::create_symlink(target.filename(), link);
    ASSERT_EQ(RunSim("--duration 1 --output " + link.string()).status, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_TRUE(fs::is_regular_file(target));
}
