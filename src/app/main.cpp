// The desktop program: one instance per user, its working folders, and the main window. A file
// named on the command line (a map file, or a source file) opens in it; a later start hands its
// file to the running window.

#include "desktop/DesktopFiles.h"
#include "platform/AppInfo.h"
#include "platform/SingleInstance.h"
#include "prompts/WidgetPrompts.h"
#include "settings/Settings.h"
#include "settings/WorkingFolders.h"
#include "window/MainWindow.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFileInfo>

int main(int argc, char* argv[])
{
    using namespace impmap::gui;

    QApplication app(argc, argv);
    SetApplicationIdentity();

    QCommandLineParser parser;
    parser.setApplicationDescription(ApplicationTitle());
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"),
                                 QStringLiteral("A map file (.MAP) or a source file to open."),
                                 QStringLiteral("[FILE]"));
    parser.process(app);
    // Resolved here, before the program enters its working folder.
    const QStringList files = parser.positionalArguments();
    const QString file = files.isEmpty() ? QString() : QFileInfo(files.first()).absoluteFilePath();

    // A second start asks the running instance to show itself and open the file, and ends
    // without showing anything.
    SingleInstance instance;
    if (instance.Start(file) == SingleInstance::State::Secondary) {
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
    QObject::connect(&instance, &SingleInstance::OpenRequested, &window,
                     [&window](const QString& path) { window.Desktop().Open(path); });
    window.Desktop().SetStartFile(file);
    window.showMaximized();
    return QApplication::exec();
}
