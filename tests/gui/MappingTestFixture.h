#pragma once

// The controls the mapping controller works with, on a workspace opened on a temporary source
// file, with scripted prompts. Shared by the mapping tests.

#include "mapping/Workspace.h"
#include "models/DestinationRowsModel.h"
#include "models/SourceFieldsModel.h"
#include "models/WorkspaceSignals.h"
#include "schema/FormCatalogue.h"
#include "settings/Settings.h"
#include "support/ScriptedPrompts.h"
#include "undo/UndoHistory.h"
#include "window/MainWindowContext.h"
#include "window/MainWindowUi.h"
#include "window/MappingController.h"

#include <QAction>
#include <QFile>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>
#include <QVBoxLayout>
#include <algorithm>
#include <memory>

namespace impmap::gui::testing {

// Header record and one data record; field 3 is blank, field 2 has blanks around it.
inline const QByteArray kSource =
    "Client ID\tName line 1\tName line 2\tEmployer id\tname CONTROL\tCount\r\n"
    "C1\t Acme Corp \t\t12-3456789\tACME\t25\r\n";

inline int AleGroup()
{
    return FindFormIndex("ALE Group");
}

class MappingFixture
{
public:
    explicit MappingFixture(const QByteArray& source = kSource, int form = AleGroup())
    {
        sourcePath = dir.filePath(QStringLiteral("SOURCE.TXT"));
        QFile file(sourcePath);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(source);
        }
        file.close();
        folders.headers = dir.filePath(QStringLiteral("HEADERS"));

        BuildWidgets();
        workspace.SetSourcePath(sourcePath.toStdString());
        workspace.OpenSource();
        if (form >= 0) {
            workspace.ChooseForm(form);
        }
        workspace.GoToRecord(2);
        controller = std::make_unique<MappingController>(context);
        window.resize(900, 500);
        window.show();
        (void)QTest::qWaitForWindowExposed(&window);
    }

    QWidget* SourceViewport() const { return ui.lvSource->viewport(); }
    QWidget* DestinationViewport() const { return ui.lvDestination->viewport(); }

    // The centre of a row in a list's viewport.
    static QPoint RowCentre(QTreeView* view, int row)
    {
        return view->visualRect(view->model()->index(row, 0)).center();
    }

    // A double click as the window system delivers it: press, release, double-click, release.
    static void DoubleClick(QWidget* viewport, const QPoint& pos)
    {
        QTest::mousePress(viewport, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, pos);
        QTest::mouseDClick(viewport, Qt::LeftButton, {}, pos);
        QTest::mouseRelease(viewport, Qt::LeftButton, {}, pos);
    }

    const DestinationRow& Row(int row) const { return workspace.Rows()[static_cast<size_t>(row)]; }

    void Select(QTreeView* view, int row)
    {
        view->selectionModel()->setCurrentIndex(view->model()->index(row, 0),
                                                QItemSelectionModel::ClearAndSelect |
                                                    QItemSelectionModel::Rows);
    }

    QList<int> SelectedRows(QTreeView* view) const
    {
        QList<int> rows;
        for (const QModelIndex& index : view->selectionModel()->selectedRows()) {
            rows << index.row();
        }
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QTemporaryDir dir;
    QString sourcePath;
    Workspace workspace;
    WorkspaceSignals notifier{workspace};
    ScriptedPrompts prompts;
    Settings settings{dir.filePath(QStringLiteral("settings.ini"))};
    QMainWindow window;
    MainWindowUi ui;
    DialogFolders folders;
    UndoHistory undo{workspace, notifier, prompts};
    MainWindowContext context{workspace, notifier, prompts, settings, ui, window, folders, undo};
    std::unique_ptr<MappingController> controller;

private:
    void BuildWidgets()
    {
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        auto* lists = new QHBoxLayout;
        layout->addLayout(lists);
        ui.lvSource = new QTreeView(central);
        ui.lvDestination = new QTreeView(central);
        ui.lvSource->setModel(new SourceFieldsModel(workspace, notifier, ui.lvSource));
        ui.lvDestination->setModel(new DestinationRowsModel(workspace, notifier, ui.lvDestination));
        for (QTreeView* view : {ui.lvSource, ui.lvDestination}) {
            view->setRootIsDecorated(false);
            view->setUniformRowHeights(true);
            view->setSelectionBehavior(QAbstractItemView::SelectRows);
            view->setSelectionMode(QAbstractItemView::SingleSelection);
            lists->addWidget(view);
        }
        ui.bTools = new QPushButton(QStringLiteral("&Tools"), central);
        layout->addWidget(ui.bTools);
        ui.popupTools = new QMenu(central);
        ui.popupMapByName = ui.popupTools->addAction(QStringLiteral("Map by &Name"));
        ui.popupResetMapping = ui.popupTools->addAction(QStringLiteral("&Reset This Mapping"));
        ui.popupCreateHeader = ui.popupTools->addAction(QStringLiteral("Create Header"));
        window.setCentralWidget(central);
    }
};

// A message box as the prompts record it.
inline AskedPrompt MessageBox(QString title, QString text, Icon icon, std::vector<Button> buttons,
                              Button defaultButton, bool foreground)
{
    return AskedMessage(
        {std::move(title), std::move(text), icon, std::move(buttons), defaultButton, foreground});
}

inline AskedPrompt ErrorBox(const QString& text)
{
    return MessageBox(QStringLiteral("Vellorum - 2022 Import Mapping Utility"), text,
                      Icon::Critical, {Button::Ok}, Button::Ok, false);
}

inline AskedPrompt InputBox(QString title, QString prompt, QString initial)
{
    AskedPrompt asked;
    asked.kind = PromptKind::InputText;
    asked.title = std::move(title);
    asked.text = std::move(prompt);
    asked.initial = std::move(initial);
    return asked;
}

inline AskedPrompt BeepPrompt()
{
    AskedPrompt asked;
    asked.kind = PromptKind::Beep;
    return asked;
}

inline QStringList Described(const std::vector<AskedPrompt>& prompts)
{
    QStringList lines;
    for (const AskedPrompt& prompt : prompts) {
        lines << Describe(prompt);
    }
    return lines;
}

} // namespace impmap::gui::testing

// Compares the prompts asked with the expected ones, showing both readably when they differ.
#define COMPARE_PROMPTS(actual, ...)                                                               \
    do {                                                                                           \
        const std::vector<impmap::gui::AskedPrompt> expectedPrompts_{__VA_ARGS__};                 \
        QCOMPARE(impmap::gui::testing::Described(actual),                                          \
                 impmap::gui::testing::Described(expectedPrompts_));                               \
        QVERIFY((actual) == expectedPrompts_);                                                     \
    } while (false)
