#pragma once

#include <QObject>
#include <QString>

class QModelIndex;

namespace impmap::gui {

struct MainWindowContext;
class SourceSaver;

// The source file and its records as the window shows them: the source file box with its open,
// locate and save buttons, the reading settings and the form box, moving between records (buttons
// on both tabs, keys, Go to, a click in the Source view), deleting a record, the record panes and
// the Source tab.
class SourceController : public QObject
{
    Q_OBJECT

public:
    SourceController(MainWindowContext& context, SourceSaver& sourceSaver,
                     QObject* parent = nullptr);

    // Page Down, Page Up, Home and End act as Next, Previous, First and Last; true when key was
    // one of them (the key is then consumed).
    bool FormKeyDown(int key);

    // "Okay to delete" + what + "?" with Yes and No after a beep; true at once when ask is false.
    bool ConfirmDelete(const QString& what, bool ask);

public slots:
    // The open button: (re)loads the file named in the box, asking first when unsaved edits of
    // the source would be lost.
    void sbOpenSourceClick();
    // The locate button and a double-click on the box: choose a file and load it.
    void edSourceFileButtonClick();
    // Loads a file chosen in the locate dialog or named elsewhere (the command line, a drop, a
    // second start), once unsaved edits of the source may go; a failure is shown.
    void LocateSourceFile(const QString& path);
    // The save button inside the box: writes the records back to the file, asking first when
    // another program changed it since it was loaded.
    void edSourceFileAltBtnClick();
    // The open button and the hints follow the box's text.
    void edSourceFileChange();

    void sbFirstClick();
    void sbPreviousClick();
    void sbNextClick();
    void sbLastClick();
    // Go to: a click on the record number pane or the label "Record".
    void pnRecordClick();
    // A click in the Source view shows the record of the line clicked.
    void reSourceMouseDown(const QModelIndex& index);
    void sbDeleteSourceLineClick();

    void coFormChange(int index);
    void rgDecimalClick(int id);
    void rgTraceClick(int id);
    void rgHeaderClick(int id);
    void cbDelimiterChange(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Connect();
    void Refresh(unsigned changes);
    void ShowSettings();
    void ShowSourceLines();
    void ShowRecordDisplay();
    void ShowRecordLinkHover(bool hovered);

    MainWindowContext& context_;
    SourceSaver& sourceSaver_;
    QString longRecordToldFor_; // the source file for which a record cut was told
};

} // namespace impmap::gui
