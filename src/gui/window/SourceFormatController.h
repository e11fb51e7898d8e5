#pragma once

#include <QObject>
#include <QString>

namespace impmap::gui {

struct MainWindowContext;

// What the window tells about the format of the loaded source file: the encoding next to the
// source file box, a notice when an opened file has records broken by line breaks inside quoted
// values or that looks semicolon-delimited, and the Tools menu entry that joins them.
class SourceFormatController : public QObject
{
    Q_OBJECT

public:
    explicit SourceFormatController(MainWindowContext& context, QObject* parent = nullptr);

public slots:
    // Tools > Join Lines Broken Inside Quotes: asks, then joins and saves the source.
    void popupJoinLinesClick();

private:
    void Refresh(unsigned changes);
    void ShowEncoding();
    // The notice that an opened file looks semicolon-delimited, once for the same file.
    void ShowSemicolonNotice();
    // The notice about broken records, once for the same file, first record and count.
    void ShowBrokenLinesNotice();

    MainWindowContext& context_;
    QString lastNotice_;
    QString lastSemicolonNotice_;
};

} // namespace impmap::gui
