// The live prediction against nights whose truth is known: the model's own
// night with sensor noise, replayed in steps as the data grows.
#include "app/core/live/LivePrediction.h"
#include "app/core/live/LiveReport.h"
#include "app/core/run/Engine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

using namespace brennic;

namespace {

constexpr double NightStart = 1796839200;  // 2026-12-09 18:00 UTC
constexpr double NoiseK = 0.05;

// The true night: known films and start, the air falling 3 °C over 6 h.
struct TNight {
    std::vector<TStepValues> Reports;  // one a minute
    double ReadyAt;                    // surface within 0.5 °C of the air, s after the start
};

TInputTexts TrueInputs()
{
    TInputTexts t;
    t.Text(fFrontFilm) = u"12";
    t.Text(fBackFilm) = u"4";
    t.Text(fInitialMirrorTemp) = u"18";
    t.Text(fInitialAirTemp) = u"10";
    t.Text(fFinalAirTemp) = u"7";
    t.Text(fDuration) = u"360";
    t.Text(fTimeStep) = u"60";
    return t;
}

const TNight& Truth()
{
    static const TNight night = [] {
        TRequestSource source;
        source.Texts = TrueInputs();
        const TRunRequest request = BuildRunRequest(source);
        TNight n;
        n.Reports = RunValues(request);
        TReadiness r(request.Tolerances);
        for (const TStepValues& v : n.Reports) r.Add(v);
        n.ReadyAt = *r.ReadyFrom(TReadiness::Surface, 1);
        return n;
    }();
    return night;
}

// The air ahead as a forecast would give it: the true air, hourly.
std::shared_ptr<const TAirSource> AirAhead()
{
    TTimeTable t = MemoryTable("forecast", {"Time", "temperature"});
    for (const TStepValues& v : Truth().Reports)
        if (std::fmod(v.Time, 3600) == 0) {
            t.Times.push_back(NightStart + v.Time);
            t.Lines.push_back(t.Times.size());
            t.Columns[0].push_back(v.Air);
        }
    TAirFileChoice c;
    c.AirColumn = "temperature";
    return TAirSource::FromTable(std::move(t), c);
}

// The first minutes of the night as the sensors report them.
TLiveTable Readings(double minutes, unsigned seed)
{
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, NoiseK);
    TLiveTable data;
    for (const TStepValues& v : Truth().Reports) {
        if (v.Time > minutes * 60)
            break;
        TLiveRow row;
        row.Time = NightStart + v.Time;
        row.Values[lrAir] = v.Air + noise(random);
        row.Values[lrSurface] = v.Surface + noise(random);
        row.Values[lrBack] = v.Back + noise(random);
        data.Add(row);
    }
    return data;
}

TLiveSettings Settings()
{
    TLiveSettings s;
    s.Base.Texts = TrueInputs();
    s.Base.Texts.Text(fFrontFilm) = u"8";  // the fit starts away from the truth
    s.Base.Texts.Text(fBackFilm) = u"8";
    s.Base.MirrorTempGiven = false;
    s.Ahead = AirAhead();
    s.ToleranceTexts = {"1", "0.5", "0.1"};
    return s;
}

TReadyEstimate SurfaceReady(const TLiveUpdate& u)
{
    return u.Ready[TReadiness::Surface][1];
}

}  // namespace

TEST(LivePrediction, AnHourOfANoisyNightPredictsTheReadyTimeWithAnIntervalThatCoversIt)
{
    const double truth = NightStart + Truth().ReadyAt;
    int covered = 0, narrowed = 0;
    double worst = 0;
    constexpr int Nights = 20;
    for (unsigned seed = 1; seed <= Nights; ++seed) {
        const TLiveUpdate hour = PredictLive(Readings(60, seed), Settings());
        ASSERT_TRUE(hour.FromFit) << seed;
        const TReadyEstimate e = SurfaceReady(hour);
        ASSERT_TRUE(e.At && e.Low && e.High) << seed;
        worst = std::max(worst, std::fabs(*e.At - truth) / Truth().ReadyAt);
        covered += *e.Low <= truth && truth <= *e.High;
        const TLiveUpdate half = PredictLive(Readings(30, seed), Settings());
        const TReadyEstimate h = SurfaceReady(half);
        narrowed += h.Low && h.High && *h.High - *h.Low > *e.High - *e.Low;
    }
    std::printf("[ figures ] truth %.0f min after the start; worst error after 60 min %.1f %%; "
                "the interval covered it in %d of %d nights and narrowed from 30 to 60 min in %d\n",
                Truth().ReadyAt / 60, 100 * worst, covered, Nights, narrowed);
    EXPECT_LE(worst, 0.10);
    EXPECT_GE(covered, 16);
    EXPECT_GE(narrowed, 16);
}

TEST(LivePrediction, TooFewReadingsComeFromTheConditionsAndOneProbeFitsOneFilm)
{
    // Two readings of one probe: fewer points than the fit has values.
    TLiveTable two;
    const TLiveTable first = Readings(1, 7);
    for (TLiveRow row : first.Rows()) {
        row.Values[lrBack] = NAN;
        two.Add(row);
    }
    TLiveSettings s = Settings();
    const TLiveUpdate early = PredictLive(two, s);
    EXPECT_FALSE(early.FromFit);
    EXPECT_FALSE(SurfaceReady(early).Low) << "no interval without a fit";
    EXPECT_NE(LiveTextLine(early).find("from the conditions"), std::string::npos) << LiveTextLine(early);

    // A probe on the back only: one film for both faces.
    TLiveTable back;
    const TLiveTable hour = Readings(60, 7);
    for (TLiveRow row : hour.Rows()) {
        row.Values[lrSurface] = NAN;
        back.Add(row);
    }
    const TLiveUpdate u = PredictLive(back, s);
    ASSERT_TRUE(u.Fit);
    EXPECT_EQ(u.Fit->Parameters.front(), TFitParameter::Films);
    EXPECT_FALSE(u.Surface.has_value());
}

TEST(LivePrediction, WithoutAirAheadTheLastHoursMeanIsHeldAndSaid)
{
    TLiveSettings s = Settings();
    s.Ahead = nullptr;
    const TLiveUpdate u = PredictLive(Readings(90, 3), s);
    ASSERT_FALSE(u.Notes.empty());
    EXPECT_NE(u.Notes.front().find("the last hour's mean"), std::string::npos) << u.Notes.front();
    EXPECT_EQ(u.RunEnd, u.DataTime + DefaultHorizon);
    // No air measured and none ahead: refused, naming what would give it.
    TLiveTable noAir;
    const TLiveTable half = Readings(30, 3);
    for (TLiveRow row : half.Rows()) {
        row.Values[lrAir] = NAN;
        noAir.Add(row);
    }
    try {
        PredictLive(noAir, s);
        ADD_FAILURE() << "a night without air was predicted";
    } catch (const EBrennicError& e) {
        EXPECT_NE(std::string(e.what()).find("--forecast"), std::string::npos) << e.what();
    }
}

TEST(LivePrediction, PropagatedErrorOfKnownCases)
{
    struct Case {
        const char* name;
        std::vector<double> g, errors;
        std::vector<std::vector<double>> correlation;
        double expected;
    };
    const Case cases[] = {
        {"one parameter", {2}, {3}, {{1}}, 6},
        {"independent", {1, 1}, {3, 4}, {{1, 0}, {0, 1}}, 5},
        {"fully correlated add", {1, 1}, {3, 4}, {{1, 1}, {1, 1}}, 7},
        {"anticorrelated cancel", {1, 1}, {3, 3}, {{1, -1}, {-1, 1}}, 0},
    };
    for (const Case& c : cases) EXPECT_NEAR(PropagatedError(c.g, c.errors, c.correlation), c.expected, 1e-12) << c.name;
    EXPECT_TRUE(std::isnan(PropagatedError({1}, {INFINITY}, {{1}})));
}

TEST(LivePrediction, AStationsWindOfTheLastTenMinutesSetsTheFrontAirSpeed)
{
    TLiveSettings s = Settings();
    s.Base.Texts.Text(fFilms) = u"conditions";
    s.WindFromSource = true;
    struct Case {
        const char* name;
        std::vector<std::pair<double, double>> wind;  // minutes into the night, m/s
        const char* note;
    };
    const Case cases[] = {
        {"two readings in the window", {{5, 9.0}, {22, 3.0}, {29, 3.4}}, "Front air speed 3.2 m/s: the wind's mean over the last 10 min"},
        {"only an old reading", {{5, 9.0}}, "No wind in the last 10 min: the front air speed stays as given"},
        {"none at all", {}, "No wind in the last 10 min"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TLiveTable data = Readings(30, 5);
        for (auto [minute, speed] : c.wind) data.AddWind(NightStart + minute * 60, speed);
        const TLiveUpdate u = PredictLive(data, s);
        bool said = false;
        for (const std::string& n : u.Notes) said = said || n.find(c.note) != std::string::npos;
        EXPECT_TRUE(said) << (u.Notes.empty() ? "" : u.Notes.front());
    }
}
