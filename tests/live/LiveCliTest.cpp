// brennic-sim's live night from the outside: a replayed log as JSON Lines
// and as text, the night's log it leaves, and the options it refuses.
#include "tests/TempFolder.h"
#include "tests/app/CliRunner.h"

#include <nlohmann/json.hpp>

#include <csignal>
#include <sstream>
#include <thread>

namespace {

// A night of three hours, one reading a minute, written as a logger would.
std::string LoggerNight()
{
    std::string text = "time,mirror,back,outside\n";
    for (int m = 0; m <= 180; ++m) {
        char line[96];
        const double air = 10 - m / 60.0, surface = air + 6 * std::exp(-m / 70.0), back = air + 7 * std::exp(-m / 90.0);
        std::snprintf(line, sizeof line, "2026-12-09T%02d:%02d:00Z,%.3f,%.3f,%.3f\n", 18 + m / 60, m % 60, surface, back,
                      air);
        text += line;
    }
    return text;
}

std::vector<std::string> TextLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

}  // namespace

TEST(LiveCli, AReplayedNightUpdatesByItsDataTimeAsJsonLinesAndKeepsItsLog)
{
    brennic::test::TTempFolder folder;
    const std::string night = folder.Write("night.csv", LoggerNight());
    const std::string kept = (folder.path / "kept.csv").string();
    const Result r = RunSim("--replay " + night + ",0 --measured-columns surface=mirror,back=back,air=outside "
                            "--update-every 30 --live --live-log " + kept + " --time-step 60",
                            "LC_ALL=C TZ=UTC");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = TextLines(r.out);
    ASSERT_EQ(lines.size(), 7u) << r.out;  // at the second reading, then every 30 minutes of data
    nlohmann::json previous;
    for (const std::string& line : lines) {
        const nlohmann::json u = nlohmann::json::parse(line);
        for (const char* key : {"time", "minutes_of_data", "air", "surface", "back", "prediction_from", "parameters",
                                "ready", "seeing", "notes", "warnings"})
            EXPECT_TRUE(u.contains(key)) << key << " in " << line;
        EXPECT_TRUE(u["ready"]["surface"].contains("0.5")) << line;
        previous = u;
    }
    EXPECT_EQ(previous["time"], "2026-12-09T21:00:00+00:00");
    EXPECT_EQ(previous["minutes_of_data"], 180);
    EXPECT_EQ(previous["prediction_from"], "fit");
    EXPECT_TRUE(previous["parameters"].contains("front_film"));
    EXPECT_NE(r.err.find("the night's readings go to " + kept), std::string::npos) << r.err;
    const std::vector<std::string> log = TextLines(cli::ReadAll(kept));
    ASSERT_EQ(log.size(), 182u);
    EXPECT_EQ(log[0], "Time,T_Ambient,T_Surface,T_Back,T_Dew,T_Sky");
    EXPECT_EQ(log[1].substr(0, 21), "2026-12-09T18:00:00Z,");
}

TEST(LiveCli, TextLinesSayTheReadyTimeAndWhereItComesFrom)
{
    brennic::test::TTempFolder folder;
    const std::string night = folder.Write("night.csv", LoggerNight());
    const Result r = RunSim("--replay " + night + ",0 --measured-columns surface=mirror,back=back,air=outside "
                            "--update-every 60 --live-log " + (folder.path / "kept.csv").string(),
                            "LC_ALL=C TZ=UTC");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> lines = TextLines(r.out);
    ASSERT_EQ(lines.size(), 4u) << r.out;
    EXPECT_EQ(lines[0].rfind("18:01 \u00b7 mirror +", 0), 0u) << lines[0];
    EXPECT_NE(lines[1].find(" from 61 min of data"), std::string::npos) << lines[1];
    EXPECT_NE(lines[1].find(" \u00b7 ready (\u2264 0.5 \u00b0C) "), std::string::npos) << lines[1];
}

TEST(LiveCli, RefusalsBeforeTheNightStarts)
{
    brennic::test::TTempFolder folder;
    const std::string night = folder.Write("night.csv", LoggerNight());
    const std::string existing = folder.Write("old.csv", "Time,T_Surface\n");
    struct Case {
        const char* name;
        std::string args;
        const char* message;
    };
    const Case cases[] = {
        {"an output file", "--replay " + night + " --output x.csv", "--output: a live night prints its own updates"},
        {"a measured log beside", "--replay " + night + " --measured " + night, "--measured: a live night"},
        {"two files", "--replay " + night + " --follow " + night, "--follow and --replay: one file at a time"},
        {"live options alone", "--live", "--live: it goes with --follow, --serial, --replay, --indi, --mqtt or --alpaca"},
        {"a speed that is none", "--serial /dev/null,12345", "--serial: 12345 is not a serial speed"},
        {"a missing replay", "--replay " + (folder.path / "none.csv").string(), "none.csv"},
        {"a bad input", "--replay " + night + " --thickness 0", "--thickness"},
        {"a log never written over", "--replay " + night + " --measured-columns surface=mirror,air=outside --live-log " +
                                         existing, "never written over"},
        {"an update of nothing", "--replay " + night + " --update-every 0", "--update-every"},
        {"a mirror probe without its server", "--indi-mirror Focuser.FOCUS_TEMPERATURE.TEMPERATURE",
         "--indi-mirror: it goes with --indi"},
        {"a broker without topics", "--mqtt mqtt://127.0.0.1:1", "--mqtt: say which topic gives what"},
        {"a topic for no role", "--mqtt mqtt://127.0.0.1:1 --mqtt-topic mirror=scope/t", "mirror is not a role"},
        {"an Alpaca device without its number", "--alpaca http://127.0.0.1:11111", "--alpaca: http://127.0.0.1:11111 is not"},
        {"wind without a station", "--replay " + night + " --wind-from-source", "--wind-from-source: the wind comes from a weather station"},
        {"wind with typed films", "--alpaca http://127.0.0.1:1/0 --wind-from-source", "(--films conditions)"},
        {"an INDI role that is none", "--indi localhost --indi-property heat=A.B.C", "--indi-property: heat=A.B.C is not"},
    };
    for (const Case& c : cases) {
        const Result r = RunSim(c.args);
        EXPECT_EQ(r.status, 2) << c.name << ": " << r.err;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << c.name << ": " << r.err;
        EXPECT_TRUE(r.out.empty()) << c.name;
    }
    EXPECT_EQ(cli::ReadAll(existing), "Time,T_Surface\n");
}

TEST(LiveCli, CtrlCEndsAFollowedNightWithItsLogWhole)
{
    brennic::test::TTempFolder folder;
    const std::string logger = folder.Write("logger.csv", "time,mirror,outside\n2026-12-09T18:00:00Z,18,10\n");
    const std::string kept = (folder.path / "kept.csv").string(), out = (folder.path / "out.txt").string();
    const pid_t pid = ::fork();
    if (pid == 0) {
        ::freopen(out.c_str(), "w", stdout);
        ::freopen("/dev/null", "w", stderr);
        ::execl(BRENNIC_SIM, BRENNIC_SIM, "--follow", logger.c_str(), "--measured-columns", "surface=mirror,air=outside",
                "--live-log", kept.c_str(), static_cast<char*>(nullptr));
        ::_exit(127);
    }
    std::ofstream(logger, std::ios::app) << "2026-12-09T18:01:00Z,17.5,10\n" << std::flush;
    for (int i = 0; i < 100 && cli::ReadAll(out).empty(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_FALSE(cli::ReadAll(out).empty()) << "no update from the followed file";
    ::kill(pid, SIGINT);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status)) << "ended by the signal, not by itself";
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(TextLines(cli::ReadAll(kept)).size(), 3u) << cli::ReadAll(kept);
}
