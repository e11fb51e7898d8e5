#pragma once

#include <QMainWindow>
#include <functional>

class QLabel;
class QPlainTextEdit;
class QPrinter;

namespace impmap::gui {

class Prompts;

// The warning log of a run: one line per replaced taxpayer number, shown at the end of a run that
// logged any, with the total in its status bar. It can be printed; closing it discards the lines.
class WarningLog : public QMainWindow
{
    Q_OBJECT

public:
    // Asks the user for a printer; true when printing should go ahead.
    using PrintDialogFunction = std::function<bool(QPrinter& printer, QWidget* parent)>;

    explicit WarningLog(Prompts& prompts, QWidget* parent = nullptr);

    // Empties the log and closes the window.
    void ClearLog();
    // Appends text as a line of its own.
    void AddLine(const QString& text);
    // Lines in the log, a trailing empty line not counted.
    int LineCount() const;
    // The whole log, lines ended by line feeds.
    QString Text() const;
    QString StatusText() const;

    // Shows the window for the lines collected: a beep, five-sixths of the screen centred, the
    // total in the status bar, then the footer lines.
    void ShowLog();

    // The print dialog used by "&Print Warning Log" (tests replace it).
    void SetPrintDialog(PrintDialogFunction dialog) { printDialog_ = std::move(dialog); }
    // Prints the log after the print dialog; nothing when it is cancelled.
    void Print1Click();

    QPlainTextEdit* Editor() const { return editor_; }

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    Prompts& prompts_;
    QPlainTextEdit* editor_ = nullptr;
    QLabel* status_ = nullptr;
    PrintDialogFunction printDialog_;
};

// "Courier New" at 13 pixels, or the system's fixed-pitch font when it is not installed.
QFont WarningLogFont();

} // namespace impmap::gui
