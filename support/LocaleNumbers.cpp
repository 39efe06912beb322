#include "support/LocaleNumbers.h"

#include "support/LibStandard.h"

#include <langinfo.h>
#include <locale.h>  // NOLINT(modernize-deprecated-headers): newlocale and locale_t are POSIX's

#include <string>

namespace brennic {

std::optional<char16_t> LocaleDecimalSeparator()
{
    const locale_t user = ::newlocale(LC_NUMERIC_MASK | LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        return std::nullopt;
    const std::u16string point = FromUtf8(::nl_langinfo_l(RADIXCHAR, user));
    ::freelocale(user);
    if (point.size() != 1)
        return std::nullopt;
    return point[0];
}

std::optional<char16_t> LocaleListSeparator()
{
    return std::nullopt;
}

}  // namespace brennic
