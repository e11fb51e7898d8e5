#pragma once

#include <QString>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace impmap {
class TinMatchCheck;
class Workspace;
} // namespace impmap

namespace impmap::gui {

class Prompts;

// The TIN Matching results files loaded into the Check All Records report (its "Load TIN
// Matching Results..." button): kept for the source file they were loaded for, and applied to
// every check of it.
class TinMatchResultsLoader
{
public:
    // Notes listed in the box after a check; the rest are counted.
    static constexpr int kNotesListed = 20;

    // Asks for a results file; false when the user cancels. Reads it once, so that a file that
    // cannot be read or a mapping that cannot take it is shown (Rejection, FileError) before it
    // is kept.
    bool Choose(Prompts& prompts, const QString& folder, const Workspace& workspace);

    // The check of the files kept for the workspace's source; none when there are none (files
    // of another source are forgotten). Throws as ReadTinMatchCheck does, and then forgets them.
    std::unique_ptr<TinMatchCheck> Check(const Workspace& workspace);

    // After a check (and TinMatchCheck::Finish): the summary that joins the report's count line
    // ("TIN Matching results: ...").
    static QString Summary(const TinMatchCheck& check);
    // Shows the lines not applied, if any, in one box.
    static void ShowNotes(Prompts& prompts, const TinMatchCheck& check);

private:
    std::vector<std::filesystem::path> files_;
    std::string source_; // the source file they were loaded for
};

} // namespace impmap::gui
