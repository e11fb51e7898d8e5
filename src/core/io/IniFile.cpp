#include "io/IniFile.h"

#include "convert/Text.h"
#include "io/FileIo.h"

#include <optional>

namespace fs = std::filesystem;

namespace impmap {

namespace {

constexpr long long kIntegerMin = -2147483648LL;
constexpr long long kIntegerMax = 2147483647LL;

int DigitValue(char c, int base)
{
    int value = 99;
    if (c >= '0' && c <= '9')
        value = c - '0';
    else if (c >= 'a' && c <= 'f')
        value = c - 'a' + 10;
    else if (c >= 'A' && c <= 'F')
        value = c - 'A' + 10;
    return value < base ? value : -1;
}

// [+|-] digits, or [+|-] 0x hex-digits, the whole text, within the 32-bit signed range.
std::optional<long> ParseInteger(std::string_view text)
{
    size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    int base = 10;
    if (text.size() - pos > 2 && text[pos] == '0' &&
        (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
        base = 16;
        pos += 2;
    }
    if (pos == text.size())
        return std::nullopt;
    long long magnitude = 0;
    for (; pos < text.size(); ++pos) {
        const int digit = DigitValue(text[pos], base);
        if (digit < 0)
            return std::nullopt;
        magnitude = magnitude * base + digit;
        if (magnitude > -kIntegerMin)
            return std::nullopt;
    }
    const long long value = negative ? -magnitude : magnitude;
    if (value > kIntegerMax)
        return std::nullopt;
    return static_cast<long>(value);
}

// Calls onLine for every line of text; lines end with CR LF, LF or CR.
template <typename OnLine> void ForEachLine(std::string_view text, OnLine onLine)
{
    size_t start = 0;
    while (start < text.size()) {
        const size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            onLine(text.substr(start));
            return;
        }
        onLine(text.substr(start, end - start));
        start = end + 1;
        if (text[end] == '\r' && start < text.size() && text[start] == '\n')
            ++start;
    }
}

} // namespace

IniFile IniFile::Parse(std::string_view text)
{
    // A byte-order mark left by an editor would otherwise make the first line a stranger's.
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    IniFile ini;
    constexpr size_t kNoSection = static_cast<size_t>(-1);
    size_t current = kNoSection;
    ForEachLine(text, [&](std::string_view rawLine) {
        const std::string_view line = TrimView(rawLine);
        if (line.empty() || line.front() == ';')
            return;
        if (line.front() == '[') {
            // A missing ']' still opens a section, so that its keys are not taken for the
            // previous section's.
            const size_t close = line.rfind(']');
            const size_t length = close == std::string_view::npos ? line.size() - 1 : close - 1;
            current = ini.SectionPosition(TrimView(line.substr(1, length)));
            return;
        }
        const size_t equals = line.find('=');
        if (current == kNoSection || equals == std::string_view::npos)
            return;
        const std::string_view key = TrimView(line.substr(0, equals));
        if (key.empty())
            return;
        bool added = false;
        Entry& entry = EntryNamed(ini.sections_[current], key, added);
        if (added)
            entry.value = TrimView(line.substr(equals + 1));
    });
    return ini;
}

IniFile IniFile::Load(const fs::path& path)
{
    std::error_code ec;
    const fs::file_status status = fs::status(path, ec);
    if (status.type() == fs::file_type::not_found || ec == std::errc::not_a_directory)
        return IniFile();
    return Parse(ReadWholeFile(path));
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const
{
    const Entry* entry = Find(section, key);
    if (entry == nullptr)
        return std::string(defaultValue);
    return std::string(TrimView(entry->value).substr(0, kMaxValueLength));
}

long IniFile::ReadInteger(std::string_view section, std::string_view key, long defaultValue) const
{
    const Entry* entry = Find(section, key);
    if (entry == nullptr)
        return defaultValue;
    return ParseInteger(TrimView(entry->value).substr(0, kMaxValueLength)).value_or(defaultValue);
}

bool IniFile::HasKey(std::string_view section, std::string_view key) const
{
    return Find(section, key) != nullptr;
}

bool IniFile::HasSection(std::string_view section) const
{
    return sectionIndex_.contains(UpperAscii(section));
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value)
{
    bool added = false;
    std::string& stored = EntryNamed(sections_[SectionPosition(section)], key, added).value;
    stored = value;
    for (char& c : stored) {
        if (c == '\r' || c == '\n')
            c = ' ';
    }
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, long value)
{
    WriteString(section, key, std::to_string(value));
}

std::string IniFile::ToText() const
{
    std::string text;
    for (const Section& section : sections_) {
        if (section.entries.empty())
            continue;
        text += '[';
        text += section.name;
        text += "]\r\n";
        for (const Entry& entry : section.entries) {
            text += entry.key;
            text += '=';
            text += entry.value;
            text += "\r\n";
        }
    }
    return text;
}

void IniFile::Save(const fs::path& path) const
{
    WriteFileAtomically(path, ToText());
}

const IniFile::Entry* IniFile::Find(std::string_view section, std::string_view key) const
{
    const auto sectionIt = sectionIndex_.find(UpperAscii(section));
    if (sectionIt == sectionIndex_.end())
        return nullptr;
    const Section& found = sections_[sectionIt->second];
    const auto entryIt = found.entryIndex.find(UpperAscii(key));
    return entryIt == found.entryIndex.end() ? nullptr : &found.entries[entryIt->second];
}

size_t IniFile::SectionPosition(std::string_view name)
{
    const auto [it, added] = sectionIndex_.try_emplace(UpperAscii(name), sections_.size());
    if (added)
        sections_.push_back(Section{std::string(name), {}, {}});
    return it->second;
}

IniFile::Entry& IniFile::EntryNamed(Section& section, std::string_view key, bool& added)
{
    const auto [it, isNew] =
        section.entryIndex.try_emplace(UpperAscii(key), section.entries.size());
    added = isNew;
    if (isNew)
        section.entries.push_back(Entry{std::string(key), {}});
    return section.entries[it->second];
}

} // namespace impmap
