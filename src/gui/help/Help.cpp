#include "help/Help.h"

#include <QFile>
#include <QPoint>
#include <QVariant>
#include <QWhatsThis>
#include <QWidget>

// The help pages are compiled into this static library; referencing the initialiser keeps the
// linker from dropping them. It must be called outside any namespace.
static void InitHelpResources()
{
    Q_INIT_RESOURCE(help);
}

namespace impmap::gui {

namespace {

void EnsureHelpResources()
{
    static const bool done = [] {
        InitHelpResources();
        return true;
    }();
    (void)done;
}

} // namespace

const std::vector<int>& HelpContextNumbers()
{
    static const std::vector<int> numbers{90,  120, 140, 141, 142, 160, 170, 180, 190, 200, 210,
                                          8,   220, 10,  230, 240, 260, 270, 280, 290, 300, 320,
                                          330, 340, 350, 360, 370, 420, 470, 480, 500, 510, 520,
                                          530, 600, 610, 700, 710, 720, 730, 740, 750};
    return numbers;
}

void SetHelpContext(QWidget* widget, int context)
{
    widget->setProperty(kHelpContextProperty, context);
}

int HelpContextOf(const QWidget* widget)
{
    for (const QWidget* w = widget; w != nullptr; w = w->parentWidget()) {
        const int context = w->property(kHelpContextProperty).toInt();
        if (context != 0) {
            return context;
        }
    }
    return kWindowHelpContext;
}

QString HelpTopicPath(int context)
{
    EnsureHelpResources();
    const QString path = QStringLiteral(":/help/topic%1.html").arg(context);
    return QFile::exists(path) ? path : QString();
}

QString HelpContentsPath()
{
    EnsureHelpResources();
    return QStringLiteral(":/help/contents.html");
}

void ApplyWhatsThis(QWidget* root)
{
    if (root == nullptr) {
        return;
    }
    QList<QWidget*> widgets = root->findChildren<QWidget*>();
    widgets.prepend(root);
    for (QWidget* widget : widgets) {
        const int context = widget->property(kHelpContextProperty).toInt();
        if (context != 0) {
            widget->setWhatsThis(WhatsThisText(context));
        }
    }
}

void ShowWhatsThis(const QWidget* widget, const QPoint& globalPosition)
{
    QWhatsThis::showText(globalPosition, WhatsThisText(HelpContextOf(widget)));
}

} // namespace impmap::gui
