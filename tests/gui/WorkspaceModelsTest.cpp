// The item models over the workspace, checked by QAbstractItemModelTester while the workspace
// goes through loads, record changes, form changes, merges and deletions.

#include "io/FileIo.h"
#include "mapping/Workspace.h"
#include "models/DestinationRowsModel.h"
#include "models/LinesModel.h"
#include "models/SourceFieldsModel.h"
#include "models/WorkspaceSignals.h"

#include <QAbstractItemModelTester>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace impmap;
using namespace impmap::gui;

namespace {

using Tester = QAbstractItemModelTester;

QStringList Column(const QAbstractItemModel& model, int column)
{
    QStringList texts;
    for (int row = 0; row < model.rowCount(); ++row)
        texts << model.index(row, column).data().toString();
    return texts;
}

class Session
{
public:
    Session() : signals_(workspace) {}

    // Loads bytes as the source file.
    void Load(const QByteArray& bytes)
    {
        const QString path = dir_.filePath(QStringLiteral("source%1.txt").arg(++files_));
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        file.close();
        workspace.LocateSource(QFile::encodeName(path).toStdString());
    }

    Workspace workspace;
    WorkspaceSignals& Signals() { return signals_; }

private:
    WorkspaceSignals signals_;
    QTemporaryDir dir_;
    int files_ = 0;
};

// The three models of the window over one session's workspace.
struct Models
{
    explicit Models(Session& session)
        : fields(session.workspace, session.Signals()), rows(session.workspace, session.Signals()),
          lines([&w = session.workspace] { return w.RecordCount(); },
                [&w = session.workspace](size_t i) { return w.Lines().Line(i); }, session.Signals(),
                kChangeSourceLines)
    {}
    SourceFieldsModel fields;
    DestinationRowsModel rows;
    LinesModel lines;
};

const QByteArray kRecords = "a,b,c,d\r\n"
                            "e\r\n"
                            "\xe9t\xe9,x\r\n"
                            "\r\n";

} // namespace

class WorkspaceModelsTest : public QObject
{
    Q_OBJECT

private slots:
    void SourceFieldsFollowTheRecordShown()
    {
        Session session;
        SourceFieldsModel model(session.workspace, session.Signals());
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        QCOMPARE(model.columnCount(), 2);
        QCOMPARE(model.headerData(0, Qt::Horizontal).toString(), QStringLiteral("No."));
        QCOMPARE(model.headerData(1, Qt::Horizontal).toString(), QStringLiteral("Source Field"));

        session.Load(kRecords);
        QCOMPARE(Column(model, 0), (QStringList{"1", "2", "3", "4"}));
        QCOMPARE(Column(model, 1), (QStringList{"a", "b", "c", "d"}));
        session.workspace.MergeInto(1, 3);
        QCOMPARE(Column(model, 1), (QStringList{"a c", "b", "c", "d"}));
        session.workspace.GoToRecord(2);
        QCOMPARE(Column(model, 1), QStringList{"e"});
        session.workspace.GoToRecord(3);
        // Bytes above 127 show as the characters of the same code.
        QCOMPARE(Column(model, 1), (QStringList{QString::fromLatin1("\xe9t\xe9"), "x"}));
        session.workspace.GoToRecord(4); // an empty line: no fields
        QCOMPARE(model.rowCount(), 0);
    }

    void DestinationRowsFollowTheFormAndTheValues()
    {
        Session session;
        DestinationRowsModel model(session.workspace, session.Signals());
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        QCOMPARE(model.rowCount(), 0);
        session.workspace.ChooseForm(2); // ALE Group, six rows
        QCOMPARE(Column(model, 0),
                 (QStringList{"Client ID", "Name line 1", "Name line 2", "Employer id",
                              "Name control", "Average employee count"}));
        QCOMPARE(Column(model, 2), (QStringList{"0", "0", "0", "0", "0", "0"}));
        QCOMPARE(Column(model, 3), (QStringList{"$", "$", "$", "n", "$", "w"}));
        QCOMPARE(model.index(5, 1).data().toString(), QStringLiteral("0"));
        QCOMPARE(model.index(2, 2).data(Qt::TextAlignmentRole).toInt(), int(Qt::AlignCenter));
        QCOMPARE(model.index(2, 0).data(Qt::TextAlignmentRole), QVariant());

        session.Load(kRecords);
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        session.workspace.AssignSourceField(1, 2);
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("b"));
        QCOMPARE(model.index(1, 2).data().toString(), QStringLiteral("2"));
        session.workspace.GoToRecord(2);
        QCOMPARE(model.index(1, 1).data().toString(), QStringLiteral("(2) NOT ALLOCATED?"));

        session.workspace.ChooseForm(23); // 1099-NEC
        QCOMPARE(model.rowCount(), 28);
        session.workspace.ChooseForm(-1);
        QCOMPARE(model.rowCount(), 0);
    }

    void LinesFollowLoadsAndDeletions()
    {
        Session session;
        const Workspace& workspace = session.workspace;
        LinesModel model([&workspace] { return workspace.RecordCount(); },
                         [&workspace](size_t i) { return workspace.Lines().Line(i); },
                         session.Signals(), kChangeSourceLines);
        Tester tester(&model, Tester::FailureReportingMode::QtTest);
        QSignalSpy counts(&model, &LinesModel::LinesChanged);

        session.Load(kRecords);
        QCOMPARE(Column(model, 0),
                 (QStringList{"a,b,c,d", "e", QString::fromLatin1("\xe9t\xe9,x"), ""}));
        QCOMPARE(counts.last().at(0).toInt(), 4);
        session.workspace.GoToRecord(1);
        session.workspace.DeleteCurrentRecord();
        QCOMPARE(Column(model, 0).first(), QStringLiteral("e"));
        QCOMPARE(counts.last().at(0).toInt(), 3);
        // Record changes alone do not reread the lines.
        const qsizetype before = counts.size();
        session.workspace.GoToRecord(2);
        QCOMPARE(counts.size(), before);
        // An empty file is refused, and what was shown goes with the source.
        bool refused = false;
        try {
            session.Load(QByteArray());
        } catch (const impmap::FileError&) {
            refused = true;
        }
        QVERIFY(refused);
        QCOMPARE(model.rowCount(), 0);
    }

    // A model announces a change (reset, rows removed or inserted) while it still shows what it
    // showed before, and ends it once it shows the new state.
    void ModelsAnnounceChangesBeforeTheyHappen_data()
    {
        QTest::addColumn<QString>("model");
        QTest::addColumn<QString>("change");
        QTest::newRow("lines, record deleted") << "lines"
                                               << "delete";
        QTest::newRow("lines, source reloaded") << "lines"
                                                << "reload";
        QTest::newRow("lines, record edited") << "lines"
                                              << "edit";
        QTest::newRow("fields, fewer fields") << "fields"
                                              << "record 2";
        QTest::newRow("fields, more fields") << "fields"
                                             << "record 1";
        QTest::newRow("fields, record deleted") << "fields"
                                                << "delete";
        QTest::newRow("rows, form changed") << "rows"
                                            << "form";
        QTest::newRow("rows, form cleared") << "rows"
                                            << "no form";
    }

    void ModelsAnnounceChangesBeforeTheyHappen()
    {
        QFETCH(QString, model);
        QFETCH(QString, change);
        Session session;
        Workspace& workspace = session.workspace;
        Models models(session);
        auto& [fields, rows, lines] = models;
        workspace.ChooseForm(2);
        session.Load(kRecords);
        workspace.GoToRecord(change == QStringLiteral("record 1") ? 2 : 1);
        workspace.AssignSourceField(1, 2);

        QAbstractItemModel* checked = &rows;
        if (model == QStringLiteral("lines"))
            checked = &lines;
        else if (model == QStringLiteral("fields"))
            checked = &fields;
        Tester tester(checked, Tester::FailureReportingMode::QtTest);
        const int column = model == QStringLiteral("lines") ? 0 : 1;
        const QStringList before = Column(*checked, column);
        std::vector<QStringList> announced;
        const auto record = [&] { announced.push_back(Column(*checked, column)); };
        connect(checked, &QAbstractItemModel::modelAboutToBeReset, this, record);
        connect(checked, &QAbstractItemModel::rowsAboutToBeRemoved, this, record);
        connect(checked, &QAbstractItemModel::rowsAboutToBeInserted, this, record);

        if (change == QStringLiteral("delete"))
            workspace.DeleteCurrentRecord();
        else if (change == QStringLiteral("reload"))
            session.Load("x,y\r\n");
        else if (change == QStringLiteral("edit"))
            QVERIFY(workspace.ChangeSourceFieldValue(2, "z") == FieldEdit::FirstChange);
        else if (change == QStringLiteral("form"))
            workspace.ChooseForm(23);
        else if (change == QStringLiteral("no form"))
            workspace.ChooseForm(-1);
        else
            workspace.GoToRecord(change == QStringLiteral("record 1") ? 1 : 2);

        QVERIFY(!announced.empty());
        QCOMPARE(announced.front(), before);
        QVERIFY(Column(*checked, column) != before);
    }

    // Inside a batch the workspace changes before the models hear of it: until the batch ends
    // the models keep answering for what they have announced.
    void ModelsAnswerForWhatTheyHaveAnnouncedInsideABatch()
    {
        Session session;
        Workspace& workspace = session.workspace;
        Models models(session);
        auto& [fields, rows, lines] = models;
        workspace.ChooseForm(23);
        session.Load(kRecords);
        workspace.GoToRecord(4);
        workspace.GoToRecord(1);
        {
            Workspace::NotifyBatch batch(workspace);
            QSignalSpy resets(&lines, &QAbstractItemModel::modelAboutToBeReset);
            workspace.GoToRecord(2);
            QCOMPARE(fields.rowCount(), 4);
            QCOMPARE(fields.index(3, 1).data(), QVariant(QStringLiteral("d")));
            workspace.ChooseForm(2);
            QCOMPARE(rows.rowCount(), 28);
            QCOMPARE(rows.index(20, 0).data(), QVariant(QStringLiteral("State 1 income")));
            workspace.GoToRecord(4);
            workspace.DeleteCurrentRecord();
            // The lines' reset has begun and ends with the batch.
            QCOMPARE(resets.size(), 1);
            QCOMPARE(lines.index(3, 0).data(), QVariant());
        }
        QCOMPARE(fields.rowCount(), 2); // record 3 is shown after the deletion
        QCOMPARE(rows.rowCount(), 6);
        QCOMPARE(lines.rowCount(), 3);
    }
};

QTEST_MAIN(WorkspaceModelsTest)
#include "WorkspaceModelsTest.moc"
