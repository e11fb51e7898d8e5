#include "ExecuteFixture.h"
#include "report/CheckController.h"
#include "report/CheckReportWindow.h"
#include "report/ProblemsModel.h"
#include "tinmatch/TinMatchExportController.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QTableView>

using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

// Record 3 has a bad taxpayer number, record 4 an apostrophe and a comma in its name.
QByteArray FivePayees(int n)
{
    switch (n) {
    case 3:
        return "Payee 3,12-34,3.50,12\r\n";
    case 4:
        return "\"O'Neil, Pat\",100000004,4.50,12\r\n";
    default:
        return GoodRecord(n);
    }
}

struct TinMatchFixture : ExecuteFixture
{
    TinMatchFixture() : ExecuteFixture(Records(5, FivePayees))
    {
        check = std::make_unique<CheckController>(context, *controller);
        tinMatch = std::make_unique<TinMatchExportController>(context, *controller);
    }
    CheckReportWindow* Report() const { return check->Report(); }
    QString File(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

    std::unique_ptr<CheckController> check;
    std::unique_ptr<TinMatchExportController> tinMatch;
};

AskedPrompt TinMatchSave(const QString& folder)
{
    AskedPrompt save;
    save.kind = PromptKind::SaveFile;
    save.title = QStringLiteral("Export for TIN Matching...");
    save.folder = folder;
    save.filter = QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");
    save.defaultSuffix = QStringLiteral("TXT");
    save.initial = QStringLiteral("PAYEESTINMATCH");
    return save;
}

AskedPrompt ResultsOpen(const QString& folder)
{
    AskedPrompt open;
    open.kind = PromptKind::OpenFile;
    open.title = QStringLiteral("Load TIN Matching Results...");
    open.folder = folder;
    open.filter = QStringLiteral("Text Files (*.TXT)|*.TXT|All Files (*.*)|*.*");
    return open;
}

} // namespace

class TinMatchTest : public QObject
{
    Q_OBJECT

private slots:
    void ExportWritesTheRequestAndSaysWhatWentWhere()
    {
        TinMatchFixture f;
        QAction* action = f.tinMatch->ExportAction();
        QCOMPARE(action->objectName(), QStringLiteral("popupTinMatch"));
        const QList<QAction*> menu = f.ui.popupTools->actions();
        QCOMPARE(menu.indexOf(action), menu.indexOf(f.ui.popupCheckAll) + 1);

        const QString path = f.File("REQUEST.TXT");
        f.prompts.Enter(path).Press(Button::Ok);
        action->trigger();
        AskedPrompt summary = InformationPrompt(
            QStringLiteral("4 lines written to ") + path +
            QStringLiteral("\r\n\r\n1 record left out:\r\nRecord 3: left out: bad TIN 000012-34"));
        summary.title = QStringLiteral("Export for TIN Matching");
        VerifyAsked(f.prompts, {TinMatchSave(f.dir.path()), summary});
        QCOMPARE(ExecuteFixture::ReadFile(path),
                 QByteArray("3;100000001;Payee 1;1\r\n3;100000002;Payee 2;2\r\n"
                            "3;100000004;ONeil Pat;4\r\n3;100000005;Payee 5;5\r\n"));
        f.VerifyRestored();

        // Cancel writes nothing; a form the IRS does not serve is refused before the dialog.
        f.prompts.ClearAsked();
        f.prompts.Cancel();
        action->trigger();
        QCOMPARE(f.prompts.Asked().size(), size_t{1});
        f.prompts.ClearAsked();
        f.workspace.ChooseForm(impmap::FindFormIndex("W-2"));
        f.Map("Employee's SSN", 2);
        f.prompts.Press(Button::Ok);
        action->trigger();
        VerifyAsked(f.prompts, {ErrorPrompt(QStringLiteral(
                                   "The IRS's TIN Matching program serves the 1099 forms only, "
                                   "not W-2."))});
    }

    void LoadedResultsJoinTheReportAsTheirOwnKind()
    {
        TinMatchFixture f;
        f.ui.popupCheckAll->trigger();
        QVERIFY(f.Report() != nullptr);
        QCOMPARE(f.Report()->Summary()->text(), QStringLiteral("5 records checked, 1 problem"));

        // Record 1 matches, record 2's name does not, record 4 was matched as an EIN, record 5's
        // TIN has changed since.
        const QString results = f.File("RESULTS.TXT");
        ExecuteFixture::WriteFile(results, "3;100000001;Payee 1;1;0\r\n3;100000002;Payee 2;2;3\r\n"
                                           "3;100000004;ONeil Pat;4;7\r\n"
                                           "3;100000009;Payee 5;5;0\r\n");
        f.prompts.Enter(results).Press(Button::Ok);
        QTest::mouseClick(f.Report()->LoadTinResultsButton(), Qt::LeftButton);
        QTRY_COMPARE(f.prompts.Asked().size(), size_t{2});
        QString notes = QStringLiteral("TIN Matching results: 3 answers applied, 1 line not "
                                       "applied:\r\n\r\n") +
                        results +
                        QStringLiteral(" line 4: stale, not applied: record 5 now has the TIN "
                                       "\"100000005\", the answer is for 100000009");
        AskedPrompt notesBox = InformationPrompt(notes);
        notesBox.title = QStringLiteral("TIN Matching Results");
        VerifyAsked(f.prompts, {ResultsOpen(f.dir.path()), notesBox});
        QVERIFY(f.Report() != nullptr);
        QCOMPARE(f.Report()->Summary()->text(),
                 QStringLiteral("5 records checked, 3 problems; TIN Matching results: 3 answers "
                                "applied, 1 line not applied"));
        const QString nameWrong = QStringLiteral(
            "2|Taxpayer id|100000002|Holds \"100000002\", TIN "
            "Matching code 3: name and TIN do not match (the name sent was \"Payee 2\")|TIN "
            "Matching");
        const QString badTin =
            QStringLiteral("3|Taxpayer id|12-34|Bad TIN 000012-34 (assigned to 000000000)|Warning");
        const QString asEin = QStringLiteral(
            "4|TIN Type||Holds \"N/A\", TIN Matching code 7: TIN "
            "Type should be EIN: the IRS matched this number as an EIN|TIN Matching");
        QTableView* view = f.Report()->View();
        QCOMPARE(Rows(view->model()), (QStringList{nameWrong, badTin, asEin}));
        f.Report()->KindFilter()->setCurrentIndex(3);
        QCOMPARE(f.Report()->KindFilter()->currentText(), QStringLiteral("TIN Matching"));
        QCOMPARE(Rows(view->model()), (QStringList{nameWrong, asEin}));
        f.Report()->KindFilter()->setCurrentIndex(0);
        view->sortByColumn(ProblemsModel::kKind, Qt::DescendingOrder);
        QCOMPARE(Rows(view->model()), (QStringList{asEin, nameWrong, badTin}));

        // A later check of the same source applies them again; a file that cannot be read is
        // shown and the report stays.
        f.prompts.ClearAsked();
        f.prompts.Press(Button::Ok);
        f.ui.popupCheckAll->trigger();
        QCOMPARE(f.Report()->Summary()->text(),
                 QStringLiteral("5 records checked, 3 problems; TIN Matching results: 3 answers "
                                "applied, 1 line not applied"));
        f.prompts.ClearAsked();
        CheckReportWindow* report = f.Report();
        const QString missing = f.File("NONE.TXT");
        f.prompts.Enter(missing).Press(Button::Ok);
        QTest::mouseClick(report->LoadTinResultsButton(), Qt::LeftButton);
        QTRY_COMPARE(f.prompts.Asked().size(), size_t{2});
        QCOMPARE(f.prompts.Last().text, QStringLiteral("Cannot open file \"") + missing +
                                            QStringLiteral("\". No such file or directory."));
        QCOMPARE(f.Report(), report);
    }
};

QTEST_MAIN(TinMatchTest)
#include "TinMatchTest.moc"
