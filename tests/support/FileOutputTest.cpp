#include "support/EnhStringList.h"
#include "support/FileOutput.h"

#include "tests/TempFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

using namespace brennic;
namespace fs = std::filesystem;

namespace {
std::string ReadAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace

TEST(FileOutput, WritesAndReplacesWholeFile)
{
    brennic::test::TTempFolder dir;
    const auto file = dir.path / "out.csv";
    WriteFileAtomically(file.string(), std::string(10000, 'x'));
    EXPECT_EQ(ReadAll(file), std::string(10000, 'x'));
    WriteFileAtomically(file.string(), "short\r\n");
    EXPECT_EQ(ReadAll(file), "short\r\n");
    EXPECT_EQ(dir.Entries(), 1u);  // no temporary file left behind
}

TEST(FileOutput, FailuresLeaveTheOldFileIntact)
{
    brennic::test::TTempFolder dir;
    const auto file = dir.path / "keep.csv";
    WriteFileAtomically(file.string(), "previous results\r\n");

    struct Case {
        const char* what;
        WriteFunction write;
    };
    int calls = 0;
    const Case cases[] = {
        {"disk full after a partial write",
         [&](int fd, const char* d, std::size_t n) -> long {
             if (calls++ == 0)
                 return ::write(fd, d, n / 2);
             errno = ENOSPC;
             return -1;
         }},
        {"write returns nothing", [](int, const char*, std::size_t) -> long { return 0; }},
        {"error at once",
         [](int, const char*, std::size_t) -> long {
             errno = EIO;
             return -1;
         }},
    };
    for (const auto& c : cases) {
        calls = 0;
        try {
            WriteFileAtomically(file.string(), std::string(5000, 'n'), c.write);
            ADD_FAILURE() << c.what;
        } catch (const EWriteError& e) {
            EXPECT_STREQ(e.what(), "Stream write error");
        }
        EXPECT_EQ(ReadAll(file), "previous results\r\n") << c.what;
        EXPECT_EQ(dir.Entries(), 1u) << c.what;
    }
    // Short writes that do progress are completed.
    WriteFileAtomically(file.string(), "abcdef",
                        [](int fd, const char* d, std::size_t) -> long { return ::write(fd, d, 1); });
    EXPECT_EQ(ReadAll(file), "abcdef");
}

TEST(FileOutput, CannotCreateNamesFullPathAndReason)
{
    brennic::test::TTempFolder dir;
    fs::current_path(dir.path);
    try {
        WriteFileAtomically("missing/sub/x.csv", "x");
        ADD_FAILURE();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(std::string(e.what()), "Cannot create file \"" + (dir.path / "missing/sub/x.csv").string() +
                                             "\". No such file or directory");
    }
    fs::create_directory(dir.path / "adir");
    EXPECT_THROW(WriteFileAtomically((dir.path / "adir").string(), "x"), EFCreateError);
    fs::current_path("/");
}

TEST(FileOutput, SaveToFileWritesTextFormInAscii)
{
    brennic::test::TTempFolder dir;
    TEnhStringList l;
    l.Add(u"\"Time\",\"T_Ambient\"");
    l.Add(u"0,10");
    const auto file = dir.path / "r.csv";
    l.SaveToFile(file.string());
    EXPECT_EQ(ReadAll(file), "\"Time\",\"T_Ambient\"\r\n0,10\r\n");
    EXPECT_EQ(EncodeSystem8Bit(u"abc"), "abc");
    // Outside ASCII, a character the C locale's codeset lacks becomes '?'.
    EXPECT_EQ(EncodeSystem8Bit(u"1\u00b0"), "1?");
}

TEST(FileOutput, InASharedStickyFolderOnlyTheUsersOrTheFoldersOwnersLinksAreFollowed)
{
    brennic::test::TTempFolder dir;
    const fs::path shared = dir.path / "shared", victim = dir.path / "victim.rc";
    fs::create_directory(shared);
    fs::permissions(shared, fs::perms::all | fs::perms::sticky_bit);
    const uid_t other = ::geteuid() == 0 ? 65534 : ::geteuid();
    struct Case {
        const char* name;
        uid_t owner;
        fs::perms folder;
        bool followed;
    };
    const Case cases[] = {
        {"the user's own link", ::geteuid(), fs::perms::all | fs::perms::sticky_bit, true},
        {"another user's link in a sticky shared folder", other, fs::perms::all | fs::perms::sticky_bit, false},
        {"another user's link in a folder without the sticky bit", other, fs::perms::all, true},
        {"another user's link in a sticky folder only its owner writes", other,
         fs::perms::owner_all | fs::perms::sticky_bit, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.owner != ::geteuid() && ::geteuid() != 0)
            GTEST_SKIP() << "giving a link to another user needs root";
        std::ofstream(victim) << "precious";
        const fs::path link = shared / "report.csv";
        fs::remove(link);
        fs::permissions(shared, fs::perms::owner_all);
        fs::create_symlink(victim, link);
        ASSERT_EQ(::lchown(link.c_str(), c.owner, gid_t(-1)), 0);
        fs::permissions(shared, c.folder);
        if (c.followed) {
            WriteFileAtomically(link.string(), "table");
            EXPECT_EQ(ReadAll(victim), "table");
        } else {
            try {
                WriteFileAtomically(link.string(), "table");
                ADD_FAILURE() << "followed";
            } catch (const EFCreateError& e) {
                EXPECT_NE(std::string(e.what()).find("It is a link another user made in a shared folder"),
                          std::string::npos)
                    << e.what();
            }
            EXPECT_EQ(ReadAll(victim), "precious");
            EXPECT_TRUE(fs::is_symlink(link)) << "the link is left as it was";
        }
    }
    fs::permissions(shared, fs::perms::owner_all);
}
