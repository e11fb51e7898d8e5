#include "window/ListPlaceholders.h"

#include "mapping/Workspace.h"
#include "models/WorkspaceSignals.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"

#include <QEvent>
#include <QLabel>
#include <QTreeView>
#include <algorithm>

namespace impmap::gui {

namespace {

constexpr int kMargin = 12;

} // namespace

ListPlaceholders::ListPlaceholders(MainWindowContext& context, QObject* parent)
    : QObject(parent), context_(context)
{
    source_ = Make(context_.ui.lvSource,
                   QStringLiteral("Open your source file with the flashlight button, or drop it "
                                  "here"),
                   "lbSourcePlaceholder");
    destination_ = Make(context_.ui.lvDestination, QStringLiteral("Choose a tax form above"),
                        "lbDestinationPlaceholder");
    connect(&context_.notifier, &WorkspaceSignals::Changed, this, &ListPlaceholders::Refresh);
    Refresh(kChangeAll);
}

QLabel* ListPlaceholders::Make(QTreeView* list, const QString& text, const char* name)
{
    QWidget* area = list->viewport();
    auto* label = new QLabel(text, area);
    label->setObjectName(QString::fromLatin1(name));
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignCenter);
    label->setAttribute(Qt::WA_TransparentForMouseEvents);
    label->setForegroundRole(QPalette::PlaceholderText);
    area->installEventFilter(this);
    Fit(label);
    return label;
}

void ListPlaceholders::Fit(QLabel* label)
{
    // The upper part of the empty list, below where the first rows would stand.
    const QRect area = label->parentWidget()->rect();
    const int height =
        std::min(area.height(), label->heightForWidth(area.width() - 2 * kMargin) + 6 * kMargin);
    label->setGeometry(kMargin, 0, std::max(0, area.width() - 2 * kMargin), height);
}

bool ListPlaceholders::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        for (QLabel* label : {source_, destination_}) {
            if (watched == label->parentWidget())
                Fit(label);
        }
    }
    return false;
}

void ListPlaceholders::Refresh(unsigned changes)
{
    if (!(changes & (kChangeRows | kChangeSettings | kChangeSourceFields | kChangeSourceOpened)))
        return;
    const Workspace& workspace = context_.workspace;
    destination_->setVisible(workspace.FormIndex() < 0);
    source_->setVisible(!workspace.SourceLoaded());
}

} // namespace impmap::gui
