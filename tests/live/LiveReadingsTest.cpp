// The readings of a live night: serial lines, files that grow, and the
// night's log that opens later as a measured log.
#include "app/core/live/LiveLine.h"
#include "app/core/live/LiveSession.h"
#include "app/core/live/NightLog.h"
#include "support/BoundedRead.h"
#include "support/FollowedFile.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <thread>

using namespace brennic;

namespace {

void Append(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::app | std::ios::binary) << text;
}

}  // namespace

TEST(LiveLine, RowsOfNumbersAndLabelledValues)
{
    struct Case {
        const char* name;
        const char* line;
        const char* roles;
        double surface, air, back;  // NaN: none
    };
    const double none = NAN;
    const Case cases[] = {
        {"numbers by column", "12.31,9.80", "surface=1,air=2", 12.31, 9.80, none},
        {"numbers in any order", "9.80;12.31", "air=1,surface=2", 12.31, 9.80, none},
        {"labelled, known labels", "Mirror: 12.31 C  Air: 9.80 C", "", 12.31, 9.80, none},
        {"labelled, chosen labels", "T1=12.31;T2=9.80;T3=11.5", "surface=T1,air=T2,back=t3", 12.31, 9.80, 11.5},
        {"Fahrenheit", "Mirror: 50 \u00b0F, Air: 32F", "", 10, 0, none},
        {"a negative air", "12.31 -3.5", "surface=1,air=2", 12.31, -3.5, none},
        {"a column left out", "12.31,9.80,1013", "surface=1,air=2", 12.31, 9.80, none},
    };
    for (const Case& c : cases) {
        const TLiveRow row = ParseLiveLine(c.line, ParseLineRoles(c.roles));
        for (auto [role, expected] : {std::pair{lrSurface, c.surface}, {lrAir, c.air}, {lrBack, c.back}}) {
            if (std::isnan(expected))
                EXPECT_TRUE(std::isnan(row.Values[role])) << c.name << ": " << LiveRoleKey(role);
            else
                EXPECT_NEAR(row.Values[role], expected, 1e-12) << c.name << ": " << LiveRoleKey(role);
        }
    }
}

TEST(LiveLine, BadLinesAreRefusedWithWhatIsWrong)
{
    struct Case {
        const char* name;
        const char* line;
        const char* roles;
        const char* message;
    };
    const Case cases[] = {
        {"garbage", "hello world", "surface=1", "is not a row of numbers"},
        {"a column that is not there", "12.31", "surface=1,air=2", "has no column 2 for the air"},
        {"a label that is not there", "T1=12.31", "surface=T1,air=T2", "has no value labelled 't2' for the air"},
        {"numbers without roles", "12.31,9.80", "", "names no role"},
        {"unknown labels", "Probe: 12.31", "", "names no role (probe)"},
        {"a label without a number", "Mirror: --", "", "has a label without a number"},
        {"an empty line", "   ", "surface=1", "the line is empty"},
        {"an infinite number", "inf,3", "surface=1,air=2", "is not a row of numbers"},
    };
    for (const Case& c : cases) {
        try {
            ParseLiveLine(c.line, ParseLineRoles(c.roles));
            ADD_FAILURE() << c.name << ": taken";
        } catch (const EBrennicError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << c.name << ": " << e.what();
        }
    }
    EXPECT_THROW(ParseLineRoles("mirror=1"), EBrennicError);
    EXPECT_THROW(ParseLineRoles("surface="), EBrennicError);
}

TEST(LiveFiles, AGrowingFileIsReadInCompleteLinesThroughCutsReplacementsAndLoss)
{
    test::TTempFolder folder;
    const std::string path = (folder.path / "night.csv").string();
    TFollowedFile file(path, 1 << 20);
    EXPECT_EQ(file.Poll().State, TFollowedFile::TState::Missing);
    Append(path, "Time,T_Surface\n0,12\n60,11.");
    TFollowedFile::TPoll p = file.Poll();
    EXPECT_EQ(p.Lines, "Time,T_Surface\n0,12\n") << "the partial line waits";
    Append(path, "9\n120,11.8\n");
    EXPECT_EQ(file.Poll().Lines, "60,11.9\n120,11.8\n");
    EXPECT_EQ(file.Poll().Lines, "");
    // Cut short (a logger that starts its file again): from its start.
    std::ofstream(path, std::ios::trunc) << "Time,T_Surface\n";
    p = file.Poll();
    EXPECT_TRUE(p.Restarted);
    EXPECT_EQ(p.Lines, "Time,T_Surface\n");
    EXPECT_NE(p.Note.find("cut short"), std::string::npos) << p.Note;
    // Replaced by a new file (a rotation): from the new file's start.
    const std::string other = (folder.path / "new.csv").string();
    std::ofstream(other) << "Time,T_Surface\n0,10\n";
    std::filesystem::rename(other, path);
    p = file.Poll();
    EXPECT_TRUE(p.Restarted);
    EXPECT_EQ(p.Lines, "Time,T_Surface\n0,10\n");
    // Gone, and back.
    std::filesystem::remove(path);
    p = file.Poll();
    EXPECT_EQ(p.State, TFollowedFile::TState::Missing);
    EXPECT_NE(p.Note.find("No such file"), std::string::npos) << p.Note;
    std::ofstream(path) << "Time,T_Surface\n0,9\n";
    p = file.Poll();
    EXPECT_TRUE(p.Restarted);
    EXPECT_EQ(p.Lines, "Time,T_Surface\n0,9\n");
    // Past the limit: refused as a file too large.
    TFollowedFile small(path, 8);
    EXPECT_THROW(small.Poll(), EReadError);
}

TEST(LiveFiles, TheNightsLogOpensAsAMeasuredLogAndIsNeverWrittenOver)
{
    test::TTempFolder folder;
    const std::string path = (folder.path / "night.csv").string();
    {
        TNightLog log(path);
        for (int i = 0; i < 3; ++i) {
            TLiveRow row;
            row.Time = 1796839200 + 60.0 * i;
            row.Values[lrAir] = 9 - 0.1 * i;
            row.Values[lrSurface] = 12.25 - 0.5 * i;
            if (i != 1)
                row.Values[lrBack] = 12.5 - 0.25 * i;
            log.Add(row);
        }
    }
    const auto log = TMeasuredLog::Load(path, {});
    ASSERT_EQ(log->Surface.size(), 3u);
    EXPECT_EQ(log->Surface[2].Time, 120);
    EXPECT_EQ(log->Surface[2].Value, 11.25);
    EXPECT_EQ(log->Back.size(), 2u) << "a reading without the back leaves a gap, not a zero";
    ASSERT_TRUE(log->Air);
    EXPECT_TRUE(log->Air->Table.UtcBased);
    try {
        TNightLog again(path);
        ADD_FAILURE() << "an existing log was opened for writing";
    } catch (const EBrennicError& e) {
        EXPECT_NE(std::string(e.what()).find("never written over"), std::string::npos) << e.what();
    }
    EXPECT_EQ(TMeasuredLog::Load(path, {})->Surface.size(), 3u);
}

TEST(LiveFiles, AFollowedFileFeedsUpdatesAsItGrowsAndSaysWhenItIsGone)
{
    test::TTempFolder folder;
    const std::string path = (folder.path / "logger.csv").string();
    Append(path, "time,mirror,outside\n");
    TLiveSettings settings;
    settings.Base.Texts.Text(fTimeStep) = u"60";
    settings.Base.MirrorTempGiven = false;
    std::vector<std::unique_ptr<TLiveSource>> sources;
    sources.push_back(FollowSource(path, ParseLogColumns("surface=mirror,air=outside"), {}));
    std::vector<TLiveUpdate> updates;
    std::vector<std::string> said, lost;
    TLiveEvents events{[&](const TLiveUpdate& u) { updates.push_back(u); },
                       [&](const std::string& s) { said.push_back(s); },
                       [&](const std::string& s) { lost.push_back(s); }};
    TLiveSession session(std::move(sources), settings, 1, std::make_unique<TNightLog>((folder.path / "kept.csv").string()),
                         events);
    std::stop_source stop;
    std::jthread night([&] { session.Run(stop.get_token()); });
    // Bursts of lines, one with a partial last line, as a logger writes them.
    Append(path, "2026-12-09T18:00:00Z,18,10\n2026-12-09T18:01:00Z,17.6,10\n2026-12-09T18:02:00Z,17");
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    Append(path, ".3,9.9\n");
    const auto waitFor = [&](auto done) {
        for (int i = 0; i < 100 && !done(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(50));
        return done();
    };
    EXPECT_TRUE(waitFor([&] { return session.Data().Rows().size() == 3; }));
    std::filesystem::remove(path);
    EXPECT_TRUE(waitFor([&] { return !lost.empty() && !lost.back().empty(); }));
    std::ofstream(path) << "time,mirror,outside\n2026-12-09T18:03:00Z,17.1,9.9\n";
    EXPECT_TRUE(waitFor([&] { return !lost.empty() && lost.back().empty(); }));
    stop.request_stop();
    night.join();
    ASSERT_FALSE(updates.empty()) << "a first update as soon as the mirror and the air have reported";
    EXPECT_EQ(updates.front().Surface, 17.6) << "made at the second reading";
    EXPECT_EQ(updates.front().MinutesOfData, 1);
    EXPECT_EQ(session.Data().Rows().size(), 4u);
    EXPECT_NEAR(session.Data().Rows()[2].Values[lrSurface], 17.3, 1e-12) << "the partial line read whole";
    const auto kept = TMeasuredLog::Load((folder.path / "kept.csv").string(), {});
    EXPECT_EQ(kept->Surface.size(), 4u) << "every reading is in the night's log";
    EXPECT_TRUE(std::any_of(said.begin(), said.end(), [](const std::string& s) { return s.find("replaced") != std::string::npos; }));
}
