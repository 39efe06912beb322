#include "support/NumberText.h"
#include "support/LibStandard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace brennic;

TEST(NumberText, AcceptedDecimalForms)
{
    struct Case {
        const char16_t* text;
        char16_t sep;
        double value;
    };
    const Case cases[] = {
        {u"50.8", u'.', 50.8},
        {u"  50.8  ", u'.', 50.8},
        {u"-3.25", u'.', -3.25},
        {u"+7", u'.', 7},
        {u"0,04", u',', 0.04},
        {u".5", u'.', 0.5},
        {u"5.", u'.', 5},
        {u".", u'.', 0},
        {u"-.", u'.', 0},
        {u"1e3", u'.', 1000},
        {u"1E-2", u'.', 0.01},
        {u"2e", u'.', 2},
        {u"2E+", u'.', 2},
        {u"1,5e2", u',', 150},
        {u"1e-400", u'.', 0},
        {u"1.7976931348623157e308", u'.', 1.7976931348623157e308},
        {u"000123.4500", u'.', 123.45},
        {u"0.1000000000000000055511151231257827", u'.', 0.1},
    };
    for (const auto& c : cases) {
        double v = -1;
        ASSERT_TRUE(TryStrToFloat(c.text, c.sep, v)) << std::u16string(c.text).size();
        EXPECT_EQ(v, c.value);
    }
}

TEST(NumberText, RefusedDecimalFormsWithMessage)
{
    struct Case {
        const char16_t* text;
        char16_t sep;
    };
    const Case cases[] = {
        {u"", u'.'},       {u"   ", u'.'}, {u"abc", u'.'}, {u"0.04", u','}, {u"1,000.5", u'.'}, {u"1 000", u'.'},
        {u"\t5", u'.'},    {u"5\t", u'.'}, {u"e5", u'.'},  {u"--5", u'.'},  {u"5e5e5", u'.'},   {u"1e400", u'.'},
        {u"-1e999", u'.'}, {u"inf", u'.'}, {u"NaN", u'.'}, {u"0x10", u'.'}, {u"+", u'.'},       {u"5..", u'.'},
    };
    for (const auto& c : cases) {
        double v;
        EXPECT_FALSE(TryStrToFloat(c.text, c.sep, v));
    }
    try {
        StrToFloat(u"abc", u'.');
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "'abc' is not a valid floating point value");
    }
}

TEST(NumberText, WholeNumberForms)
{
    struct Case {
        const char16_t* text;
        bool ok;
        std::int32_t value;
    };
    const Case cases[] = {
        {u"50", true, 50},
        {u" 50", true, 50},
        {u"+50", true, 50},
        {u"-7", true, -7},
        {u"$32", true, 50},
        {u"x1F", true, 31},
        {u"X1f", true, 31},
        {u"0x10", true, 16},
        {u"0X10", true, 16},
        {u"-$10", true, -16},
        {u"2147483647", true, 2147483647},
        {u"-2147483648", true, -2147483647 - 1},
        {u"$7FFFFFFF", true, 2147483647},
        {u"2147483648", false, 0},
        {u"$80000000", false, 0},
        {u"50.0", false, 0},
        {u"50 ", false, 0},
        {u"", false, 0},
        {u"$", false, 0},
        {u"0x", false, 0},
        {u"5a", false, 0},
        {u"1e3", false, 0},
        {u"- 5", false, 0},
        {u"99999999999999999999", false, 0},
    };
    for (const auto& c : cases) {
        std::int32_t v = 0;
        EXPECT_EQ(TryStrToInt(c.text, v), c.ok) << std::u16string(c.text).size();
        if (c.ok) {
            EXPECT_EQ(v, c.value);
        }
    }
    try {
        StrToInt(u"50.0");
        ADD_FAILURE();
    } catch (const EConvertError& e) {
        EXPECT_STREQ(e.what(), "''50.0'' is not a valid integer value");
    }
}

TEST(NumberText, GeneralNumberForm)
{
    struct Case {
        double value;
        const char16_t* dot;
        const char16_t* comma;
    };
    const Case cases[] = {
        {0, u"0", u"0"},
        {-0.0, u"0", u"0"},
        {120, u"120", u"120"},
        {7200, u"7200", u"7200"},
        {17.5, u"17.5", u"17,5"},
        {-3.25, u"-3.25", u"-3,25"},
        {0.05, u"0.05", u"0,05"},
        {0.0001, u"0.0001", u"0,0001"},
        {0.00001234, u"1.234E-005", u"1,234E-005"},
        {0.00005, u"5E-005", u"5E-005"},
        {2.5e16, u"2.5E016", u"2,5E016"},
        {1.0 / 3, u"0.333333333333333", u"0,333333333333333"},
        {20.000000000000004, u"20", u"20"},
        {5.9999999999999947, u"5.99999999999999", u"5,99999999999999"},
        {0.30000000000000004, u"0.3", u"0,3"},
        {999999999999999, u"999999999999999", u"999999999999999"},
        {1e15, u"1E015", u"1E015"},
        {123456789012345678.0, u"1.23456789012346E017", u"1,23456789012346E017"},
        {1e-300, u"1E-300", u"1E-300"},
        // Rounding up would give a number beyond the range: the digits stay within it.
        {1.7976931348623157e308, u"1.79769313486231E308", u"1,79769313486231E308"},
        {1.797693134862315e308, u"1.79769313486231E308", u"1,79769313486231E308"},
        {-1.797693134862315e308, u"-1.79769313486231E308", u"-1,79769313486231E308"},
        {1.7976931348623e308, u"1.7976931348623E308", u"1,7976931348623E308"},
        {4.9e-324, u"4.94065645841247E-324", u"4,94065645841247E-324"},
        {0.00099999999999999995, u"0.001", u"0,001"},
        {std::numeric_limits<double>::quiet_NaN(), u"NAN", u"NAN"},
        {std::numeric_limits<double>::infinity(), u"INF", u"INF"},
        {-std::numeric_limits<double>::infinity(), u"-INF", u"-INF"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(FormatFloat(c.value, u'.'), c.dot) << c.value;
        EXPECT_EQ(FormatFloat(c.value, u','), c.comma) << c.value;
    }
    // Accumulated tenths show as their rounded values.
    double t = 0;
    for (int i = 1; i <= 60; ++i) {
        t += 0.1;
        if (i == 10) {
            EXPECT_EQ(FormatFloat(t, u'.'), u"1");
        }
        if (i == 3) {
            EXPECT_EQ(FormatFloat(t, u'.'), u"0.3");
        }
    }
    EXPECT_EQ(FormatFloat(t, u'.'), u"5.99999999999999");
}

TEST(NumberText, FormattedNumbersReadBack)
{
    const double values[] = {
        50.8, 0.04, -273.15, 1e-5, 6.02214076e23, 12345.678, 1.797693134862315e308, -1.7976931348623157e308, 4.9e-324};
    for (char16_t sep : {u'.', u','})
        for (double v : values) {
            const double back = StrToFloat(FormatFloat(v, sep), sep);
            EXPECT_NEAR(back, v, std::fabs(v) * 1e-14) << v;
        }
}

TEST(NumberText, MagnitudeDecidesBetweenOverflowAndUnderflow)
{
    // Many digits with a compensating exponent: the value, not the digit
    // count, decides whether it is too large (refused) or too small (zero).
    const std::u16string ones310 = u"1" + std::u16string(310, u'0');
    const std::u16string zeros400 = std::u16string(400, u'0');
    struct Case {
        const char* name;
        std::u16string text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"1e309 written with 310 digits", ones310 + u"e-1", false, 0},
        {"1e308 written with 310 digits", ones310 + u"e-2", true, 1e308},
        {"1e-400 after 400 leading zeros", zeros400 + u"1e-400", true, 0},
        {"400 leading zeros then 1", zeros400 + u"1", true, 1},
        {"fraction digits beyond the range", u"0." + std::u16string(400, u'0') + u"1e400", true, 0.1},
        {"a tiny fraction becomes zero", u"-0." + std::u16string(400, u'0') + u"1", true, -0.0},
        {"an exponent beyond any digit count", u"1e-99999999999999999999", true, 0},
        {"and upward", u"1e99999999999999999999", false, 0},
        {"the largest double", u"1.7976931348623157e308", true, 1.7976931348623157e308},
        {"just beyond it", u"1.7976931348623159e308", false, 0},
    };
    for (const auto& c : cases) {
        double v = -1;
        EXPECT_EQ(TryStrToFloat(c.text, u'.', v), c.ok) << c.name;
        if (c.ok) {
            EXPECT_EQ(v, c.value) << c.name;
            EXPECT_EQ(std::signbit(v), std::signbit(c.value)) << c.name;
        }
    }
}

TEST(TextFromOutside, ControlCharactersNeverReachTheTerminal)
{
    struct Case {
        const char* name;
        std::string in, safe, shown;
    };
    const Case cases[] = {
        {"plain text with a degree sign", "dew °C", "dew °C", "dew °C"},
        {"escape sequence that clears the screen", "dew\x1b[2J", "dew\\x1b[2J", "dew\\x1b[2J"},
        {"bell and delete", "a\x07" "b\x7f", "a\\x07b\\x7f", "a\\x07b\\x7f"},
        {"C1 control sequence introducer", "x\xc2\x9b" "31m", "x\\u009b31m", "x\\u009b31m"},
        {"no-break space is no control", "a\xc2\xa0" "b", "a\xc2\xa0" "b", "a\xc2\xa0" "b"},
        {"a lone byte that is no UTF-8", "a\x9b" "b", "a\\x9bb", "a\x9b" "b"},
        {"a line break kept in a message, not in a quoted value", "a\nb", "a\nb", "a\\x0ab"},
        {"a four-byte character", "\xf0\x9f\x8c\x99", "\xf0\x9f\x8c\x99", "\xf0\x9f\x8c\x99"},
        {"a sequence cut short", "\xe2\x82", "\\xe2\\x82", "\xe2\x82"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(TerminalSafe(c.in), c.safe);
        EXPECT_EQ(ShownText(c.in), c.shown);
    }
}
