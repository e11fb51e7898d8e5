#include "platform/HelpWindow.h"

#include "platform/AppInfo.h"
#include "platform/Help.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace impmap::gui {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window), browser_(new QTextBrowser)
{
    setWindowTitle(ApplicationTitle() + QStringLiteral(" - Help"));
    resize(560, 480);

    auto* contents = new QPushButton(QStringLiteral("&Contents"));
    auto* back = new QPushButton(QStringLiteral("&Back"));
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, &HelpWindow::ShowContents);
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);
    browser_->setOpenExternalLinks(true);

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
    ShowPage(HelpContentsPath());
}

void HelpWindow::ShowTopic(int context)
{
    QString path = HelpTopicPath(context);
    if (path.isEmpty()) {
        path = HelpTopicPath(kWindowHelpContext);
    }
    ShowPage(path);
}

void HelpWindow::ShowTopicFor(const QWidget* widget)
{
    ShowTopic(HelpContextOf(widget));
}

QUrl HelpWindow::CurrentPage() const
{
    return browser_->source();
}

void HelpWindow::ShowPage(const QString& resourcePath)
{
    // ":/help/x.html" becomes "qrc:/help/x.html", so relative links between pages resolve.
    browser_->setSource(QUrl(QStringLiteral("qrc") + resourcePath));
    show();
    raise();
    activateWindow();
}

} // namespace impmap::gui
