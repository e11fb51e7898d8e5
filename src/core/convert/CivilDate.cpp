#include "convert/CivilDate.h"

#include <chrono>
#include <ctime>

namespace impmap {

CivilDate SystemToday()
{
    std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    return CivilDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

bool IsValidDate(int year, int month, int day)
{
    // chrono::day keeps only 8 bits, so a day above 31 must be refused before it is narrowed.
    if (year < 1 || year > 9999 || month < 1 || month > 12 || day < 1 || day > 31)
        return false;
    const std::chrono::year_month_day ymd{std::chrono::year{year},
                                          std::chrono::month{static_cast<unsigned>(month)},
                                          std::chrono::day{static_cast<unsigned>(day)}};
    return ymd.ok();
}

std::optional<CivilDate> ParseIsoDate(std::string_view text)
{
    if (text.size() != 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    auto number = [&](size_t from, size_t count) {
        int n = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (text[i] < '0' || text[i] > '9')
                return -1;
            n = n * 10 + (text[i] - '0');
        }
        return n;
    };
    const int y = number(0, 4), m = number(5, 2), d = number(8, 2);
    if (y < 0 || m < 0 || d < 0 || !IsValidDate(y, m, d))
        return std::nullopt;
    return CivilDate{y, m, d};
}

} // namespace impmap
