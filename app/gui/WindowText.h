// Texts shared by the window's parts: conversions between Qt's strings and
// the core's, and the air fields' hint.
#pragma once

#include <QString>

#include <string>

namespace brennic {

inline QString ToQ(const std::u16string& s)
{
    return QString::fromUtf16(s.data(), qsizetype(s.size()));
}

inline std::u16string FromQ(const QString& s)
{
    return std::u16string(reinterpret_cast<const char16_t*>(s.utf16()), std::size_t(s.size()));
}

inline QString AirHint()
{
    return QStringLiteral("The ambient temperature varies linearly between the initial and final value");
}

}  // namespace brennic
