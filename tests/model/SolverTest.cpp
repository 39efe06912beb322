#include "model/FiniteDiff_1D.h"

#include <gtest/gtest.h>

#include <limits>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

using namespace brennic;

namespace {

// The reference run: a 2-inch Pyrex disc from 20 degC into 10 degC air.
TBrennicOneD ReferenceSolver()
{
    TBrennicOneD s;
    s.Thickness = 0.0508;
    s.ElementCount = 50;
    s.InitialMirrorTemp = 20;
    s.InitialAirTemp = 10;
    s.FinalAirTemp = 10;
    s.Duration = 7200;
    s.TimeStep = 10;
    s.FrontFilmCoefficient = 10;
    s.BackFilmCoefficient = 10;
    s.FrontRadiation = 0.04;
    s.BackRadiation = 0;
    s.Conductivity = GlassMaterials[0].Conductivity;
    s.Density = GlassMaterials[0].Density;
    s.SpecificHeat = GlassMaterials[0].SpecificHeat;
    return s;
}

struct Report {
    double time;
    std::vector<double> positions;
    std::vector<double> temps;
};

std::vector<Report> Record(TBrennicOneD& s)
{
    std::vector<Report> out;
    s.OnStep = [&](std::span<const double> p, std::span<const double> t, double time) {
        out.push_back({time, {p.begin(), p.end()}, {t.begin(), t.end()}});
    };
    s.Execute();
    return out;
}

// An independent implicit step written from the physics: heat capacity per
// element, conductances between elements and to the air, radiation taken from
// the previous state, solved by dense Gaussian elimination with pivoting.
std::vector<double> PhysicalStep(const TBrennicOneD& s, const std::vector<double>& T, double airNew)
{
    const int n = s.ElementCount;
    const double dx = s.Thickness / n;
    const double cap = s.Density * s.SpecificHeat * dx / s.TimeStep;  // W/(m^2 K)
    const double g = s.Conductivity / dx;
    auto faceG = [&](double h) { return h == 0 ? 0.0 : 1.0 / (1.0 / h + dx / (2 * s.Conductivity)); };
    auto rad = [](double tc, double eps) {
        const double tk = tc + 273;
        return eps * 4.67e-8 * (tk * tk * tk * tk - 200.0 * 200.0 * 200.0 * 200.0);
    };
    std::vector<std::vector<double>> a(n, std::vector<double>(n + 1, 0.0));
    for (int i = 0; i < n; ++i) {
        a[i][i] += cap;
        a[i][n] += cap * T[i + 1];
        if (i > 0) {
            a[i][i] += g;
            a[i][i - 1] -= g;
        }
        if (i < n - 1) {
            a[i][i] += g;
            a[i][i + 1] -= g;
        }
    }
    const double gf = faceG(s.FrontFilmCoefficient), gb = faceG(s.BackFilmCoefficient);
    a[0][0] += gf;
    a[0][n] += gf * airNew - rad(T[1], s.FrontRadiation);
    a[n - 1][n - 1] += gb;
    a[n - 1][n] += gb * airNew - rad(T[n], s.BackRadiation);
    for (int c = 0; c < n; ++c) {
        int p = c;
        for (int r = c + 1; r < n; ++r)
            if (std::fabs(a[r][c]) > std::fabs(a[p][c]))
                p = r;
        std::swap(a[c], a[p]);
        for (int r = c + 1; r < n; ++r) {
            const double f = a[r][c] / a[c][c];
            for (int k = c; k <= n; ++k) a[r][k] -= f * a[c][k];
        }
    }
    std::vector<double> x(n + 2, airNew);
    for (int r = n - 1; r >= 0; --r) {
        double v = a[r][n];
        for (int k = r + 1; k < n; ++k) v -= a[r][k] * x[k + 1];
        x[r + 1] = v / a[r][r];
    }
    return x;
}

double Air(const TBrennicOneD& s, double t)
{
    return s.InitialAirTemp + (s.FinalAirTemp - s.InitialAirTemp) * t / s.Duration;
}

}  // namespace

TEST(GlassMaterials, TableHoldsSixEntriesInOrder)
{
    struct Row {
        const char* name;
        double k, rho, c;
    };
    const Row expected[] = {{"Pyrex", 1.13, 2230, 726},   {"Plate glass", 0.75, 2520, 730},
                            {"BK7", 1.11, 2510, 850},     {"Fused silica", 1.38, 2200, 700},
                            {"Zerodur", 1.46, 2530, 800}, {"Suprax", 1.2, 2310, 730}};
    ASSERT_EQ(GlassMaterials.size(), 6u);
    for (std::size_t i = 0; i < 6; ++i) {
        EXPECT_EQ(GlassMaterials[i].Name, expected[i].name);
        EXPECT_EQ(GlassMaterials[i].Conductivity, expected[i].k);
        EXPECT_EQ(GlassMaterials[i].Density, expected[i].rho);
        EXPECT_EQ(GlassMaterials[i].SpecificHeat, expected[i].c);
    }
}

TEST(Solver, ReferenceRunMatchesPublishedTemperatures)
{
    TBrennicOneD s = ReferenceSolver();
    const auto reports = Record(s);
    ASSERT_EQ(reports.size(), 721u);
    struct Check {
        int step;
        int element;
        double value;
    };
    const Check checks[] = {
        {60, 1, 17.96},   {360, 1, 13.76}, {720, 1, 11.36},  {60, 50, 18.13},  {360, 50, 13.93},
        {720, 50, 11.53}, {60, 25, 18.98}, {360, 25, 14.32}, {720, 25, 11.65},
    };
    for (const auto& c : checks) {
        const double v = reports[c.step].temps[c.element];
        EXPECT_NEAR(v, c.value, 0.005) << "step " << c.step << " element " << c.element;
        EXPECT_EQ(std::round(v * 100) / 100, c.value);
    }
    EXPECT_EQ(reports.back().time, 7200);
    EXPECT_EQ(reports.back().temps[0], 10);
    EXPECT_FALSE(s.Running);
}

TEST(Solver, AgreesWithIndependentPhysicalFormulation)
{
    // Several discs, including the one-element disc and a warming ramp.
    struct Case {
        int n;
        double hf, hb, ef, eb, air0, air1, dt;
    };
    const Case cases[] = {
        {50, 10, 10, 0.04, 0, 10, 10, 10}, {7, 0, 25, 0.9, 0.3, -5, 15, 60}, {3, 100, 0, 0, 1, 30, -10, 1},
        {2, 5, 5, 0.04, 0.04, 0, 0, 600},  {1, 10, 4, 0.04, 0.2, 10, 2, 30},
    };
    for (const auto& c : cases) {
        TBrennicOneD s = ReferenceSolver();
        s.ElementCount = c.n;
        s.FrontFilmCoefficient = c.hf;
        s.BackFilmCoefficient = c.hb;
        s.FrontRadiation = c.ef;
        s.BackRadiation = c.eb;
        s.InitialAirTemp = c.air0;
        s.FinalAirTemp = c.air1;
        s.TimeStep = c.dt;
        s.Duration = 40 * c.dt;
        const auto reports = Record(s);
        ASSERT_EQ(reports.size(), 41u);
        for (std::size_t k = 1; k < reports.size(); ++k) {
            const auto ref = PhysicalStep(s, reports[k - 1].temps, Air(s, reports[k].time));
            for (int i = 0; i <= c.n + 1; ++i)
                ASSERT_NEAR(reports[k].temps[i], ref[i], 1e-9) << "n=" << c.n << " step " << k << " index " << i;
        }
    }
}

// The classic scheme step by step as it was first written: the matrix built
// and eliminated afresh every step. The solver keeps its factorisation while
// the matrix stays; that must not change a single bit.
TEST(Solver, KeepingTheFactorisationChangesNoBit)
{
    struct Case {
        const char* name;
        int n;
        double hf, hb, ef, eb, air0, air1, dt;
    };
    const Case cases[] = {{"reference", 50, 10, 10, 0.04, 0, 10, 10, 10},
                          {"front insulated, warming air", 7, 0, 25, 0.9, 0.3, -5, 15, 60},
                          {"one element", 1, 10, 4, 0.04, 0.2, 10, 2, 30},
                          {"thick and fine", 400, 3, 8, 0.04, 0.9, 12, 4, 2}};
    for (const Case& c : cases) {
        TBrennicOneD s = ReferenceSolver();
        s.ElementCount = c.n;
        s.FrontFilmCoefficient = c.hf;
        s.BackFilmCoefficient = c.hb;
        s.FrontRadiation = c.ef;
        s.BackRadiation = c.eb;
        s.InitialAirTemp = c.air0;
        s.FinalAirTemp = c.air1;
        s.TimeStep = c.dt;
        s.Duration = 60 * c.dt;
        const auto reports = Record(s);
        const std::size_t n = std::size_t(c.n);
        const double L = s.Thickness, k = s.Conductivity, nn = double(c.n);
        const double fb = c.hf / (k / (L / nn)), bb = c.hb / (k / (L / nn));
        const double dx = L / nn, fo = (k * c.dt) / (((dx * dx) * s.Density) * s.SpecificHeat);
        const double capacity = ((s.Density * s.SpecificHeat) * L) / nn;
        std::vector<double> t(n + 2, s.InitialMirrorTemp), lo(n + 2), di(n + 2), up(n + 2), r(n + 2), su(n + 2),
            sr(n + 2);
        double time = 0;
        for (std::size_t step = 1; step < reports.size(); ++step) {
            time = time + c.dt;
            const double air = time > s.Duration ? s.FinalAirTemp
                                                 : s.InitialAirTemp + ((s.FinalAirTemp - s.InitialAirTemp) * time) / s.Duration;
            const double qf = RadiationFlux(t[1], c.ef), qb = RadiationFlux(t[n], c.eb);
            t[0] = t[n + 1] = air;
            for (std::size_t i = 1; i <= n; ++i) {
                di[i] = 2 * fo + 1;
                lo[i] = up[i] = fo;
                r[i] = t[i];
            }
            lo[1] = fb == 0 ? 0 : fo / (1 / fb + 0.5);
            di[1] = (1 + fo) + lo[1];
            r[1] = r[1] - (qf * c.dt) / capacity;
            up[n] = bb == 0 ? 0 : fo / (1 / bb + 0.5);
            di[n] = n == 1 ? (1 + lo[1]) + up[1] : (1 + fo) + up[n];
            r[n] = r[n] - (qb * c.dt) / capacity;
            su[0] = 0;
            sr[0] = t[0];
            for (std::size_t i = 1; i <= n; ++i) {
                const double m = di[i] - lo[i] * su[i - 1];
                su[i] = up[i] / m;
                sr[i] = (lo[i] * sr[i - 1] + r[i]) / m;
            }
            for (std::size_t i = n; i >= 1; --i) t[i] = su[i] * t[i + 1] + sr[i];
            ASSERT_EQ(reports[step].temps, t) << c.name << ", step " << step;
        }
    }
}

TEST(Solver, CountsStepsByRepeatedAddition)
{
    struct Case {
        double duration, step;
        std::size_t events;
        double lastTime;
    };
    const Case cases[] = {
        {0, 10, 1, 0}, {-5, 10, 1, 0}, {7200, 10, 721, 7200}, {25, 10, 4, 30}, {1, 0.1, 12, 1.0999999999999999},
    };
    for (const auto& c : cases) {
        TBrennicOneD s = ReferenceSolver();
        s.Duration = c.duration;
        s.TimeStep = c.step;
        s.InitialAirTemp = 10;
        s.FinalAirTemp = 0;
        const auto r = Record(s);
        ASSERT_EQ(r.size(), c.events) << c.duration << "/" << c.step;
        EXPECT_DOUBLE_EQ(r.back().time, c.lastTime);
        EXPECT_EQ(r.front().time, 0);
        EXPECT_EQ(r.front().temps[0], 10);
        EXPECT_EQ(r.front().temps[51], 10);
        for (int i = 1; i <= 50; ++i) EXPECT_EQ(r.front().temps[i], 20);
    }
    // 25 s in 10 s steps: the third step lands at 30 s, past the period,
    // where the air holds its final temperature; within it the ramp is exact.
    TBrennicOneD s = ReferenceSolver();
    s.Duration = 25;
    s.InitialAirTemp = 10;
    s.FinalAirTemp = 0;
    const auto r = Record(s);
    EXPECT_EQ(r[3].time, 30);
    EXPECT_EQ(r[3].temps[0], 0);
    EXPECT_EQ(r[3].temps[0], r[3].temps[51]);
    EXPECT_EQ(r[2].temps[0], 10 + ((0 - 10) * 20.0) / 25);
    // Ten additions of 0.1 stay just below 1, so an eleventh step follows.
    TBrennicOneD tenth = ReferenceSolver();
    tenth.Duration = 1;
    tenth.TimeStep = 0.1;
    const auto rt = Record(tenth);
    EXPECT_LT(rt[10].time, 1.0);
    EXPECT_GT(rt[11].time, 1.0);
}

TEST(Solver, PositionsAreElementCentres)
{
    TBrennicOneD s = ReferenceSolver();
    s.Duration = 10;
    const auto r = Record(s);
    const auto& p = r[0].positions;
    ASSERT_EQ(p.size(), 52u);
    EXPECT_EQ(p[0], 0);
    EXPECT_DOUBLE_EQ(p[1], 0.000508);
    EXPECT_DOUBLE_EQ(p[2], 0.001524);
    EXPECT_DOUBLE_EQ(p[50], 0.050292);
    EXPECT_EQ(p[51], 0.0508);
    EXPECT_EQ(r[1].positions, p);
}

TEST(Solver, CancelSemantics)
{
    // Cancel during the event of step k: step k is the last one reported.
    for (int k : {0, 1, 5, 720}) {
        TBrennicOneD s = ReferenceSolver();
        int events = 0;
        s.OnStep = [&](auto, auto, double) {
            if (events++ == k)
                s.Cancel();
            EXPECT_TRUE(s.Running);
        };
        s.Execute();
        // Cancelling in the initial event still lets the first step run.
        EXPECT_EQ(events, k == 0 ? 2 : k + 1) << k;
        EXPECT_FALSE(s.Running);
        EXPECT_TRUE(s.CancelRequested);
    }
    // A request made while idle is cleared by the next run.
    TBrennicOneD s = ReferenceSolver();
    s.Cancel();
    int events = 0;
    s.OnStep = [&](auto, auto, double) { ++events; };
    s.Execute();
    EXPECT_EQ(events, 721);
    EXPECT_FALSE(s.CancelRequested);
    // No handler: the run completes and reports nothing.
    TBrennicOneD quiet = ReferenceSolver();
    quiet.Execute();
    EXPECT_FALSE(quiet.Running);
}

TEST(Solver, HandlerErrorEndsRunAndClearsRunning)
{
    TBrennicOneD s = ReferenceSolver();
    int events = 0;
    s.OnStep = [&](auto, auto, double) {
        if (++events == 3)
            throw std::runtime_error("display failed");
    };
    EXPECT_THROW(s.Execute(), std::runtime_error);
    EXPECT_EQ(events, 3);
    EXPECT_FALSE(s.Running);
}

TEST(Solver, RadiationFluxFigures)
{
    EXPECT_NEAR(RadiationFlux(0, 1), 184.68, 0.005);
    EXPECT_NEAR(RadiationFlux(0, 0.04), 7.387, 0.0005);
    EXPECT_EQ(RadiationFlux(-73, 1), 0);
    EXPECT_LT(RadiationFlux(-80, 1), 0);
    EXPECT_EQ(RadiationFlux(25, 0), 0);
}

TEST(Solver, InsulatedFacesKeepTheProfile)
{
    for (int n : {1, 2, 50}) {
        TBrennicOneD s = ReferenceSolver();
        s.ElementCount = n;
        s.FrontFilmCoefficient = s.BackFilmCoefficient = 0;
        s.FrontRadiation = s.BackRadiation = 0;
        s.InitialAirTemp = -20;
        s.FinalAirTemp = 40;
        const auto r = Record(s);
        for (int i = 1; i <= n; ++i) EXPECT_NEAR(r.back().temps[i], 20, 1e-9) << n;
    }
    // Air equal to the glass, no radiation: the profile stays uniform.
    TBrennicOneD s = ReferenceSolver();
    s.InitialAirTemp = s.FinalAirTemp = 20;
    s.FrontRadiation = 0;
    const auto r = Record(s);
    for (int i = 1; i <= 50; ++i) EXPECT_NEAR(r.back().temps[i], 20, 1e-9);
}

TEST(Solver, DiscreteEnergyBalanceHoldsEveryStep)
{
    // Heat gained by the glass in a step equals what the faces took from the
    // air (at the new temperatures) minus what they radiated (at the old ones).
    TBrennicOneD s = ReferenceSolver();
    s.ElementCount = 20;
    s.FrontRadiation = 0.5;
    s.BackRadiation = 0.2;
    s.FrontFilmCoefficient = 7;
    s.BackFilmCoefficient = 0;
    s.InitialAirTemp = 5;
    s.FinalAirTemp = -8;
    const auto r = Record(s);
    const double dx = s.Thickness / s.ElementCount;
    const double cap = s.Density * s.SpecificHeat * dx;
    const double gf = 1 / (1 / s.FrontFilmCoefficient + dx / (2 * s.Conductivity));
    for (std::size_t k = 1; k < r.size(); ++k) {
        double stored = 0;
        for (int i = 1; i <= 20; ++i) stored += cap * (r[k].temps[i] - r[k - 1].temps[i]);
        const double in =
            s.TimeStep * (gf * (r[k].temps[0] - r[k].temps[1]) - RadiationFlux(r[k - 1].temps[1], s.FrontRadiation) -
                          RadiationFlux(r[k - 1].temps[20], s.BackRadiation));
        ASSERT_NEAR(stored, in, 1e-7 * std::max(1.0, std::fabs(in))) << "step " << k;
    }
}

TEST(Solver, MaximumPrincipleWithoutRadiation)
{
    struct Case {
        int n;
        double mirror, air0, air1, dt, hf, hb;
    };
    const Case cases[] = {
        {50, 20, 10, 10, 10, 10, 10},  {10, 5, 15, 15, 1e5, 30, 0}, {3, -10, 20, -30, 3600, 100, 100},
        {40, 0, 0, 12, 0.01, 1000, 2}, {1, 12, 2, 30, 900, 10, 10},
    };
    for (const auto& c : cases) {
        TBrennicOneD s = ReferenceSolver();
        s.ElementCount = c.n;
        s.InitialMirrorTemp = c.mirror;
        s.InitialAirTemp = c.air0;
        s.FinalAirTemp = c.air1;
        s.TimeStep = c.dt;
        s.Duration = 200 * c.dt;
        s.FrontFilmCoefficient = c.hf;
        s.BackFilmCoefficient = c.hb;
        s.FrontRadiation = 0;
        const double lo = std::min({c.mirror, c.air0, c.air1}) - 1e-9;
        const double hi = std::max({c.mirror, c.air0, c.air1}) + 1e-9;
        int events = 0;
        s.OnStep = [&](auto, std::span<const double> t, double) {
            ++events;
            for (double v : t) ASSERT_TRUE(v >= lo && v <= hi) << v;
        };
        s.Execute();
        EXPECT_EQ(events, 201);
    }
}

TEST(Solver, LongRunSettlesAtAirOrBelowWithRadiation)
{
    TBrennicOneD s = ReferenceSolver();
    s.Duration = 48 * 3600;
    s.TimeStep = 60;
    s.FrontRadiation = 0;
    auto r = Record(s);
    for (int i = 1; i <= 50; ++i) EXPECT_NEAR(r.back().temps[i], 10, 1e-6);
    s.FrontRadiation = 0.9;
    r = Record(s);
    const double front = r.back().temps[1], back = r.back().temps[50];
    EXPECT_LT(front, 10 - 0.1);
    EXPECT_GT(back, front);
    EXPECT_LT(back, 10);
}

namespace {
// Exact series solution for a plane wall of half thickness l, initially at ti,
// in air at ta with the same film coefficient on both faces; x from the front.
double PlaneWall(double x, double t, double l, double k, double alpha, double h, double ti, double ta)
{
    const double bi = h * l / k;
    const double fo = alpha * t / (l * l);
    const double xs = (x - l) / l;
    double sum = 0;
    for (int n = 0; n < 200; ++n) {
        // Root of z tan z = Bi in (n pi, n pi + pi/2).
        double a = n * std::numbers::pi + 1e-12, b = n * std::numbers::pi + std::numbers::pi / 2 - 1e-12;
        for (int it = 0; it < 200; ++it) {
            const double m = 0.5 * (a + b);
            (m * std::tan(m) - bi < 0 ? a : b) = m;
        }
        const double z = 0.5 * (a + b);
        const double cn = 4 * std::sin(z) / (2 * z + std::sin(2 * z));
        sum += cn * std::exp(-z * z * fo) * std::cos(z * xs);
    }
    return ta + (ti - ta) * sum;
}
}  // namespace

TEST(Solver, ConvergesToPlaneWallSeriesSolution)
{
    const double h = 20, l = 0.0254, k = 1.13, rho = 2230, c = 726;
    const double alpha = k / (rho * c);
    const double duration = 1800;
    double previous = 1e9;
    for (int refine : {1, 2, 4, 8}) {
        TBrennicOneD s = ReferenceSolver();
        s.FrontRadiation = 0;
        s.FrontFilmCoefficient = s.BackFilmCoefficient = h;
        s.ElementCount = 10 * refine;
        s.TimeStep = 40.0 / refine;
        s.Duration = duration;
        const auto r = Record(s);
        double worst = 0;
        for (int i = 1; i <= s.ElementCount; ++i) {
            const double exact = PlaneWall(r.back().positions[i], r.back().time, l, k, alpha, h, 20, 10);
            worst = std::max(worst, std::fabs(r.back().temps[i] - exact));
        }
        EXPECT_LT(worst, previous * 0.6) << "refinement " << refine;
        previous = worst;
    }
    EXPECT_LT(previous, 0.01);
}

TEST(Solver, OneElementDisc)
{
    // Insulated: keeps its temperature.
    TBrennicOneD s = ReferenceSolver();
    s.ElementCount = 1;
    s.FrontFilmCoefficient = s.BackFilmCoefficient = 0;
    s.FrontRadiation = 0;
    auto r = Record(s);
    EXPECT_EQ(r.back().temps[1], 20);
    ASSERT_EQ(r.back().temps.size(), 3u);
    // Convection on both faces, no radiation: one backward Euler step of the
    // lumped element, T' = (T + (cf + cb) Tair) / (1 + cf + cb).
    s = ReferenceSolver();
    s.ElementCount = 1;
    s.FrontRadiation = 0;
    s.FrontFilmCoefficient = 10;
    s.BackFilmCoefficient = 5;
    s.Duration = 10;
    r = Record(s);
    const double fo = s.Conductivity * s.TimeStep / (s.Thickness * s.Thickness * s.Density * s.SpecificHeat);
    const double bf = 10 * s.Thickness / s.Conductivity, bb = 5 * s.Thickness / s.Conductivity;
    const double cf = fo / (1 / bf + 0.5), cb = fo / (1 / bb + 0.5);
    EXPECT_NEAR(r[1].temps[1], (20 + (cf + cb) * 10) / (1 + cf + cb), 1e-12);
    // Radiation from both faces cools it below the air in the long run.
    s = ReferenceSolver();
    s.ElementCount = 1;
    s.BackRadiation = 0.5;
    s.Duration = 24 * 3600;
    s.TimeStep = 60;
    r = Record(s);
    EXPECT_LT(r.back().temps[1], 10);
    EXPECT_GT(r.back().temps[1], 0);
}

TEST(Solver, FrontFaceWithoutConvectionOnlyRadiatesAndConducts)
{
    TBrennicOneD s = ReferenceSolver();
    s.FrontFilmCoefficient = 0;
    s.FrontRadiation = 0;
    s.Duration = 600;
    s.InitialAirTemp = s.FinalAirTemp = -30;
    const auto r = Record(s);
    // Heat leaves only through the back: the front element stays warmest.
    const auto& t = r.back().temps;
    EXPECT_GT(t[1], t[25]);
    EXPECT_GT(t[25], t[50]);
    EXPECT_GT(t[1] - t[50], 5);
    EXPECT_EQ(*std::max_element(t.begin(), t.end()), t[1]);
}

TEST(Solver, RefusesBadInputsBeforeAnything)
{
    constexpr double inf = std::numeric_limits<double>::infinity();
    constexpr double nan = std::numeric_limits<double>::quiet_NaN();
    struct Case {
        const char* property;
        void (*spoil)(TBrennicOneD&);
    };
    const Case cases[] = {
        {"ElementCount", [](TBrennicOneD& s) { s.ElementCount = 0; }},
        {"ElementCount", [](TBrennicOneD& s) { s.ElementCount = -3; }},
        {"Thickness", [](TBrennicOneD& s) { s.Thickness = 0; }},
        {"Thickness", [](TBrennicOneD& s) { s.Thickness = -1; }},
        {"Conductivity", [](TBrennicOneD& s) { s.Conductivity = 0; }},
        {"Density", [](TBrennicOneD& s) { s.Density = -2230; }},
        {"SpecificHeat", [](TBrennicOneD& s) { s.SpecificHeat = 0; }},
        {"TimeStep", [](TBrennicOneD& s) { s.TimeStep = 0; }},
        {"TimeStep", [](TBrennicOneD& s) { s.TimeStep = -10; }},
        {"TimeStep", [](TBrennicOneD& s) { s.TimeStep = 1e-13; }},
        {"InitialMirrorTemp", [](TBrennicOneD& s) { s.InitialMirrorTemp = inf; }},
        {"FinalAirTemp", [](TBrennicOneD& s) { s.FinalAirTemp = nan; }},
        {"Duration", [](TBrennicOneD& s) { s.Duration = inf; }},
        {"FrontRadiation", [](TBrennicOneD& s) { s.FrontRadiation = -inf; }},
        {"BackFilmCoefficient", [](TBrennicOneD& s) { s.BackFilmCoefficient = nan; }},
    };
    for (const auto& c : cases) {
        TBrennicOneD s = ReferenceSolver();
        c.spoil(s);
        s.CancelRequested = true;
        int events = 0;
        s.OnStep = [&](auto, auto, double) { ++events; };
        try {
            s.Execute();
            ADD_FAILURE() << "accepted a bad " << c.property;
        } catch (const EBrennicError& e) {
            EXPECT_NE(std::string(e.what()).find(c.property), std::string::npos) << e.what();
        }
        EXPECT_EQ(events, 0);
        EXPECT_FALSE(s.Running);
        EXPECT_TRUE(s.CancelRequested) << "state changed before the refusal";
    }
    // A zero time step is harmless when there is nothing to integrate.
    TBrennicOneD s = ReferenceSolver();
    s.Duration = 0;
    s.TimeStep = 0;
    EXPECT_NO_THROW(s.Execute());
}
