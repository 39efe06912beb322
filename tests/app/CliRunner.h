// Runs brennic-sim as a child process and collects what it says.
#pragma once

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace cli {

struct Result {
    int status;
    std::string out;
    std::string err;
};

// Runs the command-line tool with the given arguments in the C locale.
inline Result RunSim(const std::string& args, const std::string& env = "LC_ALL=C")
{
    char errName[] = "/tmp/brennic-cli-err-XXXXXX";
    const int errFd = ::mkstemp(errName);
    ::close(errFd);
    const std::string cmd = "env " + env + " " + BRENNIC_SIM + std::string(" ") + args + " 2>" + errName;
    FILE* p = ::popen(cmd.c_str(), "r");
    Result r{};
    char buf[65536];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, p)) > 0) r.out.append(buf, n);
    const int status = ::pclose(p);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::ifstream e(errName);
    std::ostringstream s;
    s << e.rdbuf();
    r.err = s.str();
    ::unlink(errName);
    return r;
}

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::size_t start = 0, end;
    while ((end = text.find("\r\n", start)) != std::string::npos) {
        lines.push_back(text.substr(start, end - start));
        start = end + 2;
    }
    EXPECT_EQ(start, text.size()) << "text does not end with CR LF";
    return lines;
}

inline std::string ReadAll(const fs::path& p)
{
    std::ifstream f(p, std::ios::binary);
    std::ostringstream s;
    s << f.rdbuf();
    return s.str();
}

}  // namespace cli

using namespace cli;
