#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The help window: a browser for the help pages with Contents and Back buttons. It is a
// top-level window of its own, shown next to the main window and not modal.
namespace impmap::gui {

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the contents page ("&Help").
    void ShowContents();
    // Shows the topic of a context number, or the main window's topic (90) when it has none.
    void ShowTopic(int context);
    // Shows the topic for a control's context number (F1 on the focused control).
    void ShowTopicFor(const QWidget* widget);

    // The page on display, as a "qrc:" URL.
    QUrl CurrentPage() const;

private:
    void ShowPage(const QString& resourcePath);

    QTextBrowser* browser_;
};

} // namespace impmap::gui
