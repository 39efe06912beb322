// Reading files from outside within a limit: the limit itself is allowed,
// a byte more is refused, and a file too large is refused from its size
// alone, before anything is read.
#include "support/BoundedRead.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

using namespace brennic;
namespace fs = std::filesystem;

namespace {

struct Folder {
    fs::path path;
    Folder()
    {
        char name[] = "/tmp/brennic-bounded-XXXXXX";
        path = ::mkdtemp(name);
    }
    ~Folder() { fs::remove_all(path); }
};

}  // namespace

TEST(BoundedRead, TheLimitIsAllowedAByteMoreIsNot)
{
    const Folder folder;
    struct Case {
        const char* name;
        std::size_t bytes, limit;
        const char* refusal;  // nullptr: read whole
    };
    const Case cases[] = {
        {"empty", 0, 100, nullptr},
        {"exactly the limit", 100, 100, nullptr},
        {"a byte over", 101, 100, "it is 101 bytes, larger than the limit of 100 bytes"},
        {"far over", 4096, 1024, "it is 4 KiB, larger than the limit of 1 KiB"},
    };
    for (const Case& c : cases) {
        const fs::path file = folder.path / "file";
        std::ofstream(file, std::ios::binary) << std::string(c.bytes, 'x');
        if (!c.refusal) {
            EXPECT_EQ(ReadBoundedFile(file.string(), c.limit), std::string(c.bytes, 'x')) << c.name;
            continue;
        }
        try {
            ReadBoundedFile(file.string(), c.limit);
            ADD_FAILURE() << c.name << ": read";
        } catch (const EReadError& e) {
            EXPECT_STREQ(e.what(), c.refusal) << c.name;
        }
    }
}

// A sparse file of a gibibyte: its size refuses it, so nothing of it is
// read (the message that quotes the size comes only from that check).
TEST(BoundedRead, AHugeFileIsRefusedFromItsSize)
{
    const Folder folder;
    const fs::path file = folder.path / "huge.csv";
    const int fd = ::open(file.c_str(), O_CREAT | O_WRONLY, 0600);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::ftruncate(fd, off_t(1) << 30), 0);
    ::close(fd);
    try {
        ReadBoundedFile(file.string(), TableSizeLimit);
        ADD_FAILURE() << "read";
    } catch (const EReadError& e) {
        EXPECT_STREQ(e.what(), "it is 1 GiB, larger than the limit of 256 MiB");
    }
}
