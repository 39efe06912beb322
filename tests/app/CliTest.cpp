#include "app/core/results/Readiness.h"
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"
#include "tests/app/WorkbookXml.h"

#include <nlohmann/json.hpp>

using namespace brennic;

TEST(Cli, DefaultRunWritesTheWholeTable)
{
    const Result r = RunSim("");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 722u);
    EXPECT_EQ(lines[0], "\"Time\",\"T_Ambient\",\"T_Surface\",\"T_Back\",\"T_Core\"");
    EXPECT_EQ(lines[1], "0,10,20,20,20");
    EXPECT_EQ(lines[61].rfind("600,10,17.96", 0), 0u) << lines[61];
    EXPECT_EQ(lines[721].rfind("7200,10,11.36", 0), 0u) << lines[721];
}

TEST(Cli, SeparatorsFromOptionsAndLocale)
{
    Result r = RunSim("--duration 10 --decimal-separator , --list-separator ';'");
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    EXPECT_EQ(lines[0], "\"Time\";\"T_Ambient\";\"T_Surface\";\"T_Back\";\"T_Core\"");
    EXPECT_EQ(lines[1], "0;10;20;20;20");
    EXPECT_EQ(lines[61].rfind("600;10;17,96", 0), 0u);
    // A comma-decimal locale gives ";" between fields; option values keep ".".
    r = RunSim("--duration 0.5 --thickness 25.4", "LC_ALL=de_DE.UTF-8");
    ASSERT_EQ(r.status, 0) << r.err;
    lines = Lines(r.out);
    EXPECT_EQ(lines[1], "0;10;20;20;20");
    EXPECT_NE(lines[2].find(','), std::string::npos);
}

TEST(Cli, BadInputsAreRefusedWithStatus2)
{
    struct Case {
        const char* args;
        const char* mentions;
    };
    const Case cases[] = {
        {"--bogus 1", "--bogus"},
        {"--thickness abc", "--thickness: 'abc' is not a valid floating point value"},
        {"--thickness 0", "--thickness"},
        {"--elements 0", "--elements"},
        {"--elements 50.0", "''50.0'' is not a valid integer value"},
        {"--time-step 0", "--time-step"},
        {"--time-step -5", "--time-step"},
        {"--duration -1", "--duration"},
        {"--air-end 1e999", "--air-end"},
        {"--mirror-temp 1,5", "--mirror-temp"},
        {"--material Glassium", "--material: unknown material 'Glassium'"},
        {"--material 6", "--material"},
        {"--front-film -3", "--front-film"},
    };
    for (const auto& c : cases) {
        const Result r = RunSim(c.args);
        EXPECT_EQ(r.status, 2) << c.args;
        EXPECT_EQ(r.out, "") << c.args;
        EXPECT_NE(r.err.find(c.mentions), std::string::npos) << c.args << " -> " << r.err;
    }
    // Materials by name in any case, or by index.
    const Result zerodur = RunSim("--duration 1 --material zERODUR");
    const Result four = RunSim("--duration 1 --material 4");
    EXPECT_EQ(zerodur.status, 0);
    EXPECT_EQ(zerodur.out, four.out);
    EXPECT_NE(zerodur.out, RunSim("--duration 1").out);
}

TEST(Cli, OutputFileIsWrittenAtomically)
{
    char tmpl[] = "/tmp/brennic-cli-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    const fs::path file = dir / "night.csv";
    Result r = RunSim("--output " + file.string());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(ReadAll(file), RunSim("").out);

    // Refused input leaves an existing file as it was.
    {
        std::ofstream(file, std::ios::binary) << "keep me";
    }
    r = RunSim("--time-step 0 --output " + file.string());
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(ReadAll(file), "keep me");
    // A file in a missing folder: refused before the run, naming the folder.
    r = RunSim("--output " + (dir / "no/such/dir.csv").string());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find((dir / "no/such").string() + "\" does not exist"), std::string::npos) << r.err;
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    fs::remove_all(dir);
}

TEST(Cli, SummaryAnswersWhenTheMirrorIsReady)
{
    const Result r = RunSim("--duration 600 --time-step 60 --front-radiation 0");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Surface"), std::string::npos);
    EXPECT_EQ(RunSim("--summary --duration 600 --time-step 60 --front-radiation 0").out.find("not reached"),
              std::string::npos);
    EXPECT_NE(RunSim("--summary").out.find("not reached"), std::string::npos);
}

TEST(Cli, SummaryWithChosenTolerancesAndAsJson)
{
    Result r = RunSim("--summary --json --tolerance 2,0.25 --thickness 25 --duration 180 --front-film 25");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.rfind("{\"tolerances\":[2.0,0.25],\"ready_minutes\":{\"surface\":[", 0), 0u) << r.out;
    EXPECT_NE(r.out.find("\"largest_front_back_difference\":{\"kelvin\":"), std::string::npos);
    EXPECT_NE(r.out.find("\"final\":{\"minutes\":180.0,\"air\":10.0,"), std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');
    r = RunSim("--summary --tolerance 0.3");
    EXPECT_NE(r.out.find("within 0.3 C"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Glass"), std::string::npos);
    struct Bad {
        const char* args;
        const char* message;
    };
    const Bad bad[] = {{"--summary --tolerance 0", "\"--tolerance\" has '0'"},
                       {"--summary --tolerance 1,x", "\"--tolerance\" has 'x'"},
                       {"--json", "--json: it goes with --summary, --fit or --sweep"}};
    for (const auto& b : bad) {
        r = RunSim(b.args);
        EXPECT_EQ(r.status, 2) << b.args;
        EXPECT_NE(r.err.find(b.message), std::string::npos) << b.args << ": " << r.err;
    }
}

TEST(Cli, AirFromAFile)
{
    char tmpl[] = "/tmp/brennic-cli-air-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    const fs::path file = dir / "forecast.csv";
    {
        std::ofstream f(file, std::ios::binary);
        f << "latitude,longitude\n52.5,13.4\n\ntime,temperature_2m (\xC2\xB0"
             "C),dew_point_2m (\xC2\xB0"
             "C)\n"
             "2026-12-08T17:00,6.2,1.0\n2026-12-08T18:00,5.1,1.2\n2026-12-08T19:00,3.9,1.5\n"
             "2026-12-08T20:00,3.2,1.6\n";
    }
    const std::string air = " --air-file " + file.string();
    Result r = RunSim("--duration 60 --time-step 600" + air + " --start 18:00");
    ASSERT_EQ(r.status, 0) << r.err;
    auto lines = Lines(r.out);
    ASSERT_EQ(lines.size(), 8u);
    EXPECT_EQ(lines[1], "0,5.1,20,20,20");
    EXPECT_EQ(lines[7].rfind("3600,3.9,", 0), 0u) << lines[7];

    r = RunSim("--summary --duration 240 --mirror-temp 18" + air + " --start 18:00");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.out.find("Note: Air from forecast.csv, column temperature_2m, from 2026-12-08 18:00"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Note: The air file ends at 120.0 min (20:00); after that the air holds its last value"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("Note: No dew risk"), std::string::npos) << r.out;
    r = RunSim("--summary --json --duration 60" + air);
    EXPECT_NE(r.out.find(",\"dew_risk_minutes\":null,"), std::string::npos) << r.out;

    struct Bad {
        std::string args;
        std::string message;
    };
    const Bad bad[] = {
        {"--air-start 5" + air, "--air-start: the air comes from --air-file"},
        {"--air-end 5" + air, "--air-end: the air comes from --air-file"},
        {"--start 18:00", "--start: it goes with --air-file"},
        {"--air-column temp", "--air-column: it goes with --air-file"},
        {air + " --air-column wind", file.string() + ": there is no air column \"wind\""},
        {air + " --start noon", file.string() + ": the start 'noon' is neither"},
        {"--air-file " + (dir / "none.csv").string(), (dir / "none.csv").string() + ": cannot be read"},
    };
    for (const auto& b : bad) {
        r = RunSim(b.args);
        EXPECT_EQ(r.status, 2) << b.args;
        EXPECT_NE(r.err.find(b.message), std::string::npos) << b.args << ": " << r.err;
    }
    fs::remove_all(dir);
}

TEST(Cli, FitsTheFilmCoefficientsToAMeasuredLog)
{
    char tmpl[] = "/tmp/brennic-cli-fit-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    const fs::path log = dir / "mirror.csv";
    // The program's own export of a mirror with a fan in front, as a "measurement".
    Result r = RunSim(
        "--thickness 25 --front-film 17.5 --back-film 6.2 --duration 360 --air-start 12 --air-end 4 "
        "--mirror-temp 19 --output " +
        log.string());
    ASSERT_EQ(r.status, 0) << r.err;
    r = RunSim("--thickness 25 --measured " + log.string() + " --fit front-film,back-film --json");
    ASSERT_EQ(r.status, 0) << r.err;
    const auto json = nlohmann::json::parse(r.out);
    EXPECT_NEAR(json["fit"]["front_film"].get<double>(), 17.5, 17.5e-3);
    EXPECT_NEAR(json["fit"]["back_film"].get<double>(), 6.2, 6.2e-3);
    EXPECT_EQ(json["fit"]["points"].get<int>(), 2 * 2161);
    EXPECT_GT(json["fit"]["rms_before"].get<double>(), 0.01);
    EXPECT_LT(json["fit"]["rms_after"].get<double>(), 1e-6);
    EXPECT_TRUE(json["fit"]["uncertainty"].contains("front_film"));
    // The start, taken from the log's first sample, is fitted as well.
    EXPECT_NEAR(json["parameters"]["mirror_temp"]["value"].get<double>(), 19, 1e-3);
    EXPECT_EQ(json["parameters"]["front_film"]["unit"], "W/m2K");
    // The start temperature and the period come from the log unless given.
    r = RunSim("--thickness 25 --measured " + log.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const auto lines = Lines(r.out);
    EXPECT_EQ(lines.size(), 2162u);
    EXPECT_EQ(lines[1], "0,12,19,19,19");
    r = RunSim("--thickness 25 --measured " + log.string() + " --fit front-film");
    EXPECT_NE(r.out.find("front-film"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("RMS difference:"), std::string::npos);

    struct Bad {
        std::string args;
        std::string message;
    };
    const Bad bad[] = {
        {"--fit front-film", "--fit: it goes with --measured"},
        {"--measured " + log.string() + " --fit fan", "\"--fit\" has 'fan'"},
        {"--measured " + log.string() + " --air-file " + log.string(), "--measured: give the air with"},
        {"--measured " + log.string() + " --measured-columns surface=front",
         log.string() + ": there is no surface column \"front\""},
    };
    for (const auto& b : bad) {
        r = RunSim(b.args);
        EXPECT_EQ(r.status, 2) << b.args;
        EXPECT_NE(r.err.find(b.message), std::string::npos) << b.args << ": " << r.err;
    }
    fs::remove_all(dir);
}

TEST(Cli, ScenarioWithOverrides)
{
    char tmpl[] = "/tmp/brennic-cli-scenario-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    const fs::path file = dir / "mine.brennic";
    {
        std::ofstream(file) << "# my 10-inch\nthickness = 38\nfront-film = 25\nduration = 30\nmaterial = suprax\n";
    }
    const Result fromFile = RunSim("--scenario " + file.string());
    ASSERT_EQ(fromFile.status, 0) << fromFile.err;
    EXPECT_EQ(fromFile.out, RunSim("--thickness 38 --front-film 25 --duration 30 --material 5").out);
    const Result overridden = RunSim("--scenario " + file.string() + " --duration 10 --material 0");
    EXPECT_EQ(overridden.out, RunSim("--thickness 38 --front-film 25 --duration 10").out);
    {
        std::ofstream(file) << "thickness = 38\nthickness = 40\n";
    }
    const Result bad = RunSim("--scenario " + file.string());
    EXPECT_EQ(bad.status, 2);
    EXPECT_EQ(bad.err, "brennic-sim: " + file.string() + ", line 2: \"thickness\" is given twice\n");
    fs::remove_all(dir);
}

TEST(Cli, WorkbookByExtension)
{
    char tmpl[] = "/tmp/brennic-cli-xlsx-XXXXXX";
    const fs::path dir = ::mkdtemp(tmpl);
    const fs::path book = dir / "night.XLSX";
    Result r = RunSim("--duration 10 --output " + book.string());
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string sheet = test::Unzip(book.string(), "xl/worksheets/sheet1.xml");
    // Every value of the CSV's last row stands in the sheet's last row.
    const auto lines = Lines(RunSim("--duration 10").out);
    std::stringstream last(lines.back());
    std::string cell;
    const char columns[] = {'A', 'C', 'D', 'E', 'F'};
    for (int i = 0; std::getline(last, cell, ','); ++i) {
        const std::size_t at = sheet.find(std::string("<c r=\"") + columns[i] + "62\"");
        ASSERT_NE(at, std::string::npos) << columns[i];
        EXPECT_NEAR(std::stod(sheet.substr(sheet.find("<v>", at) + 3)), std::stod(cell), 1e-12) << columns[i];
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    r = RunSim("--duration 100000 --time-step 1 --output " + book.string());
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--output: a workbook holds at most 1048575 rows"), std::string::npos) << r.err;
    fs::remove_all(dir);
}

TEST(Cli, ATypedDewPointAboveTheAirIsRefusedAndOneBelowGivesTheDewRisk)
{
    struct Case {
        const char* name;
        std::string args;
        int status;
        const char* expected;
    };
    const Case cases[] = {
        {"above the ramp's start", "--sky clear --dew-point 60 --summary", 2,
         "\"--dew-point\" is 60: the dew point cannot be above the air (10 \u00b0C at the start)"},
        {"a mirror that cools below it", "--sky clear --dew-point 5 --air-end 0 --duration 300 --summary --json", 0,
         "\"dew_risk_minutes\":194.0"},
        {"a mirror that stays above it", "--sky clear --dew-point 5 --duration 300 --summary", 0,
         "Note: No dew risk: the surface stays above the dew point"},
        {"no dew point, no word on dew", "--duration 300 --summary", 0, ""},
    };
    for (const Case& c : cases) {
        const Result r = RunSim(c.args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        if (*c.expected)
            EXPECT_NE((r.out + r.err).find(c.expected), std::string::npos) << c.name << ": " << r.out << r.err;
        else
            EXPECT_EQ(r.out.find("dew"), std::string::npos) << c.name << ": " << r.out;
    }
}

TEST(Cli, ALongStretchWithoutAirInsideTheRunIsRefusedUnlessAllowed)
{
    brennic::test::TTempFolder folder;
    const std::string air = folder.Write("gap.csv", "time,temp\n2026-12-09T18:00:00Z,10\n2026-12-09T19:00:00Z,9\n"
                                                    "2026-12-10T07:00:00Z,2\n2026-12-10T08:00:00Z,2\n");
    struct Case {
        const char* name;
        std::string args;
        int status;
    };
    const Case cases[] = {
        {"the gap inside the run", "--duration 120", 2},
        {"the run ends before the gap", "--duration 50", 0},
        {"the run starts after it", "--start 2026-12-10T07:00 --duration 60", 0},
        {"allowed", "--duration 120 --max-gap 12", 0},
        {"allowed too little", "--duration 120 --max-gap 11.9", 2},
    };
    for (const Case& c : cases) {
        const Result r = RunSim("--summary --time-zone UTC --air-file " + air + " " + c.args);
        EXPECT_EQ(r.status, c.status) << c.name << ": " << r.err;
        if (c.status == 2) {
            EXPECT_NE(r.err.find("gap.csv: no air between 60.0 min (19:00) and 780.0 min (07:00) of the run (12 h): "
                                 "the air there would be made up (--max-gap 12 allows it)"),
                      std::string::npos)
                << c.name << ": " << r.err;
        }
    }
}
