#include "execute/WarningLog.h"

#include "prompts/Prompts.h"

#include <QCloseEvent>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>

namespace impmap::gui {

namespace {

constexpr int kFontPixels = 13;

bool RunPrintDialog(QPrinter& printer, QWidget* parent)
{
    QPrintDialog dialog(&printer, parent);
    // Kept above the log window, which may itself be above others.
    dialog.setWindowFlag(Qt::WindowStaysOnTopHint, true);
    return dialog.exec() == QDialog::Accepted;
}

} // namespace

QFont WarningLogFont()
{
    const QString family = QStringLiteral("Courier New");
    QFont font(family);
    font.setPixelSize(kFontPixels);
    if (QFontInfo(font).family().compare(family, Qt::CaseInsensitive) == 0)
        return font;
    QFont fixed = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    fixed.setPixelSize(kFontPixels);
    return fixed;
}

WarningLog::WarningLog(Prompts& prompts, QWidget* parent)
    : QMainWindow(parent), prompts_(prompts), printDialog_(RunPrintDialog)
{
    setObjectName(QStringLiteral("fmErrorLog"));
    setWindowTitle(QStringLiteral("Warning Log"));
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(559, 350);

    editor_ = new QPlainTextEdit(this);
    editor_->setObjectName(QStringLiteral("REdit"));
    editor_->setReadOnly(true);
    editor_->setLineWrapMode(QPlainTextEdit::NoWrap);
    editor_->setFont(WarningLogFont());
    editor_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    editor_->setUndoRedoEnabled(false);
    setCentralWidget(editor_);

    // A label of its own, so that menu hints never wipe the total.
    status_ = new QLabel(this);
    statusBar()->setObjectName(QStringLiteral("StatusBar1"));
    statusBar()->addWidget(status_, 1);

    // A menu bar shows an item's picture in place of its caption, so the item has none.
    QAction* print = menuBar()->addAction(QStringLiteral("&Print Warning Log"));
    print->setObjectName(QStringLiteral("Print1"));
    connect(print, &QAction::triggered, this, &WarningLog::Print1Click);

    // Esc closes the window whichever of its controls has the focus.
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    escape->setContext(Qt::WindowShortcut);
    connect(escape, &QShortcut::activated, this, &QWidget::close);
}

void WarningLog::ClearLog()
{
    editor_->clear();
    editor_->moveCursor(QTextCursor::End);
    close();
}

void WarningLog::AddLine(const QString& text)
{
    QTextCursor cursor(editor_->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text + u'\n');
}

int WarningLog::LineCount() const
{
    const QTextDocument* document = editor_->document();
    int count = document->blockCount();
    if (document->lastBlock().text().isEmpty())
        --count;
    return count;
}

QString WarningLog::Text() const
{
    return editor_->toPlainText();
}

QString WarningLog::StatusText() const
{
    return status_->text();
}

void WarningLog::ShowLog()
{
    prompts_.Beep();
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->geometry();
        const int width = area.width() * 5 / 6;
        const int height = area.height() * 5 / 6;
        resize(width, height);
        move(area.x() + (area.width() - width) / 2, area.y() + (area.height() - height) / 2);
    }
    status_->setText(QStringLiteral(" TOTAL WARNINGS: ") + QString::number(LineCount()));
    AddLine(QString());
    AddLine(QStringLiteral("End of ") + windowTitle());
    show();
    raise();
    activateWindow();
}

void WarningLog::Print1Click()
{
    QPrinter printer;
    printer.setDocName(windowTitle());
    if (!printDialog_(printer, this))
        return;
    editor_->print(&printer);
}

void WarningLog::closeEvent(QCloseEvent* event)
{
    if (!editor_->document()->isEmpty())
        editor_->clear();
    QMainWindow::closeEvent(event);
}

} // namespace impmap::gui
