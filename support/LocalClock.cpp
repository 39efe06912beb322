#include "support/LocalClock.h"

#include <langinfo.h>
#include <locale.h>  // NOLINT(modernize-deprecated-headers): newlocale is POSIX's
#include <time.h>    // NOLINT(modernize-deprecated-headers): localtime_r is POSIX's

#include <chrono>
#include <cmath>

namespace brennic {

std::string LocaleDateOrder()
{
    const locale_t user = ::newlocale(LC_TIME_MASK, "", static_cast<locale_t>(nullptr));
    if (user == static_cast<locale_t>(nullptr))
        return {};
    const std::string format = ::nl_langinfo_l(D_FMT, user);
    ::freelocale(user);
    std::string order;
    for (std::size_t i = 0; i + 1 < format.size(); ++i)
        if (format[i] == '%') {
            const char c = format[++i];
            if (c == 'd' || c == 'e')
                order += 'd';
            else if (c == 'm' || c == 'b')
                order += 'm';
            else if (c == 'y' || c == 'Y')
                order += 'y';
            else if (c == 'F' || c == 'D')
                order += c == 'F' ? "ymd" : "mdy";
        }
    return order == "dmy" || order == "mdy" || order == "ymd" ? order : std::string();
}

int LocalUtcOffsetMinutes(double utcSeconds)
{
    ::tzset();
    const time_t t = time_t(std::floor(utcSeconds));
    struct tm local {};
    if (!::localtime_r(&t, &local))
        return 0;
    return int(local.tm_gmtoff / 60);
}

double UtcNow()
{
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
}

}  // namespace brennic
