#pragma once

#include <type_traits>

// The settings a map keeps in its [Source] section. Each is one of a radio group's choices (the
// delimiter: of the delimiter list) or None, no choice made. A choice's number, -1 for None, is
// what the map file and the window's controls hold; elsewhere only the names are used.
namespace impmap {

// Header line: with Read the first line is record 1; with Skip it is kept apart as the header.
enum class HeaderMode : int
{
    None = -1,
    Read = 0,
    Skip = 1
};

// Currency values: as typed, or with an implied decimal point before the last two digits.
enum class DecimalMode : int
{
    None = -1,
    Normal = 0,
    Implied = 1
};

// The byte between a source record's fields.
enum class Delimiter : int
{
    None = -1,
    Tab = 0,
    Comma = 1,
    Pipe = 2
};

// Whether a drag shows the field under the mouse.
enum class TraceMode : int
{
    None = -1,
    On = 0,
    Off = 1
};

template <typename T>
concept SourceSetting = std::is_same_v<T, HeaderMode> || std::is_same_v<T, DecimalMode> ||
    std::is_same_v<T, Delimiter> || std::is_same_v<T, TraceMode>;

// The number of a setting's choice: -1 for None.
template <SourceSetting Setting> constexpr int ChoiceIndex(Setting setting)
{
    return static_cast<int>(setting);
}

// The setting whose choice has this number; a number that is no choice gives None.
template <SourceSetting Setting> constexpr Setting SettingAt(int index)
{
    constexpr int last = std::is_same_v<Setting, Delimiter> ? 2 : 1;
    return index >= 0 && index <= last ? static_cast<Setting>(index) : Setting::None;
}

// The delimiter byte; Tab when none is chosen.
constexpr char DelimiterChar(Delimiter delimiter)
{
    switch (delimiter) {
    case Delimiter::Comma:
        return ',';
    case Delimiter::Pipe:
        return '|';
    default:
        return '\t';
    }
}

// "Tab", "Comma" or "Pipe"; empty for none.
constexpr const char* DelimiterName(Delimiter delimiter)
{
    switch (delimiter) {
    case Delimiter::Tab:
        return "Tab";
    case Delimiter::Comma:
        return "Comma";
    case Delimiter::Pipe:
        return "Pipe";
    default:
        return "";
    }
}

} // namespace impmap
