#pragma once

// The main window's controls built by the real layout, the list models, a workspace opened on a
// temporary source file and mapped onto 1099-MISC, scripted prompts and the execute controller.
// Shared by the execute tests.

#include "execute/ExecuteController.h"
#include "execute/ExecuteDialog.h"
#include "execute/WarningLog.h"
#include "mapping/Workspace.h"
#include "models/DestinationRowsModel.h"
#include "models/LinesModel.h"
#include "models/SourceFieldsModel.h"
#include "models/WorkspaceSignals.h"
#include "platform/AppInfo.h"
#include "schema/FormCatalogue.h"
#include "settings/Settings.h"
#include "support/ScriptedPrompts.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowLayout.h"
#include "window/MainWindowUi.h"

#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLineEdit>
#include <QListView>
#include <QMainWindow>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeView>
#include <algorithm>
#include <functional>
#include <memory>

namespace impmap::gui::testing {

inline const QByteArray kHeaderLine = "NAME,TIN,RENTS,DP\r\n";

// A good record n: name, a valid taxpayer number, an amount and a delivery point.
inline QByteArray GoodRecord(int n)
{
    return "Payee " + QByteArray::number(n) + "," + QByteArray::number(100000000 + n) + "," +
           QByteArray::number(n) + ".50,12\r\n";
}

// The header line followed by count records, record n given by make(n) (GoodRecord by default).
inline QByteArray Records(int count, const std::function<QByteArray(int)>& make = GoodRecord)
{
    QByteArray bytes = kHeaderLine;
    for (int n = 1; n <= count; ++n)
        bytes += make(n);
    return bytes;
}

// The output line of GoodRecord(n): the 40 values of 1099-MISC, the unmapped amounts as 0.
inline QByteArray GoodLine(int n)
{
    return "\"Payee " + QByteArray::number(n) + "\",,,,,,,12,,,N/A," +
           QByteArray::number(100000000 + n) + ",,,,,," + QByteArray::number(n) +
           ".5,0,0,0,0,0,,0,0,0,0,0,0,0,,0,0,,0,0,,,";
}

// The rows of a view's model, each as its cells joined by "|".
inline QStringList Rows(const QAbstractItemModel* model)
{
    QStringList rows;
    for (int r = 0; r < model->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < model->columnCount(); ++c)
            cells << model->index(r, c).data().toString();
        rows << cells.join(u'|');
    }
    return rows;
}

// The prompts as the user meets them.
inline AskedPrompt BeepPrompt()
{
    AskedPrompt beep;
    beep.kind = PromptKind::Beep;
    return beep;
}

inline AskedPrompt InformationPrompt(const QString& text)
{
    return AskedMessage(
        {QStringLiteral("Information"), text, Icon::Information, {Button::Ok}, Button::Ok, false});
}

inline AskedPrompt ErrorPrompt(const QString& text)
{
    return AskedMessage(
        {ApplicationTitle(), text, Icon::Critical, {Button::Ok}, Button::Ok, false});
}

inline AskedPrompt InstructionsPrompt(const QString& text)
{
    return AskedMessage(MessageBoxRequest(text, QStringLiteral("Importing Instructions"), 1, 0, 2));
}

inline AskedPrompt SavePrompt(const QString& folder, const QString& proposedName)
{
    AskedPrompt save;
    save.kind = PromptKind::SaveFile;
    save.title = QStringLiteral("Save output...");
    save.folder = folder;
    save.filter = QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");
    save.defaultSuffix = QStringLiteral("TXT");
    save.initial = proposedName;
    return save;
}

// The instructions for a general form saved as fileName in folder.
inline QString GeneralInstructions(const QString& fileName, const QString& folder,
                                   const QString& form)
{
    return QStringLiteral("Destination has been saved in\r\n\r\nFILE:  ") + fileName +
           QStringLiteral("\r\nPATH:  ") + folder +
           QStringLiteral("\r\n\r\nTo import this file\r\n\r\n1) Start VELLORUM\r\n"
                          "2) From the 'Module' menu, select 'Client (Filer, Entity) "
                          "Management'\r\n3) Select the client to be used\r\n4) Select Form ") +
           form +
           QStringLiteral("\r\n5) From the 'File' menu, select 'Import ASCII Text File'\r\n"
                          "6) Open the FILE in the PATH specified above.");
}

// The prompts asked were exactly these, in this order.
inline void VerifyAsked(const ScriptedPrompts& prompts, const std::vector<AskedPrompt>& expected)
{
    const std::vector<AskedPrompt>& asked = prompts.Asked();
    for (size_t i = 0; i < std::max(asked.size(), expected.size()); ++i) {
        const QString actual = i < asked.size() ? Describe(asked[i]) : QStringLiteral("(none)");
        const QString wanted =
            i < expected.size() ? Describe(expected[i]) : QStringLiteral("(none)");
        QCOMPARE(actual, wanted);
        QVERIFY(asked[i] == expected[i]);
    }
}

// Prompts that also run a check at the moment the save dialog is asked for.
class ObservedPrompts : public ScriptedPrompts
{
public:
    std::function<void()> onSave;

    std::optional<QString> SaveFileName(const QString& title, const QString& folder,
                                        const QString& filter, const QString& defaultSuffix,
                                        const QString& proposedName,
                                        int selectedFilterIndex = 0) override
    {
        if (onSave)
            onSave();
        return ScriptedPrompts::SaveFileName(title, folder, filter, defaultSuffix, proposedName,
                                             selectedFilterIndex);
    }
};

class ExecuteFixture
{
public:
    // The four fields are mapped onto their 1099-MISC rows.
    explicit ExecuteFixture(const QByteArray& source, HeaderMode header = HeaderMode::Skip)
    {
        qputenv("IMPMAP_HOME", dir.path().toLocal8Bit());
        sourcePath = dir.filePath(QStringLiteral("PAYEES.CSV"));
        WriteFile(sourcePath, source);
        folders.saveOutput = dir.path();

        BuildMainWindowLayout(window, ui);
        ui.lvSource->setModel(new SourceFieldsModel(workspace, notifier, ui.lvSource));
        ui.lvDestination->setModel(new DestinationRowsModel(workspace, notifier, ui.lvDestination));

        workspace.SetHeader(header);
        workspace.SetSourcePath(sourcePath.toStdString());
        workspace.OpenSource();
        workspace.ChooseForm(FindFormIndex("1099-MISC"));
        Map("Name line 1", 1);
        Map("Taxpayer id", 2);
        Map("Rents", 3);
        Map("USPS Delivery Point", 4);
        controller = std::make_unique<ExecuteController>(context);
        window.show();
    }

    static void WriteFile(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }

    static QByteArray ReadFile(const QString& path)
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    int RowOf(const char* caption) const
    {
        const auto& rows = workspace.Rows();
        for (size_t i = 0; i < rows.size(); ++i) {
            if (rows[i].caption == caption)
                return static_cast<int>(i);
        }
        return -1;
    }

    void Map(const char* caption, int field) { workspace.AssignSourceField(RowOf(caption), field); }

    bool OutputTabVisible() const { return ui.tabs->isTabVisible(ui.tabs->indexOf(ui.tabOutput)); }
    int OutputRows() const { return ui.reOutput->model()->rowCount(); }
    ExecuteDialog& Dialog() const { return controller->ProgressDialog(); }
    WarningLog& Log() const { return controller->Log(); }

    // The window after a run: shown, every control back, nothing left busy.
    void VerifyRestored() const
    {
        QVERIFY(window.isVisible());
        QVERIFY(!controller->Busy());
        QVERIFY(!workspace.Executing());
        QVERIFY(!Dialog().isVisible());
        const std::vector<QWidget*> settings{ui.coForm, ui.edSourceFile, ui.cbDelimiter,
                                             ui.rgHeader};
        for (QWidget* control : settings)
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
        const std::vector<QWidget*> shown{ui.sbFirst, ui.sbSourceLast, ui.bExecute,     ui.bTools,
                                          ui.bHelp,   ui.lvSource,     ui.lvDestination};
        for (QWidget* control : shown)
            QVERIFY2(!control->isHidden(), qPrintable(control->objectName()));
    }

    QTemporaryDir dir;
    QString sourcePath;
    Workspace workspace;
    WorkspaceSignals notifier{workspace};
    ObservedPrompts prompts;
    Settings settings{dir.filePath(QStringLiteral("settings.ini"))};
    QMainWindow window;
    MainWindowUi ui;
    DialogFolders folders;
    UndoHistory undo{workspace, notifier, prompts};
    MainWindowContext context{workspace, notifier, prompts, settings, ui, window, folders, undo};
    std::unique_ptr<ExecuteController> controller;
};

} // namespace impmap::gui::testing
