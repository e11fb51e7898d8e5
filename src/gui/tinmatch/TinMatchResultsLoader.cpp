#include "tinmatch/TinMatchResultsLoader.h"

#include "mapping/Workspace.h"
#include "prompts/Prompts.h"
#include "tinmatch/TinMatchCheck.h"

#include <QStringList>
#include <algorithm>

namespace impmap::gui {

bool TinMatchResultsLoader::Choose(Prompts& prompts, const QString& folder,
                                   const Workspace& workspace)
{
    const std::optional<QString> path = prompts.OpenFileName(
        QStringLiteral("Load TIN Matching Results..."), folder,
        QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*"), QString());
    if (!path || path->isEmpty())
        return false;
    const std::filesystem::path file(path->toStdU16String());
    ReadTinMatchCheck(workspace, {file});
    if (source_ != workspace.SourcePath()) {
        files_.clear();
        source_ = workspace.SourcePath();
    }
    if (std::find(files_.begin(), files_.end(), file) == files_.end())
        files_.push_back(file);
    return true;
}

std::unique_ptr<TinMatchCheck> TinMatchResultsLoader::Check(const Workspace& workspace)
{
    if (source_ != workspace.SourcePath())
        files_.clear();
    if (files_.empty())
        return nullptr;
    try {
        return ReadTinMatchCheck(workspace, files_);
    } catch (...) {
        // Shown once; the next check goes on without them.
        files_.clear();
        throw;
    }
}

QString TinMatchResultsLoader::Summary(const TinMatchCheck& check)
{
    return QString::fromUtf8(TinMatchSummary(check));
}

void TinMatchResultsLoader::ShowNotes(Prompts& prompts, const TinMatchCheck& check)
{
    const TinMatchNotes& notes = check.Notes();
    if (notes.Count() == 0)
        return;
    QStringList lines{Summary(check) + QStringLiteral(":"), QString()};
    const auto listed = std::min<size_t>(notes.Listed().size(), kNotesListed);
    for (size_t i = 0; i < listed; ++i)
        lines << QString::fromUtf8(notes.Listed()[i]);
    if (static_cast<size_t>(notes.Count()) > listed)
        lines << QStringLiteral("... and %1 more").arg(notes.Count() - static_cast<long>(listed));
    prompts.Information(lines.join(QStringLiteral("\r\n")), QStringLiteral("TIN Matching Results"));
}

} // namespace impmap::gui
