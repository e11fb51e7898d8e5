#pragma once

#include <QUrl>
#include <QWidget>

class QTextBrowser;

// The help window: a browser for the help pages and the user manual, with Contents and Back
// buttons. It is a top-level window of its own, not modal; it first opens centred on the window
// it belongs to, wide enough for its title.
namespace impmap::gui {

class HelpWindow : public QWidget
{
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows the contents page ("&Help").
    void ShowContents();
    // Shows the user manual ("Manual").
    void ShowManual();
    // Shows the topic of a context number, or the main window's topic (90) when it has none.
    void ShowTopic(int context);
    // Shows the topic for a control's context number (F1 on the focused control).
    void ShowTopicFor(const QWidget* widget);

    // The page on display, as a "qrc:" URL.
    QUrl CurrentPage() const;

private:
    void ShowPage(const QUrl& page);
    void PlaceFirstTime();

    QTextBrowser* browser_;
    bool placed_ = false;
};

} // namespace impmap::gui
