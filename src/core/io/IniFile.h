#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace impmap {

// An INI profile document held in memory: "[Section]" lines open sections, "key=value" lines hold
// values. Section and key names compare without regard to ASCII case. Values are bytes and pass
// through unchanged, except that reading trims them and takes at most kMaxValueLength bytes.
class IniFile
{
public:
    static constexpr size_t kMaxValueLength = 2047;

    // A leading UTF-8 byte-order mark is skipped. Lines end with CR LF, LF or CR. Names and values
    // are trimmed. Blank lines, ';' comment lines, lines without '=' and key lines before the first
    // section are ignored. The first occurrence of a key in a section wins; a repeated section adds
    // its new keys to the first one.
    static IniFile Parse(std::string_view text);
    // Reads and parses a file. A file that does not exist gives an empty document; other read
    // failures throw FileError.
    static IniFile Load(const std::filesystem::path& path);

    // The value, trimmed and cut to kMaxValueLength bytes; defaultValue when the key is missing.
    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // The value as a whole decimal number with an optional sign, or as "0x"/"0X" and hex digits
    // after the optional sign, within the 32-bit signed range. A value that is missing or not
    // wholly such a number ("12abc", "", "0x") gives defaultValue.
    long ReadInteger(std::string_view section, std::string_view key, long defaultValue) const;
    bool HasKey(std::string_view section, std::string_view key) const;
    // Whether a line opened the section (even one without keys).
    bool HasSection(std::string_view section) const;

    // Sets a value, adding the section and key at the end when they are new. A line break in the
    // value would split the line, so CR and LF are stored as blanks. Keys must not hold '=' and
    // section names must not hold ']'.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    // Writes the value in decimal.
    void WriteInteger(std::string_view section, std::string_view key, long value);

    // "[Section]" CR LF, then "key=value" CR LF per key, in the order of first writing; sections
    // without keys are left out.
    std::string ToText() const;
    // Writes ToText() with WriteFileAtomically; throws FileError.
    void Save(const std::filesystem::path& path) const;

private:
    struct Entry
    {
        std::string key;
        std::string value;
    };
    struct Section
    {
        std::string name;
        std::vector<Entry> entries;
        std::unordered_map<std::string, size_t> entryIndex; // upper-cased key -> entries position
    };

    const Entry* Find(std::string_view section, std::string_view key) const;
    // The position of the section in sections_, adding it when it is new.
    size_t SectionPosition(std::string_view name);
    static Entry& EntryNamed(Section& section, std::string_view key, bool& added);

    std::vector<Section> sections_;
    std::unordered_map<std::string, size_t> sectionIndex_; // upper-cased name -> sections_ position
};

} // namespace impmap
