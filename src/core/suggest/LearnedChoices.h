#pragma once

#include "mapping/DestinationRow.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// What the user's own maps taught: for each form, the column headers and the fields they went
// to. Kept in a small text file in the user's settings folder, one choice a line, the newest
// last; the file is bounded in size, and damaged lines are passed over.
namespace impmap::suggest {

// "impmap-learned.txt"
extern const char* const kLearnedChoicesFileName;

struct LearnedChoice
{
    std::string form;    // the layout's name
    std::string header;  // the column header as it stood in the source
    std::string caption; // the destination field
    bool merged = false; // the column was merged into the caption's column, in this order
    std::string mapName; // the map file's name, without its folder
};

class LearnedChoices
{
public:
    static constexpr size_t kMaxChoices = 5000;
    static constexpr std::uintmax_t kMaxFileBytes = 2 * 1024 * 1024;
    static constexpr size_t kMaxHeaderBytes = 200;

    // The file in the user's settings folder (UserSettingsFolder); empty when there is none.
    static std::filesystem::path DefaultPath();

    // Reads the file: a missing file holds no choices. Lines that are damaged are passed over; a
    // file that cannot be read or is larger than kMaxFileBytes gives no choices and problem (when
    // given) says why.
    static LearnedChoices Load(const std::filesystem::path& path, std::string* problem = nullptr);
    static LearnedChoices Parse(std::string_view text);
    std::string ToText() const;
    // Writes the file atomically. Throws FileError.
    void Save(const std::filesystem::path& path) const;

    // Remembers the choices of a map just saved: each mapped column's header and its field, and
    // the columns merged into it. Earlier choices for those headers on that form are replaced;
    // beyond kMaxChoices the oldest go.
    void Remember(std::string_view form, const std::vector<std::string>& header,
                  const std::vector<DestinationRow>& rows, const std::array<int, 1001>& merges,
                  std::string_view mapName);

    // The choices for a header on a form, the newest first.
    std::vector<const LearnedChoice*> Find(std::string_view form, std::string_view header) const;
    const std::vector<LearnedChoice>& Choices() const { return choices_; }

private:
    void Add(LearnedChoice choice);
    // Beyond kMaxChoices the oldest go; then the index is rebuilt.
    void TrimOldest();
    void Reindex();

    std::vector<LearnedChoice> choices_; // the oldest first
    std::vector<std::string> keys_;      // each choice's form and header as compared
    std::unordered_map<std::string, std::vector<size_t>> index_; // key -> choices
};

} // namespace impmap::suggest
