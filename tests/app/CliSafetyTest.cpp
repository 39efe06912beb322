// The command line's answers to hostile input: refusals that name the option
// and the value, files that are never destroyed, interruptions that leave
// nothing behind.
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <csignal>
#include <thread>

namespace {

std::vector<std::string> Fields(const std::string& line)
{
    std::vector<std::string> out;
    std::stringstream s(line);
    std::string f;
    while (std::getline(s, f, ',')) out.push_back(f);
    return out;
}

}  // namespace

TEST(CliSafety, RefusalsNameTheOptionAndTheValueAsTyped)
{
    const std::string ones310 = "1" + std::string(310, '0') + "e-1";
    struct Case {
        const char* name;
        std::string args;
        std::string message;
    };
    const Case cases[] = {
        {"emissivity above 1", "--front-radiation 1.5", "\"--front-radiation\" is 1.5: it must be between 0 and 1"},
        {"negative emissivity", "--back-radiation -0.2", "\"--back-radiation\" is -0.2: it must be between 0 and 1"},
        {"far too hot", "--mirror-temp 1e62", "\"--mirror-temp\" is 1e62: it must be between -273 and 1000"},
        {"film beyond the range", "--thickness 5000 --elements 1 --front-film 1e308",
         "\"--front-film\" is 1e308: it is beyond"},
        {"below absolute zero", "--air-start -300", "\"--air-start\" is -300: it must be between -273 and 1000"},
        {"1e309 as film", "--front-film " + ones310, "--front-film: '" + ones310 + "' is not a valid floating"},
        {"elements too thin", "--thickness 1e-320", "\"--thickness\" is 1e-320: the elements would be too thin"},
        {"step that stops the clock", "--time-step 1e-320", "\"--time-step\" is 1e-320: it is too small"},
        {"step too small for the period", "--duration 1e9 --time-step 1e-6", "\"--time-step\" is 1e-6: it is too"},
        {"period beyond the range", "--duration 1e307", "\"--duration\" is 1e307: it is beyond"},
        {"radiation unstable",
         "--thickness 1 --front-film 0 --back-film 0 --front-radiation 1 --time-step 3600 --duration 720",
         "\"--time-step\" is 3600: the faces' radiation makes the model unstable beyond 342.6 s"},
        {"empty value", "--thickness= --elements 5", "--thickness: the value is empty"},
        {"empty value last", "--time-step=", "--time-step: the value is empty"},
        {"empty output file", "--output ''", "--output: the value is empty"},
        {"empty scenario", "--scenario '' --duration 5", "--scenario: the value is empty"},
        {"empty forecast file", "--forecast-save ''", "--forecast-save: the value is empty"},
        {"jobs that are no number", "--jobs abc --sweep thickness=10,20", "--jobs: 'abc' is not a whole number from 1 to 256"},
        {"too many elements", "--elements 2000000000", "\"--elements\" is 2000000000: so many elements would need"},
        {"solver arrays too large", "--elements 100000000 --duration 0", "\"--elements\" is 100000000: so many"},
    };
    for (const auto& c : cases) {
        const Result r = RunSim(c.args);
        EXPECT_EQ(r.status, 2) << c.name;
        EXPECT_EQ(r.out, "") << c.name;
        EXPECT_EQ(r.err.rfind("brennic-sim: " + c.message, 0), 0u) << c.name << ": " << r.err;
    }
}

TEST(CliSafety, TheAirStaysWithinTheRangeGiven)
{
    struct Case {
        const char* name;
        const char* args;
        std::size_t rows;
        const char* last;
    };
    const Case cases[] = {
        {"step longer than the period", "--duration 0.001 --air-end 0", 3, "10,0,"},
        {"period not a whole number of steps", "--duration 10 --time-step 3000 --air-end 0", 3, "3000,0,"},
        {"whole number of steps", "--duration 2 --time-step 60 --air-end 4", 4, "120,4,"},
    };
    for (const auto& c : cases) {
        const Result r = RunSim(c.args);
        ASSERT_EQ(r.status, 0) << c.name << ": " << r.err;
        const auto lines = Lines(r.out);
        ASSERT_EQ(lines.size(), c.rows) << c.name;
        EXPECT_EQ(lines.back().rfind(c.last, 0), 0u) << c.name << ": " << lines.back();
        for (std::size_t i = 1; i < lines.size(); ++i) {
            const double air = std::stod(Fields(lines[i])[1]);
            EXPECT_TRUE(air >= 0 && air <= 10) << c.name << ": " << lines[i];
        }
    }
}

TEST(CliSafety, SummariesOfExtremeRunsAreWholeText)
{
    for (const char* args :
         {"--summary --duration 1e14 --time-step 1e15 --front-radiation 0 --elements 1",
          "--summary --duration 1e12 --time-step 1e13 --back-film 1e300 --front-radiation 0 --elements 1",
          "--summary --mirror-temp -273 --air-start 1000 --front-radiation 0 --duration 1"}) {
        const Result r = RunSim(args);
        EXPECT_EQ(r.status, 0) << args << ": " << r.err;
        EXPECT_NE(r.out.find("Final temperatures"), std::string::npos) << args;
        for (char ch : r.out) ASSERT_TRUE(ch == '\n' || (ch >= 0x20 && ch < 0x7F)) << args << ": byte " << int(ch);
    }
}

TEST(CliSafety, SpecialFilesAreWrittenNotReplaced)
{
    brennic::test::TTempFolder dir;
    const std::string expected = RunSim("--duration 1").out;

    // A FIFO stays a FIFO, and its reader gets the table.
    const fs::path fifo = dir.path / "pipe";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadAll(fifo); });
    const Result r = RunSim("--duration 1 --output " + fifo.string());
    reader.join();
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::is_fifo(fifo));
    EXPECT_EQ(received, expected);
    EXPECT_EQ(dir.Entries(), 1u);

    // A character device is written to, never replaced.
    EXPECT_EQ(RunSim("--duration 1 --output /dev/null").status, 0);
    EXPECT_TRUE(fs::is_character_file("/dev/null"));

    // A link stays a link; the file it points to gets the table.
    const fs::path target = dir.path / "real.csv", link = dir.path / "link.csv";
    {
        std::ofstream(target) << "old";
    }
    fs::create_symlink(target.filename(), link);
    EXPECT_EQ(RunSim("--duration 1 --output " + link.string()).status, 0);
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(ReadAll(target), expected);
    EXPECT_EQ(dir.Entries(), 3u);
}

TEST(CliSafety, LongFileNamesNeedNoRoomForTheTemporaryName)
{
    brennic::test::TTempFolder dir;
    for (std::size_t length : {200u, 247u, 250u, 255u}) {
        const fs::path file = dir.path / (std::string(length - 4, 'n') + ".csv");
        const Result r = RunSim("--duration 1 --output " + file.string());
        EXPECT_EQ(r.status, 0) << length << ": " << r.err;
        EXPECT_EQ(ReadAll(file), RunSim("--duration 1").out) << length;
    }
    EXPECT_EQ(dir.Entries(), 4u);
}

TEST(CliSafety, InterruptionsLeaveNoTemporaryFileAndTheOldOneIntact)
{
    struct Case {
        const char* name;
        int signal;
        int status;
    };
    const Case cases[] = {{"Ctrl-C", SIGINT, 130},   {"SIGTERM", SIGTERM, 143}, {"SIGHUP", SIGHUP, 129},
                          {"SIGQUIT", SIGQUIT, 131}, {"SIGUSR1", SIGUSR1, 138}, {"SIGALRM", SIGALRM, 142}};
    for (const auto& c : cases) {
        brennic::test::TTempFolder dir;
        const fs::path file = dir.path / "night.csv";
        {
            std::ofstream(file) << "previous night";
        }
        const pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            const int devnull = ::open("/dev/null", O_WRONLY);
            ::dup2(devnull, STDERR_FILENO);
            ::execl(BRENNIC_SIM, BRENNIC_SIM, "--duration", "1e7", "--output", file.c_str(), nullptr);
            ::_exit(127);
        }
        // Wait until the temporary file has grown, then interrupt.
        bool writing = false;
        for (int i = 0; i < 500 && !writing; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            for (const auto& e : fs::directory_iterator(dir.path))
                writing = writing || (e.path() != file && fs::file_size(e.path()) > 0);
        }
        ASSERT_TRUE(writing) << c.name;
        ::kill(child, c.signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        ASSERT_TRUE(WIFEXITED(status)) << c.name;
        EXPECT_EQ(WEXITSTATUS(status), c.status) << c.name;
        EXPECT_EQ(dir.Entries(), 1u) << c.name << ": the temporary file is left behind";
        EXPECT_EQ(ReadAll(file), "previous night") << c.name;
    }
}

TEST(CliSafety, AFilesColumnNamesAndCellsCannotSteerTheTerminal)
{
    brennic::test::TTempFolder dir;
    const std::pair<const char*, std::string> files[] = {
        {"an escape sequence in a column's name", "time,temp\x1b[2J\x1b[41m\n2026-12-09T18:00:00Z,\n2026-12-09T19:00:00Z,\n"},
        {"a C1 control in a cell", "time,temp\n2026-12-09T18:00:00Z,1\xc2\x9b" "2J\n2026-12-09T19:00:00Z,3\n"},
        {"a lone CSI byte in a cell", "time,temp\n2026-12-09T18:00:00Z,1\x9b" "2J\n2026-12-09T19:00:00Z,3\n"},
    };
    for (const auto& [name, text] : files) {
        const Result r = RunSim("--summary --air-file " + dir.Write("air.csv", text));
        EXPECT_EQ(r.status, 2) << name;
        EXPECT_NE(r.err.find("air.csv"), std::string::npos) << name << ": " << r.err;
        for (char c : r.err) {
            const auto b = static_cast<unsigned char>(c);
            EXPECT_FALSE((b < 0x20 && c != '\n') || b == 0x7f || b == 0x9b) << name << ": raw control in " << r.err;
        }
        EXPECT_EQ(r.err.find("\xc2\x9b"), std::string::npos) << name;
    }
}
