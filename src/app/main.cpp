// The desktop program: one instance per user, its working folders, and the main window.

#include "platform/AppInfo.h"
#include "platform/Settings.h"
#include "platform/SingleInstance.h"
#include "platform/WidgetPrompts.h"
#include "platform/WorkingFolders.h"
#include "window/MainWindow.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    using namespace impmap::gui;

    QApplication app(argc, argv);
    SetApplicationIdentity();

    // A second start asks the running instance to show itself and ends without showing anything.
    SingleInstance instance;
    if (instance.Start() == SingleInstance::State::Secondary) {
        return 0;
    }

    // Makes the working folders and the example file, and enters "2022MAPS".
    const WorkingFolders folders = MakeWorkingFolders(WorkingFoldersBase());
    Settings settings;
    WidgetPrompts prompts;
    MainWindow window(prompts, settings, folders);
    prompts.SetParent(&window);
    QObject::connect(&instance, &SingleInstance::ShowRequested, &window,
                     [&window] { BringToFront(&window); });
    window.showMaximized();
    return QApplication::exec();
}
