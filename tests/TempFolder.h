// A folder of its own for a test's files, removed with everything in it.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace brennic::test {

struct TTempFolder {
    std::filesystem::path path;

    TTempFolder()
    {
        char tmpl[] = "/tmp/brennic-test-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TTempFolder() { std::filesystem::remove_all(path); }
    TTempFolder(const TTempFolder&) = delete;
    TTempFolder& operator=(const TTempFolder&) = delete;

    std::size_t Entries() const
    {
        return std::size_t(
            std::distance(std::filesystem::directory_iterator(path), std::filesystem::directory_iterator()));
    }
    // Writes a file in the folder and returns its path.
    std::string Write(const std::string& name, const std::string& text) const
    {
        std::ofstream(path / name, std::ios::binary) << text;
        return (path / name).string();
    }
};

// A single file in a folder of its own.
struct TTempFile {
    TTempFolder folder;
    std::filesystem::path path;
    explicit TTempFile(const std::string& text, const std::string& name = "file.csv") : path(folder.Write(name, text))
    {
    }
};

// A file's whole content, or "" when it cannot be read.
inline std::string ReadFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace brennic::test
