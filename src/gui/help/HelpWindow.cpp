#include "help/HelpWindow.h"

#include "help/Help.h"
#include "help/UserManual.h"
#include "platform/AppInfo.h"
#include "prompts/TitleWidth.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <algorithm>

namespace impmap::gui {

namespace {

constexpr int kLeastWidth = 560;
constexpr int kLeastHeight = 480;

// A browser that serves the user manual, built when it is asked for, beside the help pages.
class HelpBrowser : public QTextBrowser
{
public:
    QVariant loadResource(int type, const QUrl& name) override
    {
        if (type == QTextDocument::HtmlResource &&
            name == QUrl(QString::fromLatin1(kUserManualPage)))
            return UserManualHtml();
        return QTextBrowser::loadResource(type, name);
    }
};

} // namespace

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new HelpBrowser)
{
    setWindowTitle(ApplicationTitle() + QStringLiteral(" - Help"));
    resize(std::max(kLeastWidth, WidthForTitle(windowTitle())), kLeastHeight);

    auto* contents = new QPushButton(QStringLiteral("&Contents"));
    auto* back = new QPushButton(QStringLiteral("&Back"));
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    browser_->setOpenExternalLinks(true);

    // Esc closes the help window, as it closes the main window.
    connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
            &QWidget::close);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
}

void HelpWindow::ShowContents()
{
    ShowPage(QUrl(QStringLiteral("qrc") + HelpContentsPath()));
}

void HelpWindow::ShowManual()
{
    ShowPage(QUrl(QString::fromLatin1(kUserManualPage)));
}

void HelpWindow::ShowTopic(int context)
{
    QString path = HelpTopicPath(context);
    if (path.isEmpty()) {
        path = HelpTopicPath(kWindowHelpContext);
    }
    ShowPage(QUrl(QStringLiteral("qrc") + path));
}

void HelpWindow::ShowTopicFor(const QWidget* widget)
{
    ShowTopic(HelpContextOf(widget));
}

QUrl HelpWindow::CurrentPage() const
{
    return browser_->source();
}

void HelpWindow::PlaceFirstTime()
{
    if (placed_)
        return;
    placed_ = true;
    const QWidget* owner = parentWidget();
    if (owner == nullptr || !owner->isVisible())
        return;
    QRect frame = geometry();
    frame.moveCenter(owner->geometry().center());
    move(frame.topLeft());
}

void HelpWindow::ShowPage(const QUrl& page)
{
    // Pages are "qrc:" URLs, so relative links between them resolve. A page starts at its top,
    // also when it was on display already, scrolled.
    browser_->setSource(page);
    if (!page.hasFragment())
        browser_->verticalScrollBar()->setValue(0);
    PlaceFirstTime();
    show();
    raise();
    activateWindow();
}

} // namespace impmap::gui
