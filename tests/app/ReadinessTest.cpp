#include "app/core/results/Readiness.h"
#include "app/core/run/RunComparison.h"

#include "model/FiniteDiff_1D.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

using namespace brennic;

namespace {

// time (s), air, surface, back, core, glass (warmest element minus air)
using Sequence = std::vector<TStepValues>;

}  // namespace

TEST(Readiness, ReadyFromIsTheStartOfTheLastStayAtMostToleranceAboveTheAir)
{
    using R = TReadiness;
    struct Expect {
        R::Part part;
        std::size_t tolerance;
        std::optional<double> from;
    };
    struct Case {
        const char* name;
        Sequence reports;
        std::vector<Expect> expect;
    };
    const Case cases[] = {
        {"cools steadily",
         {{0, 10, 12, 12, 12, 2},
          {60, 10, 10.8, 11.4, 11.4, 1.4},
          {120, 10, 10.4, 10.9, 10.9, 0.9},
          {180, 10, 10.05, 10.3, 10.3, 0.3}},
         {{R::Surface, 0, 60},
          {R::Surface, 1, 120},
          {R::Surface, 2, 180},
          {R::Back, 0, 120},
          {R::Back, 1, 180},
          {R::Back, 2, std::nullopt},
          {R::Glass, 0, 120},
          {R::Glass, 2, std::nullopt}}},
        {"re-crosses a tolerance",
         {{0, 10, 12, 12, 12, 2},
          {60, 10, 10.8, 11.4, 11.4, 1.4},
          {120, 10, 10.4, 10.9, 10.9, 0.9},
          {180, 10, 11.2, 10.6, 11.2, 1.2},
          {240, 10, 10.05, 10.3, 10.3, 0.3}},
         {{R::Surface, 0, 240}, {R::Surface, 1, 240}, {R::Back, 0, 120}, {R::Glass, 0, 240}}},
        {"exactly at the tolerance counts as within",
         {{0, 10, 11, 10.5, 11, 1}, {60, 10, 10.1, 10.5, 10.5, 0.5}},
         {{R::Surface, 0, 0}, {R::Surface, 2, 60}, {R::Back, 1, 0}, {R::Glass, 1, 60}}},
        {"never reached",
         {{0, 10, 20, 20, 20, 10}, {60, 10, 15, 16, 16, 6}},
         {{R::Surface, 0, std::nullopt}, {R::Back, 0, std::nullopt}, {R::Glass, 0, std::nullopt}}},
        {"leaves at the last report",
         {{0, 10, 10.2, 10.2, 10.2, 0.2}, {60, 10, 10.7, 10.2, 10.7, 0.7}},
         {{R::Surface, 0, 0}, {R::Surface, 1, std::nullopt}, {R::Back, 2, std::nullopt}, {R::Back, 1, 0}}},
        // A clear sky pulls the glass below the air: harmless, so ready,
        // however far below.
        {"glass below the air with radiation",
         {{0, 10, 20, 20, 20, 10}, {600, 10, 9.2, 9.7, 10, -0.3}, {1200, 10, 8.2, 9.5, 10, -0.5}},
         {{R::Surface, 2, 600}, {R::Back, 2, 600}, {R::Glass, 2, 600}}},
        {"a mirror colder than the air is ready at once",
         {{0, 10, 5, 5, 10, -5}, {60, 10, 6, 6, 10, -4}},
         {{R::Surface, 2, 0}, {R::Back, 2, 0}, {R::Glass, 2, 0}}},
        // The glass is its warmest element: a cold surface does not make a
        // warm core ready.
        {"a warm core behind a cold face",
         {{0, 10, 9, 10.2, 10.7, 0.7}, {60, 10, 9.5, 10.1, 10.3, 0.3}},
         {{R::Surface, 2, 0}, {R::Glass, 1, 60}, {R::Glass, 2, std::nullopt}}},
    };
    for (const auto& c : cases) {
        TReadiness r;
        for (const auto& v : c.reports) r.Add(v);
        for (const auto& e : c.expect)
            EXPECT_EQ(r.ReadyFrom(e.part, e.tolerance), e.from)
                << c.name << ": part " << e.part << ", tolerance " << r.Tolerances()[e.tolerance];
    }
}

// How far below the air the surface goes once it is ready: the coldest
// since it last came within the loosest tolerance, never positive.
TEST(Readiness, SurfaceBelowAirCountsOnlyOnceReady)
{
    struct Case {
        const char* name;
        Sequence reports;
        double below;
    };
    const Case cases[] = {
        {"cools through the air and stays below", {{0, 10, 14, 14, 14, 4}, {60, 10, 8.7, 9, 9, -1}, {120, 10, 9.1, 9, 9, -0.9}}, -1.3},
        {"never below", {{0, 10, 14, 14, 14, 4}, {60, 10, 10.2, 10.3, 10.3, 0.3}}, 0},
        {"a warm spell starts again", {{0, 10, 8, 9, 10, -1}, {60, 10, 12, 12, 12, 2}, {120, 10, 9.5, 9.8, 10, -0.2}}, -0.5},
        {"not ready at the end", {{0, 10, 8, 9, 10, -1}, {60, 10, 12, 12, 12, 2}}, 0},
    };
    for (const Case& c : cases) {
        TReadiness r;
        for (const auto& v : c.reports) r.Add(v);
        EXPECT_DOUBLE_EQ(r.SurfaceBelowAir(), c.below) << c.name;
    }
}

TEST(Readiness, LargestFrontBackDifferenceIsSignedAndTheFirstOnTies)
{
    TReadiness r;
    r.Add({0, 10, 12, 12, 12, 2});
    r.Add({60, 10, 10.8, 11.4, 11.4, 1.4});   // -0.6
    r.Add({120, 10, 11.4, 10.8, 11.4, 1.4});  // +0.6, a tie: the first stays
    EXPECT_DOUBLE_EQ(r.LargestDifference(), 10.8 - 11.4);
    EXPECT_EQ(r.LargestDifferenceTime(), 60);
    r.Add({180, 10, 11.5, 10.7, 11.5, 1.5});
    EXPECT_DOUBLE_EQ(r.LargestDifference(), 11.5 - 10.7);
    EXPECT_EQ(r.LargestDifferenceTime(), 180);
}

TEST(Readiness, TextAndJsonSayTheSame)
{
    TReadiness r({2, 0.25});
    r.Add({0, 10, 12, 12.5, 12.5, 2.5});
    r.Add({90, 10, 10.1, 10.6, 10.6, 1});
    const std::string text = ReadinessText(r, u',');
    EXPECT_NE(text.find("within 0,25 C"), std::string::npos) << text;
    EXPECT_NE(text.find("Surface            0,0            1,5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("not reached"), std::string::npos);
    EXPECT_EQ(ReadinessJson(r),
              "{\"tolerances\":[2.0,0.25],\"ready_minutes\":{\"surface\":[0.0,1.5],\"back\":[1.5,null],"
              "\"glass\":[1.5,null]},\"largest_front_back_difference\":{\"kelvin\":-0.5,\"minutes\":0.0},"
              "\"final\":{\"minutes\":1.5,\"air\":10.0,\"surface\":10.1,\"back\":10.6,\"core\":10.6}}");
    EXPECT_EQ(MinutesText(5088, u','), "84,8 min");
    EXPECT_EQ(MinutesText(-0.001, u'.'), "0.0 min");
}

TEST(Readiness, ToleranceListsAreCheckedItemByItem)
{
    EXPECT_EQ(ParseTolerances("1,0.5,0.1"), (std::vector<double>{1, 0.5, 0.1}));
    EXPECT_EQ(ParseTolerances("2"), (std::vector<double>{2}));
    for (const char* bad : {"", "1,,2", "0", "-1", "abc", "1,2,", "1;2", "1e999"}) {
        try {
            ParseTolerances(bad);
            ADD_FAILURE() << bad;
        } catch (const EBrennicError& e) {
            EXPECT_NE(std::string(e.what()).find("\"--tolerance\""), std::string::npos) << e.what();
        }
    }
}

TEST(RunComparison, LabelsNameWhatDiffersByValue)
{
    struct Case {
        const char* name;
        void (*change)(TInputTexts&);
        const char* label;
    };
    const Case cases[] = {
        {"nothing", [](TInputTexts&) {}, "same inputs"},
        {"same value, other text",
         [](TInputTexts& t) {
             t.Text(fFrontFilm) = u"10.0";
             t.Text(fElementCount) = u"$32";
         },
         "same inputs"},
        {"whole numbers by value", [](TInputTexts& t) { t.Text(fElementCount) = u"$33"; }, "elements $33"},
        {"a fan", [](TInputTexts& t) { t.Text(fFrontFilm) = u"25"; }, "front film 25"},
        {"two fields, spaces trimmed",
         [](TInputTexts& t) {
             t.Text(fThickness) = u" 25 ";
             t.Text(fBackFilm) = u"5";
         },
         "thickness 25, back film 5"},
        {"material", [](TInputTexts& t) { t.Material = 2; }, "material BK7"},
        {"unreadable text compared as text", [](TInputTexts& t) { t.Text(fTimeStep) = u"ten"; }, "time step ten"},
    };
    const TInputTexts current;
    for (const auto& c : cases) {
        TInputTexts kept;
        c.change(kept);
        EXPECT_EQ(DifferenceLabel(kept, current, u'.'), c.label) << c.name;
    }
    TInputTexts comma;
    comma.Text(fFrontRadiation) = u"0,04";
    TInputTexts other = comma;
    other.Text(fThickness) = u"50,8";
    EXPECT_EQ(DifferenceLabel(other, comma, u','), "thickness 50,8");
}
