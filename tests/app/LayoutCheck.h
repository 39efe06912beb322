// What the tests of files as downloaded share: Berlin's clock, and a case
// read and checked: the run's start on the local clock, the air column, the
// air and dew point at minutes after the start, the notes.
#pragma once

#include "app/core/tables/AirSource.h"
#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace brennic {

// Berlin's clock for every test here: UTC+01:00 in November.
class LocalClockBerlin : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* tz = std::getenv("TZ");
        saved_ = tz ? std::optional<std::string>(tz) : std::nullopt;
        ::setenv("TZ", "Europe/Berlin", 1);
        ::tzset();
    }
    void TearDown() override
    {
        if (saved_)
            ::setenv("TZ", saved_->c_str(), 1);
        else
            ::unsetenv("TZ");
        ::tzset();
    }

private:
    std::optional<std::string> saved_;
};

struct TSample {
    double minutes;  // after the first row
    double celsius;
};

struct TLayoutCase {
    const char* name;
    std::string text;
    TAirFileChoice choice;       // Path is filled in
    const char* firstRow;        // local date-time of the run's start
    const char* airColumn;
    std::vector<TSample> air;
    std::vector<TSample> dew;    // empty: no dew point
    std::vector<const char*> notes;
};

inline std::string AllNotes(const TAirSource& s)
{
    std::string all;
    for (const std::string& n : s.Notes) all += n + "\n";
    return all;
}

// Reads the case as downloaded (in the given locale's date order when the
// file leaves the order open) and checks what was read.
inline void Check(const TLayoutCase& c, EDateOrder locale = EDateOrder::Auto)
{
    brennic::test::TTempFile file(c.text);
    TAirFileChoice choice = c.choice;
    choice.Path = file.path.string();
    std::shared_ptr<const TAirSource> s;
    try {
        TTableOptions options = AirTableOptions(choice);
        options.LocaleOrder = locale;
        s = TAirSource::FromTable(ReadTimeTable(choice.Path, options), choice);
    } catch (const ETableError& e) {
        ADD_FAILURE() << c.name << ": " << e.what();
        return;
    }
    EXPECT_EQ(LocalDateTimeText(s->Table, s->Start), c.firstRow) << c.name;
    EXPECT_EQ(s->Air.Name(), c.airColumn) << c.name;
    for (const TSample& a : c.air) EXPECT_NEAR(s->Air.At(a.minutes * 60), a.celsius, 1e-9) << c.name << " at " << a.minutes;
    EXPECT_EQ(s->Dew.has_value(), !c.dew.empty()) << c.name;
    if (s->Dew) {
        for (const TSample& d : c.dew) EXPECT_NEAR(s->Dew->At(d.minutes * 60), d.celsius, 1e-9) << c.name << " dew";
    }
    const std::string notes = AllNotes(*s);
    for (const char* n : c.notes) EXPECT_NE(notes.find(n), std::string::npos) << c.name << ": no \"" << n << "\" in\n" << notes;
}


}  // namespace brennic
