#pragma once

#include <QString>
#include <functional>
#include <optional>
#include <string>

namespace impmap {
struct JoinedLines;
}

namespace impmap::gui {

struct MainWindowContext;

// Loading and saving a large source file without holding the window: the file is read or written
// on a worker thread (see BackgroundTask), and the workspace takes the result on the window's
// thread.

// Runs operation, one of whose steps loads the source file at path (the sheet named by sheet of
// a workbook), with that file read first on a worker under a progress dialog whose title says
// action ("Opening", "Reloading") and the file's name. False when the user cancelled the read:
// operation did not run and nothing changed. A read that failed fails the load inside operation,
// as a load that reads the file itself does.
bool LoadSourceInBackground(MainWindowContext& context, const QString& action,
                            const std::string& path, const std::string& sheet,
                            const std::function<void()>& operation, bool cancellable = true);

// The same for the source file the workspace names, when it has a loaded source that operation
// (a Header or Delimiter change) reads again; otherwise operation runs at once. An operation
// that must not be cancelled (undo and redo) gets a progress dialog without Cancel.
bool ReloadSourceInBackground(MainWindowContext& context, const std::function<void()>& operation,
                              bool cancellable = true);

// Save Source with its bytes made and written on a worker, after first when given (more work for
// the worker before the bytes are made). False when the user cancelled: the file stays as it was
// and the edits unsaved. Throws what Workspace::SaveSource throws.
bool SaveSourceInBackground(MainWindowContext& context, const std::function<void()>& first = {});

// Workspace::JoinLinesBrokenInsideQuotes with the joining, the backup, the save and the reload on
// a worker. Nothing when the user cancelled: while joining, nothing changed; while saving, the
// joined records stay unsaved and the file as it was. Throws what the workspace's steps throw.
std::optional<JoinedLines> JoinLinesInBackground(MainWindowContext& context);

// Runs operation, which shows record n (1-based): a record of many megabytes is first split into
// its fields on a worker, so that showing it copies nothing on the window's thread. A record out
// of range, or a short one, is left to operation.
void ShowRecordInBackground(MainWindowContext& context, long n,
                            const std::function<void()>& operation);

} // namespace impmap::gui
