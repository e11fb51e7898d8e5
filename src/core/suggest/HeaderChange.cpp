#include "suggest/HeaderChange.h"

#include "convert/Text.h"

#include <algorithm>
#include <cstdlib>

namespace impmap::suggest {
namespace {

bool SameName(const std::string& a, const std::string& b)
{
    return EqualsIgnoreCaseAscii(TrimView(a), TrimView(b));
}

// The column of current (1-based) that bears name and is not taken yet, the nearest to near.
int FindName(const std::vector<std::string>& current, const std::vector<bool>& taken,
             const std::string& name, int near)
{
    int found = 0;
    for (size_t c = 0; c < current.size(); ++c) {
        if (taken[c] || !SameName(current[c], name))
            continue;
        const int column = static_cast<int>(c + 1);
        if (found == 0 || std::abs(column - near) < std::abs(found - near))
            found = column;
    }
    return found;
}

std::string Quoted(const std::string& text)
{
    return "\"" + std::string(TrimView(text)) + "\"";
}

} // namespace

std::vector<HeaderChange> CompareHeaders(const std::vector<std::string>& saved,
                                         const std::vector<std::string>& current)
{
    using Kind = HeaderChange::Kind;
    std::vector<bool> taken(current.size(), false); // a column of today's header accounted for
    std::vector<bool> settled(saved.size(), false); // a saved column that stayed
    for (size_t c = 0; c < saved.size() && c < current.size(); ++c) {
        if (SameName(saved[c], current[c])) {
            taken[c] = true;
            settled[c] = true;
        }
    }
    std::vector<HeaderChange> changes;
    std::vector<int> movedTo(saved.size(), 0);
    for (size_t c = 0; c < saved.size(); ++c) {
        if (settled[c] || TrimView(saved[c]).empty())
            continue;
        const int column = static_cast<int>(c + 1);
        if (const int found = FindName(current, taken, saved[c], column); found != 0) {
            taken[static_cast<size_t>(found - 1)] = true;
            movedTo[c] = found;
        }
    }
    for (size_t c = 0; c < saved.size(); ++c) {
        if (settled[c] || TrimView(saved[c]).empty())
            continue;
        const int column = static_cast<int>(c + 1);
        if (movedTo[c] != 0) {
            changes.push_back({Kind::Moved, column, movedTo[c], saved[c], {}});
        } else if (c < current.size() && !taken[c]) {
            taken[c] = true;
            changes.push_back({Kind::Renamed, column, column, saved[c], current[c]});
        } else {
            changes.push_back({Kind::Gone, column, 0, saved[c], {}});
        }
    }
    for (size_t c = 0; c < current.size(); ++c) {
        if (!taken[c] && !TrimView(current[c]).empty())
            changes.push_back({Kind::Added, static_cast<int>(c + 1), 0, {}, current[c]});
    }
    std::stable_sort(
        changes.begin(), changes.end(),
        [](const HeaderChange& a, const HeaderChange& b) { return a.column < b.column; });
    return changes;
}

std::string DescribeHeaderChanges(const std::vector<HeaderChange>& changes, size_t limit)
{
    using Kind = HeaderChange::Kind;
    std::string text;
    const size_t named = std::min(limit, changes.size());
    for (size_t i = 0; i < named; ++i) {
        const HeaderChange& change = changes[i];
        const std::string column = (i == 0 ? "Column " : "column ") + std::to_string(change.column);
        if (i > 0)
            text += "; ";
        switch (change.kind) {
        case Kind::Renamed:
            text += column + " was " + Quoted(change.before) + ", now " + Quoted(change.after);
            break;
        case Kind::Moved:
            text += column + " " + Quoted(change.before) + " is now column " +
                    std::to_string(change.newColumn);
            break;
        case Kind::Gone:
            text += column + " " + Quoted(change.before) + " is gone";
            break;
        case Kind::Added:
            text += column + " " + Quoted(change.after) + " is new";
            break;
        }
    }
    if (changes.size() > named) {
        const size_t more = changes.size() - named;
        text += "; and " + std::to_string(more) + (more == 1 ? " more change" : " more changes");
    }
    if (!text.empty())
        text += ".";
    return text;
}

} // namespace impmap::suggest
