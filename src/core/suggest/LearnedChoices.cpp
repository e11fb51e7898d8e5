#include "suggest/LearnedChoices.h"

#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "suggest/HeaderWords.h"

#include <algorithm>
#include <system_error>

namespace impmap::suggest {

const char* const kLearnedChoicesFileName = "impmap-learned.txt";

namespace {

constexpr std::string_view kSignature = "impmap learned choices 1";

// A text as one field of a line: control characters (tabs and line breaks among them) become
// blanks, and the ends are trimmed.
std::string FieldText(std::string_view text)
{
    std::string result(TrimView(text));
    for (char& c : result) {
        if (static_cast<unsigned char>(c) < 32)
            c = ' ';
    }
    return result;
}

std::string IndexKey(std::string_view form, std::string_view header)
{
    std::string key = UpperAscii(form);
    key += '\t';
    key += HeaderKey(header);
    return key;
}

std::vector<std::string_view> SplitTabs(std::string_view line)
{
    std::vector<std::string_view> fields;
    while (true) {
        const size_t tab = line.find('\t');
        fields.push_back(line.substr(0, tab));
        if (tab == std::string_view::npos)
            return fields;
        line.remove_prefix(tab + 1);
    }
}

} // namespace

std::filesystem::path LearnedChoices::DefaultPath()
{
    const std::filesystem::path folder = UserSettingsFolder();
    return folder.empty() ? folder : folder / kLearnedChoicesFileName;
}

LearnedChoices LearnedChoices::Load(const std::filesystem::path& path, std::string* problem)
{
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return {};
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (!ec && size > kMaxFileBytes) {
        if (problem)
            *problem = "The file of learned choices \"" + Utf8FromPath(path) +
                       "\" is larger than any it writes and was not read.";
        return {};
    }
    try {
        return Parse(ReadWholeFile(path));
    } catch (const FileError& error) {
        if (problem)
            *problem = error.what();
        return {};
    }
}

LearnedChoices LearnedChoices::Parse(std::string_view text)
{
    LearnedChoices result;
    while (!text.empty()) {
        const size_t end = text.find_first_of("\r\n");
        const std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        if (line == kSignature || line.empty())
            continue;
        const std::vector<std::string_view> fields = SplitTabs(line);
        if (fields.size() != 4 || TrimView(fields[0]).empty() || TrimView(fields[1]).empty() ||
            fields[1].size() > kMaxHeaderBytes)
            continue;
        LearnedChoice choice;
        choice.form = FieldText(fields[0]);
        choice.header = FieldText(fields[1]);
        std::string_view caption = TrimView(fields[2]);
        choice.merged = !caption.empty() && caption.front() == '+';
        if (choice.merged)
            caption.remove_prefix(1);
        choice.caption = FieldText(caption);
        choice.mapName = FieldText(fields[3]);
        if (!choice.caption.empty())
            result.Add(std::move(choice));
    }
    result.TrimOldest();
    return result;
}

std::string LearnedChoices::ToText() const
{
    std::string text(kSignature);
    text += "\r\n";
    for (const LearnedChoice& choice : choices_) {
        text += choice.form + '\t' + choice.header + '\t' + (choice.merged ? "+" : "") +
                choice.caption + '\t' + choice.mapName + "\r\n";
    }
    return text;
}

void LearnedChoices::Save(const std::filesystem::path& path) const
{
    std::error_code ec;
    std::filesystem::create_directories(path.parent_path(), ec); // a failure shows in the write
    WriteFileAtomically(path, ToText());
}

void LearnedChoices::Add(LearnedChoice choice)
{
    if (choice.header.empty() || choice.header.size() > kMaxHeaderBytes)
        return;
    keys_.push_back(IndexKey(choice.form, choice.header));
    choices_.push_back(std::move(choice));
}

void LearnedChoices::Remember(std::string_view form, const std::vector<std::string>& header,
                              const std::vector<DestinationRow>& rows,
                              const std::array<int, 1001>& merges, std::string_view mapName)
{
    const auto headerOf = [&header](int column) {
        return column >= 1 && static_cast<size_t>(column) <= header.size()
                   ? FieldText(header[static_cast<size_t>(column - 1)])
                   : std::string();
    };
    std::vector<LearnedChoice> learned;
    for (const DestinationRow& row : rows) {
        const std::string text = headerOf(row.sourceFieldNo);
        if (text.empty())
            continue;
        learned.push_back({std::string(form), text, row.caption, false, FieldText(mapName)});
        // The columns merged into it, in the order the merges chain them.
        std::vector<int> seen{row.sourceFieldNo};
        for (int m = merges[static_cast<size_t>(row.sourceFieldNo)]; m > 0 && m <= 1000;
             m = merges[static_cast<size_t>(m)]) {
            if (std::find(seen.begin(), seen.end(), m) != seen.end())
                break;
            seen.push_back(m);
            if (const std::string mergedText = headerOf(m); !mergedText.empty())
                learned.push_back(
                    {std::string(form), mergedText, row.caption, true, FieldText(mapName)});
        }
    }
    // This map's choices replace the earlier ones for the same headers.
    std::vector<bool> replaced(choices_.size(), false);
    for (const LearnedChoice& choice : learned) {
        if (const auto it = index_.find(IndexKey(choice.form, choice.header)); it != index_.end()) {
            for (size_t i : it->second)
                replaced[i] = true;
        }
    }
    size_t kept = 0;
    for (size_t i = 0; i < choices_.size(); ++i) {
        if (replaced[i])
            continue;
        if (kept != i) {
            choices_[kept] = std::move(choices_[i]);
            keys_[kept] = std::move(keys_[i]);
        }
        ++kept;
    }
    choices_.resize(kept);
    keys_.resize(kept);
    for (LearnedChoice& choice : learned)
        Add(std::move(choice));
    TrimOldest();
}

void LearnedChoices::TrimOldest()
{
    if (choices_.size() > kMaxChoices) {
        const auto excess = static_cast<std::ptrdiff_t>(choices_.size() - kMaxChoices);
        choices_.erase(choices_.begin(), choices_.begin() + excess);
        keys_.erase(keys_.begin(), keys_.begin() + excess);
    }
    Reindex();
}

void LearnedChoices::Reindex()
{
    index_.clear();
    for (size_t i = 0; i < keys_.size(); ++i)
        index_[keys_[i]].push_back(i);
}

std::vector<const LearnedChoice*> LearnedChoices::Find(std::string_view form,
                                                       std::string_view header) const
{
    std::vector<const LearnedChoice*> found;
    const auto it = index_.find(IndexKey(form, header));
    if (it == index_.end())
        return found;
    for (auto i = it->second.rbegin(); i != it->second.rend(); ++i)
        found.push_back(&choices_[*i]);
    return found;
}

} // namespace impmap::suggest
