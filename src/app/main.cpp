// The desktop program: one instance per user, its working folders, and the main window.

#include "platform/AppInfo.h"
#include "platform/ErrorDisplay.h"
#include "platform/SingleInstance.h"
#include "platform/WidgetPrompts.h"
#include "platform/WorkingFolders.h"

#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[])
{
    using namespace impmap::gui;

    QApplication app(argc, argv);
    QApplication::setApplicationName(ApplicationTitle());
    QApplication::setOrganizationName(QStringLiteral("VELLORUM"));

    // A second start asks the running instance to show itself and ends without showing anything.
    SingleInstance instance;
    if (instance.Start() == SingleInstance::State::Secondary) {
        return 0;
    }

    const WorkingFolders folders = MakeWorkingFolders(WorkingFoldersBase());

    QMainWindow window;
    window.setWindowTitle(MainWindowCaption());
    window.resize(753, 446);
    QObject::connect(&instance, &SingleInstance::ShowRequested, &window,
                     [&window] { BringToFront(&window); });
    window.show();

    WidgetPrompts prompts(&window);
    if (!folders.exampleError.isEmpty()) {
        ShowError(prompts, folders.exampleError);
    }
    return QApplication::exec();
}
