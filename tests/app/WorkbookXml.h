// Reading back what a workbook holds: a member of the .xlsx archive and the
// number in a cell of a sheet's XML.
#pragma once

#include <cstdio>
#include <string>

namespace brennic::test {

inline std::string Unzip(const std::string& file, const char* member)
{
    std::string out;
    const std::string cmd = "unzip -p '" + file + "' " + member;
    FILE* p = ::popen(cmd.c_str(), "r");
    if (!p)
        return out;
    char buf[4096];
    for (std::size_t n; (n = std::fread(buf, 1, sizeof buf, p)) > 0;) out.append(buf, n);
    ::pclose(p);
    return out;
}

// The number in cell ref ("G2") of a sheet's XML; -1e300 where there is none.
inline double Cell(const std::string& sheet, const std::string& ref)
{
    const std::size_t at = sheet.find("<c r=\"" + ref + "\"");
    if (at == std::string::npos)
        return -1e300;
    return std::stod(sheet.substr(sheet.find("<v>", at) + 3));
}

}  // namespace brennic::test
