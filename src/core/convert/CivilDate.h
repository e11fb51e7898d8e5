#pragma once

#include <optional>
#include <string_view>

namespace impmap {

// A calendar date without time. "Today" is passed to the date rules explicitly so that tests and
// the batch command can fix it.
struct CivilDate
{
    int year = 0;
    int month = 0;
    int day = 0;

    friend auto operator<=>(const CivilDate&, const CivilDate&) = default;
};

// The local date of the system clock.
CivilDate SystemToday();

// Parses "YYYY-MM-DD"; nothing for any other shape or an impossible date.
std::optional<CivilDate> ParseIsoDate(std::string_view text);

bool IsValidDate(int year, int month, int day);

} // namespace impmap
