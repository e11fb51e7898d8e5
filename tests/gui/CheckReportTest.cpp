#include "ExecuteFixture.h"
#include "report/CheckController.h"
#include "report/CheckReportWindow.h"
#include "report/ProblemsModel.h"
#include "report/TotalsView.h"

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPointer>
#include <QShortcut>
#include <QTableView>
#include <QTimer>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

// Record 2 has a bad amount, record 3 a short taxpayer number, record 4 a bad delivery point.
QByteArray ThreeProblems(int n)
{
    switch (n) {
    case 2:
        return "Payee 2,100000002,abc,12\r\n";
    case 3:
        return "Payee 3,12345,3.50,12\r\n";
    case 4:
        return "Payee 4,100000004,4.50,x\r\n";
    default:
        return GoodRecord(n);
    }
}

// The problem column does not repeat the field its own column names.
const QString kBadAmount =
    QStringLiteral("2|Rents|abc|Maps to an invalid currency value \"ABC\"|Error");
const QString kPadded = QStringLiteral(
    "3|Taxpayer id|12345|Holds \"000012345\", padded with leading zeros from \"12345\"|Warning");
const QString kBadPoint = QStringLiteral("4|USPS Delivery Point|x|Maps to an invalid US Postal "
                                         "Service Delivery Point value \"x\"|Error");

QStringList TotalsShown(const ExecuteFixture& f)
{
    if (!f.ui.tabs->isTabVisible(f.ui.tabs->indexOf(f.ui.tabTotals)))
        return {QStringLiteral("(hidden)")};
    return Rows(f.ui.lvTotals->model());
}

struct CheckFixture : ExecuteFixture
{
    explicit CheckFixture(const QByteArray& source) : ExecuteFixture(source)
    {
        check = std::make_unique<CheckController>(context, *controller);
    }
    CheckReportWindow* Report() const { return check->Report(); }
    std::unique_ptr<CheckController> check;
};

} // namespace

class CheckReportTest : public QObject
{
    Q_OBJECT

private slots:
    void CheckListsEveryProblemAndShowsTheTotals()
    {
        CheckFixture f(Records(5, ThreeProblems));
        f.workspace.GoToRecord(5);
        f.ui.popupCheckAll->trigger();

        VerifyAsked(f.prompts, {});
        f.VerifyRestored();
        QCOMPARE(f.workspace.CurrentRecord(), 5L);
        QVERIFY(f.Report() != nullptr && f.Report()->isVisible());
        QCOMPARE(f.Report()->windowTitle(), QStringLiteral("Check All Records"));
        QCOMPARE(f.Report()->Summary()->text(), QStringLiteral("5 records checked, 3 problems"));
        QCOMPARE(Rows(f.Report()->View()->model()), (QStringList{kBadAmount, kPadded, kBadPoint}));
        QCOMPARE(TotalsShown(f), QStringList{QStringLiteral("Rents|4|15")});
        QVERIFY(!f.OutputTabVisible());
        // Each column as wide as its heading or its text, with a little room, no wider.
        QTreeWidgetItem* heading = f.ui.lvTotals->headerItem();
        QTreeWidgetItem* rents = f.ui.lvTotals->topLevelItem(0);
        const QFontMetrics metrics = f.ui.lvTotals->fontMetrics();
        for (int column = 0; column < 3; ++column) {
            const int text = std::max(metrics.horizontalAdvance(heading->text(column)),
                                      metrics.horizontalAdvance(rents->text(column)));
            QVERIFY2(f.ui.lvTotals->columnWidth(column) >= text &&
                         f.ui.lvTotals->columnWidth(column) <= text + 40,
                     qPrintable(heading->text(column)));
        }

        // A second check replaces the report; a run that fails hides the totals.
        QPointer<CheckReportWindow> first = f.Report();
        f.ui.popupCheckAll->trigger();
        QVERIFY(first.isNull());
        QVERIFY(f.Report() != nullptr);
        f.prompts.Press(Button::Ok);
        f.controller->bExecuteClick();
        QCOMPARE(TotalsShown(f), QStringList{QStringLiteral("(hidden)")});
    }

    // Records broken inside quoted values are joined on request first; a short row warns.
    void CheckAsksToJoinBrokenRecordsAndWarnsOfShortRows()
    {
        const QByteArray bytes = Records(3, [](int n) {
            if (n == 2)
                return QByteArray("\"Payee\r\n2\",100000002,2.50,12\r\n");
            return n == 3 ? QByteArray("Payee 3,100000003\r\n") : GoodRecord(n);
        });
        CheckFixture f(bytes);
        const AskedPrompt question = AskedMessage(
            {QStringLiteral("Confirm"),
             QStringLiteral("1 record ends inside a quoted value that the next line continues (a "
                            "cell with a line break?): record 2.\r\nEach line would be executed "
                            "as a record of its own. Join it before executing?"),
             Icon::Question,
             {Button::Yes, Button::No, Button::Cancel},
             Button::Yes,
             false});
        f.prompts.Press(Button::Cancel);
        f.ui.popupCheckAll->trigger();
        VerifyAsked(f.prompts, {question});
        QVERIFY(f.Report() == nullptr);
        QCOMPARE(f.workspace.RecordCount(), size_t{4});

        f.prompts.ClearAsked();
        f.prompts.Press(Button::Yes);
        f.ui.popupCheckAll->trigger();
        VerifyAsked(f.prompts, {question});
        QVERIFY(f.Report() != nullptr);
        QCOMPARE(f.workspace.RecordCount(), size_t{3});
        QVERIFY(f.workspace.SourceModified());
        QCOMPARE(f.Report()->Summary()->text(), QStringLiteral("3 records checked, 1 problem"));
        QCOMPARE(Rows(f.Report()->View()->model()),
                 QStringList{QStringLiteral("3|||The record has 2 fields where the header has 4 (a "
                                            "missing or extra delimiter?)|Warning")});
    }

    // A check writes no output, so the last run's lines and warning log stay for Save Output.
    void ACheckKeepsTheLastRunsOutputAndLog()
    {
        CheckFixture f(Records(
            4, [](int n) { return n == 2 ? QByteArray("P,12-34,1,2\r\n") : GoodRecord(n); }));
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        QCOMPARE(f.workspace.OutputLines().size(), size_t{4});
        f.ui.popupCheckAll->trigger();
        QVERIFY(f.Report() != nullptr);
        QCOMPARE(f.workspace.OutputLines().size(), size_t{4});
        QVERIFY(f.OutputTabVisible());
        QVERIFY(f.ui.bSaveOutput->isEnabled());
        QCOMPARE(f.Log().Text(), QStringLiteral("Record 2: Bad TIN 000012-34 (assigned to "
                                                "000000000)\n\nEnd of Warning Log\n"));
    }

    void SortsByAnyColumnAndFiltersByFieldAndKind()
    {
        CheckFixture f(Records(5, ThreeProblems));
        f.ui.popupCheckAll->trigger();
        QTableView* view = f.Report()->View();
        view->sortByColumn(ProblemsModel::kField, Qt::DescendingOrder);
        QCOMPARE(Rows(view->model()), (QStringList{kBadPoint, kPadded, kBadAmount}));
        view->sortByColumn(ProblemsModel::kKind, Qt::DescendingOrder);
        QCOMPARE(Rows(view->model()), (QStringList{kPadded, kBadPoint, kBadAmount}));
        view->sortByColumn(ProblemsModel::kSourceValue, Qt::AscendingOrder);
        QCOMPARE(Rows(view->model()), (QStringList{kPadded, kBadAmount, kBadPoint}));
        view->sortByColumn(ProblemsModel::kRecord, Qt::DescendingOrder);
        QCOMPARE(Rows(view->model()), (QStringList{kBadPoint, kPadded, kBadAmount}));

        QComboBox* field = f.Report()->FieldFilter();
        // Every field, then the three with problems by name.
        QStringList fields;
        for (int i = 0; i < field->count(); ++i)
            fields << field->itemText(i);
        QCOMPARE(fields, (QStringList{QStringLiteral("All fields"), QStringLiteral("Rents"),
                                      QStringLiteral("Taxpayer id"),
                                      QStringLiteral("USPS Delivery Point")}));
        // While a filter hides problems, the line says how many are shown.
        QLabel* summary = f.Report()->Summary();
        field->setCurrentIndex(field->findText(QStringLiteral("Rents")));
        QCOMPARE(Rows(view->model()), QStringList{kBadAmount});
        QCOMPARE(summary->text(), QStringLiteral("5 records checked, 3 problems; 1 of 3 shown"));
        f.Report()->KindFilter()->setCurrentIndex(2); // warnings
        QCOMPARE(Rows(view->model()), QStringList{});
        QCOMPARE(summary->text(), QStringLiteral("5 records checked, 3 problems; 0 of 3 shown"));
        field->setCurrentIndex(0);
        QCOMPARE(Rows(view->model()), QStringList{kPadded});
        f.Report()->KindFilter()->setCurrentIndex(1); // errors
        QCOMPARE(Rows(view->model()), (QStringList{kBadPoint, kBadAmount}));
        f.Report()->KindFilter()->setCurrentIndex(0);
        QCOMPARE(summary->text(), QStringLiteral("5 records checked, 3 problems"));
        // Sorted by the problem as shown.
        view->sortByColumn(ProblemsModel::kProblem, Qt::AscendingOrder);
        QCOMPARE(Rows(view->model()), (QStringList{kPadded, kBadPoint, kBadAmount}));
    }

    void DoubleClickShowsTheRecordWithTheFailingRowSelected()
    {
        CheckFixture f(Records(5, ThreeProblems));
        f.ui.popupCheckAll->trigger();
        f.ui.tabs->setCurrentWidget(f.ui.tabOutput);
        QTableView* view = f.Report()->View();
        QVERIFY(QTest::qWaitForWindowExposed(f.Report()));
        const QRect cell = view->visualRect(view->model()->index(2, 0));
        // A double-click is a click and a second press.
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, cell.center());
        QCOMPARE(f.workspace.CurrentRecord(), 4L);
        QCOMPARE(f.ui.tabs->currentWidget(), f.ui.tabMapping);
        QCOMPARE(f.ui.lvDestination->currentIndex().row(), f.RowOf("USPS Delivery Point"));
        QVERIFY(f.ui.lvDestination->selectionModel()->isRowSelected(f.RowOf("USPS Delivery Point"),
                                                                    {}));

        // Enter on the current row does the same; Escape closes the report.
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(f.workspace.CurrentRecord(), 2L);
        QCOMPARE(f.ui.lvDestination->currentIndex().row(), f.RowOf("Rents"));
        QTest::keyClick(view, Qt::Key_Escape);
        QTRY_VERIFY(f.Report() == nullptr);
    }

    // Esc with a filter's drop-down open closes the drop-down, not the report.
    void EscClosesAnOpenDropDownFirst()
    {
        CheckFixture f(Records(5, ThreeProblems));
        f.ui.popupCheckAll->trigger();
        CheckReportWindow* report = f.Report();
        QVERIFY(QTest::qWaitForWindowExposed(report));
        for (QComboBox* box : {report->FieldFilter(), report->KindFilter()}) {
            box->showPopup();
            QTRY_VERIFY(box->view()->isVisible());
            // A window manager may hand the key to the report's own Esc shortcut while the
            // drop-down is open.
            QShortcut* escape = report->findChild<QShortcut*>();
            QVERIFY(escape != nullptr && escape->key() == QKeySequence(QKeySequence::Cancel));
            emit escape->activated();
            QTRY_VERIFY(!box->view()->isVisible());
            QVERIFY(f.Report() != nullptr && f.Report()->isVisible());
        }
    }

    // After a double-click the report leaves the destination list free; with a single record
    // and a single problem, the line says "1 record" and "1 problem".
    void TheReportMovesAsideOfTheRowShown()
    {
        CheckFixture f(Records(1, [](int) { return QByteArray("Payee 1,12345,1,12\r\n"); }));
        f.window.setGeometry(0, 0, 700, 500);
        f.ui.popupCheckAll->trigger();
        CheckReportWindow* report = f.Report();
        QCOMPARE(report->Summary()->text(), QStringLiteral("1 record checked, 1 problem"));
        report->setGeometry(0, 0, 700, 500);
        QVERIFY(QTest::qWaitForWindowExposed(report));
        QTableView* view = report->View();
        view->setCurrentIndex(view->model()->index(0, 0));
        QTest::keyClick(view, Qt::Key_Return);
        QCOMPARE(f.workspace.CurrentRecord(), 1L);
        const QRect list(f.ui.lvDestination->mapToGlobal(QPoint(0, 0)), f.ui.lvDestination->size());
        QVERIFY2(!report->frameGeometry().intersects(list),
                 qPrintable(QStringLiteral("report %1,%2 %3x%4, list %5,%6 %7x%8")
                                .arg(report->frameGeometry().x())
                                .arg(report->frameGeometry().y())
                                .arg(report->frameGeometry().width())
                                .arg(report->frameGeometry().height())
                                .arg(list.x())
                                .arg(list.y())
                                .arg(list.width())
                                .arg(list.height())));
        QVERIFY(report->isVisible());
    }

    // The Totals tab goes with the output: a Header change, a reload, a Delimiter change and
    // another map take the last figures away.
    void TheTotalsGoWithTheOutput_data()
    {
        QTest::addColumn<QString>("action");
        for (const char* action : {"Header change", "reload", "Delimiter change", "another map"})
            QTest::newRow(action) << QString::fromLatin1(action);
    }

    void TheTotalsGoWithTheOutput()
    {
        QFETCH(QString, action);
        CheckFixture f(Records(5, ThreeProblems));
        f.ui.popupCheckAll->trigger();
        QCOMPARE(TotalsShown(f), QStringList{QStringLiteral("Rents|4|15")});
        if (action == QStringLiteral("Header change")) {
            f.workspace.SetHeader(impmap::HeaderMode::Read);
        } else if (action == QStringLiteral("reload")) {
            f.workspace.OpenSource();
        } else if (action == QStringLiteral("Delimiter change")) {
            f.workspace.ChangeDelimiter(impmap::Delimiter::Pipe);
        } else {
            const std::string map = f.dir.filePath(QStringLiteral("m.MAP")).toStdString();
            f.workspace.SaveMapping(map);
            f.workspace.OpenMapping(map);
        }
        QCOMPARE(TotalsShown(f), QStringList{QStringLiteral("(hidden)")});
    }

    void SaveProblemRecordsWritesTheRecordsToFix()
    {
        CheckFixture f(Records(5, ThreeProblems));
        f.ui.popupCheckAll->trigger();
        // The report keeps the records as checked, whatever happens to the source later.
        f.workspace.GoToRecord(1);
        f.workspace.DeleteCurrentRecord();
        const QString path = f.dir.filePath(QStringLiteral("FIX.CSV"));
        f.prompts.Enter(path);
        QTest::mouseClick(f.Report()->SaveButton(), Qt::LeftButton);

        AskedPrompt save;
        save.kind = PromptKind::SaveFile;
        save.title = QStringLiteral("Save Problem Records...");
        save.folder = f.dir.path();
        save.filter = QStringLiteral(
            "Text Files (*.TXT)|*.TXT|Comma Separated (*.CSV)|*.CSV|All Files (*.*)|*.*");
        save.defaultSuffix = QStringLiteral("TXT");
        save.initial = QStringLiteral("PAYEESPROBLEMS");
        VerifyAsked(f.prompts, {save});
        QCOMPARE(ExecuteFixture::ReadFile(path),
                 QByteArray("NAME,TIN,RENTS,DP,Problems\r\n"
                            "Payee 2,100000002,abc,12,\"Destination field \"\"Rents\"\" maps to "
                            "an invalid currency value \"\"ABC\"\"\"\r\n"
                            "Payee 3,12345,3.50,12,\"Warning: Destination field \"\"Taxpayer "
                            "id\"\" holds \"\"000012345\"\", padded with leading zeros from "
                            "\"\"12345\"\"\"\r\n"
                            "Payee 4,100000004,4.50,x,\"Destination field \"\"USPS Delivery "
                            "Point\"\" maps to an invalid US Postal Service Delivery Point value "
                            "\"\"x\"\"\"\r\n"));

        // A file that cannot be written says so with its name and the system's reason.
        f.prompts.ClearAsked();
        const QString bad = f.dir.filePath(QStringLiteral("none/FIX.CSV"));
        f.prompts.Enter(bad).Press(Button::Ok);
        QTest::mouseClick(f.Report()->SaveButton(), Qt::LeftButton);
        QCOMPARE(f.prompts.Asked().size(), size_t{2});
        QCOMPARE(f.prompts.Last().text, QStringLiteral("Cannot create file \"") + bad +
                                            QStringLiteral("\". No such file or directory."));

        // The source file itself is refused and kept.
        f.prompts.ClearAsked();
        const QByteArray source = ExecuteFixture::ReadFile(f.sourcePath);
        f.prompts.Enter(f.sourcePath).Press(Button::Ok);
        QTest::mouseClick(f.Report()->SaveButton(), Qt::LeftButton);
        QCOMPARE(f.prompts.Last().text,
                 QStringLiteral("Cannot create file \"") + f.sourcePath +
                     QStringLiteral("\". It is the source file, which it would replace."));
        QCOMPARE(ExecuteFixture::ReadFile(f.sourcePath), source);
    }

    void TotalsFollowACompletedExecuteAndCancelLeavesNoReport()
    {
        CheckFixture f(Records(30));
        f.prompts.Cancel().Press(Button::Ok);
        f.controller->bExecuteClick();
        // 1.5 + 2.5 + ... + 30.5
        QCOMPARE(TotalsShown(f), QStringList{QStringLiteral("Rents|30|480")});

        f.controller->SetMessageInterval(0);
        auto* timer = new QTimer(&f.window);
        QObject::connect(timer, &QTimer::timeout, timer, [&f, timer] {
            if (f.Dialog().Position() < 10)
                return;
            timer->stop();
            f.prompts.Press(Button::Yes);
            QTest::mouseClick(f.Dialog().CancelButton(), Qt::LeftButton);
        });
        timer->start(0);
        f.prompts.ClearAsked();
        f.ui.popupCheckAll->trigger();
        QVERIFY(f.Report() == nullptr);
        QCOMPARE(TotalsShown(f), QStringList{QStringLiteral("(hidden)")});
        f.VerifyRestored();
    }
};

QTEST_MAIN(CheckReportTest)
#include "CheckReportTest.moc"
