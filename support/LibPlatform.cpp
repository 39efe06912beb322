#include "LibPlatform.h"

#include <QLocale>
#include <QString>

namespace brennic {

std::optional<char16_t> SystemDecimalSeparator()
{
    const QString point = QLocale::system().decimalPoint();
    if (point.size() != 1)
        return std::nullopt;
    return char16_t(point.at(0).unicode());
}

std::optional<char16_t> SystemListSeparator()
{
    return std::nullopt;
}

}  // namespace brennic
