#pragma once

namespace impmap::gui {

struct MainWindowContext;

// Writing the user's edits of the source file back: Save Source, which first notices a file that
// another program changed since it was loaded, and the question before the edits would be lost
// (Close, opening another source or map).
class SourceSaver
{
public:
    explicit SourceSaver(MainWindowContext& context) : context_(context) {}

    enum class Outcome
    {
        Saved,     // the edits are in the file
        Reloaded,  // the user chose the file as it is now: the edits were dropped
        Cancelled, // the user stopped; the edits stay unsaved
        Failed     // the failure was shown; the edits stay unsaved
    };
    // Save Source. A text file changed on the disk since it was loaded asks whether to overwrite
    // it, reload it (dropping the edits) or cancel; a workbook offers to save the sheet as text.
    Outcome Save();
    // "Do you want to save the changes to the source file?" with Yes, No and Cancel, when the
    // source has unsaved edits: true when the caller may drop them. Yes saves first, and only a
    // save that wrote the file or reloaded it lets the caller go on.
    bool MayDropSourceEdits();

private:
    MainWindowContext& context_;
};

} // namespace impmap::gui
