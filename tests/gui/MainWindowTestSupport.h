#pragma once

// A main window started in a fresh temporary home, for the window's tests: its own settings file,
// working folders and scripted prompts.

#include "mapping/Workspace.h"
#include "platform/AppInfo.h"
#include "schema/FormCatalogue.h"
#include "settings/Settings.h"
#include "settings/WorkingFolders.h"
#include "support/ScriptedPrompts.h"
#include "window/MainWindow.h"
#include "window/MainWindowUi.h"
#include "window/MapFileController.h"
#include "window/SourceController.h"

#include <QAction>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <functional>
#include <memory>
#include <string_view>

namespace impmap::gui::testing {

// Scripted prompts that can look at the window while a message box is up.
class WatchedPrompts : public ScriptedPrompts
{
public:
    std::function<void()> onMessage;

    Button Message(const MessageRequest& request) override
    {
        if (onMessage)
            onMessage();
        return ScriptedPrompts::Message(request);
    }
};

inline const QString kTitle = QStringLiteral("Vellorum - 2022 Import Mapping Utility");
inline const QString kCaption = kTitle + QStringLiteral(" 31.00");

// A comma file with a header line and three records.
inline const QByteArray kPayees = "Name,TIN,Amount,City\r\n"
                                  "Ann,123-45-6789,100,Albany\r\n"
                                  "Bob,987-65-4321,200.5,Boston\r\n"
                                  "Cy,111-22-3333,3,Chicago\r\n";

// The user chooses the form of this name in the Tax Form list.
inline void ChooseForm(MainWindow& window, std::string_view name)
{
    const int index = FindFormIndex(name);
    if (index < 0)
        qFatal("no form is named %.*s", static_cast<int>(name.size()), name.data());
    window.Sources().coFormChange(index);
}

inline AskedPrompt Message(const QString& title, const QString& text, Icon icon,
                           std::vector<Button> buttons, Button defaultButton,
                           bool foreground = false)
{
    return AskedMessage({title, text, icon, std::move(buttons), defaultButton, foreground});
}

inline AskedPrompt ErrorBox(const QString& text)
{
    return Message(kTitle, text, Icon::Critical, {Button::Ok}, Button::Ok);
}

inline AskedPrompt SaveMapDialog(const QString& folder, const QString& proposed)
{
    AskedPrompt prompt;
    prompt.kind = PromptKind::SaveFile;
    prompt.title = QStringLiteral("Save mapping...");
    prompt.folder = folder;
    prompt.filter = QStringLiteral("Vellorum Map File (*.MAP)|*.MAP");
    prompt.defaultSuffix = QStringLiteral("MAP");
    prompt.initial = proposed;
    return prompt;
}

inline AskedPrompt AskSaveMappingBox()
{
    return Message(QStringLiteral("Confirm"),
                   QStringLiteral("Do you want to save the current mapping?"), Icon::Question,
                   {Button::Yes, Button::No, Button::Cancel}, Button::Yes);
}

class WindowFixture
{
public:
    WindowFixture()
    {
        QStandardPaths::setTestModeEnabled(true);
        qputenv("IMPMAP_HOME", QFile::encodeName(home_.path()));
        settings_ = std::make_unique<Settings>(home_.filePath(QStringLiteral("VELLORUM.ini")));
    }

    ~WindowFixture()
    {
        window_.reset();
        QDir::setCurrent(QDir::tempPath());
        qunsetenv("IMPMAP_HOME");
    }

    WindowFixture(const WindowFixture&) = delete;
    WindowFixture& operator=(const WindowFixture&) = delete;

    // Makes the working folders and the window, and shows it unless told otherwise.
    MainWindow& Start(bool show = true)
    {
        folders_ = MakeWorkingFolders(WorkingFoldersBase());
        window_ = std::make_unique<MainWindow>(prompts_, *settings_, folders_);
        if (show)
            window_->show();
        return *window_;
    }

    // Ends the window without the close handling, then starts a new one on the same settings
    // (shown unless told otherwise).
    MainWindow& Restart(bool show = true)
    {
        window_.reset();
        return Start(show);
    }

    // The window's close request, as the close box makes it; true when the window closed.
    bool Close() { return window_->close(); }

    MainWindow& Window() { return *window_; }
    MainWindowUi& Ui() { return window_->Ui(); }
    Workspace& Work() { return window_->Workspace(); }
    WatchedPrompts& Prompts() { return prompts_; }
    Settings& Stored() { return *settings_; }
    const WorkingFolders& Folders() const { return folders_; }

    QString Home() const { return QDir::toNativeSeparators(home_.path()); }
    QString Maps() const
    {
        return QDir::toNativeSeparators(home_.filePath(QStringLiteral("2022MAPS")));
    }

    // Writes bytes to a file in the home folder; returns its full native path.
    QString WriteFile(const QString& name, const QByteArray& bytes) const
    {
        const QString path = home_.filePath(name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write the test file %s", qPrintable(path));
        return QDir::toNativeSeparators(path);
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
    }

    // Loads a source file through the locate button, as the user does.
    void Locate(const QString& path)
    {
        prompts_.Enter(path);
        window_->Sources().edSourceFileButtonClick();
    }

    // Loads kPayees and chooses 1099-NEC: both lists filled, the mapping changed.
    QString LoadPayees(const QString& name = QStringLiteral("payees.csv"))
    {
        const QString path = WriteFile(name, kPayees);
        Locate(path);
        ChooseForm(*window_, "1099-NEC");
        return path;
    }

private:
    QTemporaryDir home_;
    WatchedPrompts prompts_;
    std::unique_ptr<Settings> settings_;
    WorkingFolders folders_;
    std::unique_ptr<MainWindow> window_;
};

} // namespace impmap::gui::testing
