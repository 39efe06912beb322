#include "support/EnhStringList.h"
#include "support/LibStandard.h"

#include <gtest/gtest.h>

#include <vector>

using namespace brennic;

namespace {
std::vector<std::u16string> Items(const TEnhStringList& l)
{
    std::vector<std::u16string> v;
    for (int i = 0; i < l.Count(); ++i) v.push_back(l[i]);
    return v;
}

template <class F>
void ExpectListError(F&& f, const std::string& message, int number)
{
    try {
        f();
        ADD_FAILURE() << "no error, expected " << message;
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.what(), message);
        EXPECT_EQ(e.Number, number);
    }
}
}  // namespace

TEST(StringList, GrowthPolicyAndCapacity)
{
    TEnhStringList l;
    EXPECT_EQ(l.Capacity(), 0);
    std::vector<int> seen;
    for (int i = 0; i < 1000; ++i) {
        l.Add(u"x");
        if (seen.empty() || seen.back() != l.Capacity())
            seen.push_back(l.Capacity());
    }
    EXPECT_EQ(seen, (std::vector<int>{16, 32, 64, 128, 192, 288, 432, 648, 972, 1458}));
    l.Clear();
    EXPECT_EQ(l.Count(), 0);
    EXPECT_EQ(l.Capacity(), 16);

    TEnhStringList small;
    small.SetCapacity(5);
    EXPECT_EQ(small.Capacity(), 16);
    for (int i = 0; i < 16; ++i) small.Add(u"a");
    EXPECT_NO_THROW(small.SetCapacity(3));
    small.Add(u"b");
    ExpectListError([&] { small.SetCapacity(16); }, "List capacity out of bounds (16)", 16);
    ExpectListError([&] { small.SetCapacity(TEnhStringList::MaxCapacity + 1); },
                    "List capacity out of bounds (134217728)", 134217728);
    EXPECT_EQ(small.Count(), 17);
    EXPECT_EQ(small[16], u"b");
}

TEST(StringList, TextFormEndsEveryLine)
{
    TEnhStringList l;
    EXPECT_EQ(l.GetTextStr(), u"");
    l.Add(u"a");
    l.Add(u"b");
    EXPECT_EQ(l.GetTextStr(), u"a\r\nb\r\n");
    l.Add(u"");
    l.Add(u"\u00b0C");
    EXPECT_EQ(l.GetTextStr(), u"a\r\nb\r\n\r\n\u00b0C\r\n");
}

TEST(StringList, SortedAddAndDuplicatePolicies)
{
    TEnhStringList ignore;
    ignore.SetSorted(true);
    ignore.Add(u"ABC");
    ignore.Add(u"zeta");
    EXPECT_EQ(ignore.Add(u"abc"), 0);
    EXPECT_EQ(ignore.Count(), 2);

    TEnhStringList accept;
    accept.Duplicates = TDuplicates::Accept;
    accept.SetSorted(true);
    for (auto s : {u"b", u"a", u"b"}) accept.Add(s);
    EXPECT_EQ(Items(accept), (std::vector<std::u16string>{u"a", u"b", u"b"}));
    EXPECT_EQ(accept.Add(u"B"), 1);
    EXPECT_EQ(accept[1], u"B");

    TEnhStringList error;
    error.Duplicates = TDuplicates::Error;
    error.SetSorted(true);
    error.Add(u"one");
    ExpectListError([&] { error.Add(u"ONE"); }, "String list does not allow duplicates: ONE", 0);
    ExpectListError([&] { error.AddObject(u"One", 7); }, "String list does not allow duplicates", 0);
    EXPECT_EQ(error.Count(), 1);
}

TEST(StringList, OrderingFoldsOnlyAsciiLetters)
{
    TEnhStringList l;
    for (auto s : {u"b", u"_", u"A"}) l.Add(s);
    l.Sort();
    EXPECT_EQ(Items(l), (std::vector<std::u16string>{u"A", u"b", u"_"}));
    EXPECT_GT(CompareTextIgnoreCase(u"_", u"z"), 0);
    EXPECT_LT(CompareTextIgnoreCase(u"ab", u"abc"), 0);
    EXPECT_EQ(CompareTextIgnoreCase(u"abc", u"ABC"), 0);
    // Non-ASCII letters are not folded.
    EXPECT_NE(CompareTextIgnoreCase(u"\u00e9", u"\u00c9"), 0);
    EXPECT_TRUE(TextEqualsIgnoreCase(u"Pyrex", u"pYREX"));
    EXPECT_FALSE(TextEqualsIgnoreCase(u"Pyrex", u"Pyre"));
    EXPECT_TRUE(TextStartsWithIgnoreCase(u"Fused silica", u"FUSED"));
    EXPECT_FALSE(TextStartsWithIgnoreCase(u"BK", u"BK7"));

    TEnhStringList sorted;
    sorted.SetSorted(true);
    for (auto s : {u"delta", u"Alpha", u"charlie", u"Bravo"}) sorted.Add(s);
    EXPECT_EQ(Items(sorted), (std::vector<std::u16string>{u"Alpha", u"Bravo", u"charlie", u"delta"}));
    EXPECT_EQ(sorted.IndexOf(u"CHARLIE"), 2);
    EXPECT_EQ(sorted.IndexOf(u"echo"), -1);
    int at = -1;
    EXPECT_FALSE(sorted.Find(u"c", at));
    EXPECT_EQ(at, 2);
}

TEST(StringList, IndexErrorsAndSortedRestrictions)
{
    TEnhStringList l;
    l.Add(u"a");
    l.Insert(1, u"b");
    EXPECT_EQ(l[1], u"b");
    ExpectListError([&] { l.Insert(3, u"c"); }, "List index out of bounds (3)", 3);
    ExpectListError([&] { l.Insert(-1, u"c"); }, "List index out of bounds (-1)", -1);
    ExpectListError([&] { l.Put(2, u"c"); }, "List index out of bounds (2)", 2);
    ExpectListError([&] { l.PutObject(-1, 1); }, "List index out of bounds (-1)", -1);
    ExpectListError([&] { (void)l.Get(2); }, "List index out of bounds (2)", 2);
    l.Put(0, u"z");
    l.PutObject(0, 42);
    l.Put(0, u"y");
    EXPECT_EQ(l.GetObject(0), 42u);  // replacing the text keeps the object
    EXPECT_EQ(Items(l), (std::vector<std::u16string>{u"y", u"b"}));

    l.SetSorted(true);
    ExpectListError([&] { l.Insert(99, u"c"); }, "Operation not allowed on sorted list", 0);
    ExpectListError([&] { l.Put(99, u"c"); }, "Operation not allowed on sorted list", 0);
    EXPECT_EQ(Items(l), (std::vector<std::u16string>{u"b", u"y"}));
}

TEST(StringList, LookupByTextAndName)
{
    TEnhStringList l;
    l.Add(u"Abc");
    EXPECT_EQ(l.IndexOf(u"aBC"), 0);
    EXPECT_EQ(l.IndexOf(u"Ab"), -1);

    for (bool hashed : {false, true}) {
        TEnhStringList names;
        names.HashedNames = hashed;
        for (auto s : {u"a=1", u"B=2", u"ab=1", u"=x"}) names.Add(s);
        EXPECT_EQ(names.IndexOfName(u"b"), 1) << hashed;
        EXPECT_EQ(names.IndexOfName(u"A"), 0) << hashed;
        EXPECT_EQ(names.IndexOfName(u"AB"), 2) << hashed;
        EXPECT_EQ(names.IndexOfName(u""), 3) << hashed;
        EXPECT_EQ(names.IndexOfName(u"c"), -1) << hashed;
        TEnhStringList only;
        only.HashedNames = hashed;
        only.Add(u"ab=1");
        EXPECT_EQ(only.IndexOfName(u"a"), -1) << hashed;
    }
    TEnhStringList hashed;
    hashed.HashedNames = true;
    hashed.Add(u"key=value");
    EXPECT_EQ(hashed.IndexOfName(u"KEY"), 0);
    EXPECT_EQ(hashed.GetObject(0), NameHash(u"key=value"));  // cached in the slot
}

TEST(StringList, HashValues)
{
    EXPECT_EQ(TextHash(u""), 1u);
    EXPECT_EQ(TextHash(u"abc"), 68739u);
    EXPECT_EQ(TextHash(u"ABC"), 68739u);
    EXPECT_EQ(NameHash(u"abc=1"), 68739u);
    EXPECT_EQ(NameHash(u"abc"), TextHash(u"abc"));
    // Long texts fold their top bits back instead of losing them.
    EXPECT_NE(TextHash(u"abcdefghijklmnop"), TextHash(u"bbcdefghijklmnop"));
    std::uint32_t h = 0;
    for (char16_t c : std::u16string(u"temperature")) {
        h = (h << 5) + FoldAscii(c);
        h ^= (h & 0xF8000000u) >> 24;
    }
    EXPECT_EQ(TextHash(u"TEMPERATURE"), h);
}

TEST(StringList, NotificationsAndUpdates)
{
    TEnhStringList l;
    std::string log;
    l.OnChanging = [&] { log += '<'; };
    l.OnChange = [&] { log += '>'; };
    l.Add(u"a");
    EXPECT_EQ(log, "<>");
    log.clear();
    l.BeginUpdate();
    l.Add(u"b");
    l.Add(u"c");
    l.BeginUpdate();
    l.EndUpdate();
    EXPECT_EQ(log, "<");
    l.EndUpdate();
    EXPECT_EQ(log, "<>");
    log.clear();
    l.SetSorted(true);
    l.Add(u"A");           // ignored duplicate: nothing changes, nothing is said
    EXPECT_EQ(log, "<>");  // only the sort
    log.clear();
    l.Clear();
    l.Clear();
    EXPECT_EQ(log, "<>");
}

TEST(StringList, AddStringsKeepsObjectsAndStopsAtError)
{
    TEnhStringList src;
    src.AddObject(u"x", 1);
    src.AddObject(u"y", 2);
    src.AddObject(u"x", 3);
    TEnhStringList dst;
    dst.AddStrings(src);
    EXPECT_EQ(Items(dst), (std::vector<std::u16string>{u"x", u"y", u"x"}));
    EXPECT_EQ(dst.GetObject(2), 3u);
    dst.AddStrings(dst);  // a list can append itself
    EXPECT_EQ(dst.Count(), 6);

    TEnhStringList strict;
    strict.Duplicates = TDuplicates::Error;
    strict.SetSorted(true);
    std::string log;
    strict.OnChange = [&] { log += '>'; };
    ExpectListError([&] { strict.AddStrings(src); }, "String list does not allow duplicates", 0);
    EXPECT_EQ(Items(strict), (std::vector<std::u16string>{u"x", u"y"}));
    EXPECT_EQ(log, ">");  // the update was closed despite the error
}
