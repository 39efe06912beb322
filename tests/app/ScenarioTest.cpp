#include "app/core/files/Scenario.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace brennic;
namespace fs = std::filesystem;

TEST(Scenario, RoundTripKeepsEveryInputAndRelativePaths)
{
    brennic::test::TTempFolder folder;
    fs::create_directories(folder.path / "logs");
    folder.Write("logs/night.csv", "time,temp\n0,8\n60,6\n");
    TScenario s;
    s.Inputs.Text(fThickness) = u"25.4";
    s.Inputs.Text(fElementCount) = u"30";
    s.Inputs.Text(fFrontFilm) = u"17.5";
    s.Inputs.Material = 2;
    s.Air = TAirFileChoice{(folder.path / "logs/night.csv").string(), "temp", "", "", "", "Date+Time", "mdy"};
    const std::string path = (folder.path / "mine.brennic").string();
    WriteScenario(s, path);
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_NE(text.str().find("air-file = logs/night.csv\n"), std::string::npos) << text.str();
    EXPECT_NE(text.str().find("material = BK7\n"), std::string::npos);
    EXPECT_NE(text.str().find("thickness = 25.4  # mm\n"), std::string::npos);
    const TScenario back = ReadScenario(path);
    for (int f = 0; f < FieldCount; ++f) EXPECT_EQ(back.Inputs.Text(f), s.Inputs.Text(f)) << f;
    EXPECT_EQ(back.Inputs.Material, 2);
    ASSERT_TRUE(back.Air);
    EXPECT_EQ(back.Air->Path, s.Air->Path);
    EXPECT_EQ(back.Air->AirColumn, "temp");
    EXPECT_EQ(back.Air->TimeColumn, "Date+Time");
    EXPECT_EQ(back.Air->DateOrder, "mdy");
    // The comma form of the window and back.
    const TInputTexts comma = WithDecimalSeparator(back.Inputs, u'.', u',');
    EXPECT_EQ(comma.Text(fThickness), u"25,4");
    EXPECT_EQ(WithDecimalSeparator(comma, u',', u'.').Text(fThickness), u"25.4");
    // Lists change both their decimals and what stands between the items.
    EXPECT_EQ(comma.Text(fSeeing), u"0,5;0,25;0,1");
    EXPECT_EQ(WithDecimalSeparator(comma, u',', u'.').Text(fSeeing), u"0.5,0.25,0.1");
}

TEST(Scenario, ListsReadInEitherDecimalForm)
{
    struct Case {
        const char* name;
        std::u16string text;
        char16_t dec;
        std::vector<double> values;
    };
    const Case cases[] = {
        {"full stops", u"0.5,0.25", u'.', {0.5, 0.25}},
        {"commas and semicolons", u"0,5;0,25", u',', {0.5, 0.25}},
        {"one comma decimal", u"1,5", u',', {1.5}},
        {"full stops pasted where commas are the decimals", u"0.5,0.25", u',', {0.5, 0.25}},
        {"comma decimals between commas is ambiguous", u"0,4,0,2", u',', {}},
        {"semicolons where full stops are the decimals", u"0.5;0.25", u'.', {}},
        {"an empty item", u"0,5;;0,25", u',', {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ListValues(c.text, c.dec), c.values) << c.name;
        if (!c.values.empty())
            EXPECT_EQ(ListItems(c.text, c.dec).size(), c.values.size()) << c.name;
    }
}

TEST(Scenario, RefusalsNameTheFileTheLineAndTheKey)
{
    brennic::test::TTempFolder folder;
    struct Case {
        const char* name;
        const char* text;
        std::string message;
    };
    const Case cases[] = {
        {"unknown key", "thickness = 25\nfan = yes\n", ", line 2: \"fan\" is not a setting of a scenario"},
        {"repeated key", "# mine\nthickness = 25\n\nthickness = 30\n", ", line 4: \"thickness\" is given twice"},
        {"bad number", "front-film = ten\n", ", line 1: \"front-film\" has 'ten', which is not a number"},
        {"comma decimal", "thickness = 25,4\n", ", line 1: \"thickness\" has '25,4', which is not a number"},
        {"bad whole number", "elements = 2.5\n", ", line 1: \"elements\" has '2.5', which is not a number"},
        {"unknown material", "material = granite\n",
         ", line 1: \"material\" has 'granite', which is not one of the materials"},
        {"missing file", "air-file = nowhere.csv\n",
         ", line 1: \"air-file\" names 'nowhere.csv', which does not exist"},
        {"not key = value", "thickness 25\n", ", line 1: expected 'key = value', found 'thickness 25'"},
        {"column without file", "air-column = temp\n", ": air columns or a start are given without \"air-file\""},
    };
    for (const auto& c : cases) {
        const std::string path = folder.Write("s.brennic", c.text);
        try {
            ReadScenario(path);
            ADD_FAILURE() << c.name;
        } catch (const EBrennicError& e) {
            EXPECT_EQ(std::string(e.what()), path + c.message) << c.name;
        }
    }
}
