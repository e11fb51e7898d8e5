#include "MappingTestFixture.h"
#include "window/MappingHints.h"

#include <QHelpEvent>
#include <QToolTip>

using namespace impmap;
using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

const QString kSourceChanged = QStringLiteral(
    "Your source file has changed!\r\n\r\nIf you want to save these changes, click on the "
    "\r\n\r\n\"Red Disk Icon\" \r\n\r\ndisplayed at the end of the \"Source File\" group above.");

AskedPrompt InformationBox(const QString& text)
{
    return MessageBox(QStringLiteral("Information"), text, Icon::Information, {Button::Ok},
                      Button::Ok, false);
}

AskedPrompt FeedsBox(const QString& title, const QString& text)
{
    return MessageBox(title, text, Icon::Information, {Button::Ok}, Button::Ok, true);
}

} // namespace

class MappingControllerTest : public QObject
{
    Q_OBJECT

private slots:
    void destinationDoubleClickUnassignsAMappedRow()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(0, 1);
        f.DoubleClick(f.DestinationViewport(), f.RowCentre(f.ui.lvDestination, 0));
        QCOMPARE(f.Row(0).sourceFieldNo, 0);
        QCOMPARE(f.Row(0).value, std::string());
        QVERIFY(f.prompts.Asked().empty());
    }

    void destinationDoubleClickAssignsTheSelectedSourceField()
    {
        MappingFixture f;
        f.workspace.SetFixedValue(1, std::string("FIXED"));
        f.Select(f.ui.lvSource, 1);
        f.DoubleClick(f.DestinationViewport(), f.RowCentre(f.ui.lvDestination, 1));
        QCOMPARE(f.Row(1).sourceFieldNo, 2);
        QCOMPARE(f.Row(1).value, std::string("Acme Corp"));
    }

    void destinationDoubleClickWithoutSourceFieldIsRefused()
    {
        MappingFixture f;
        f.workspace.SetFixedValue(1, std::string("FIXED"));
        f.prompts.Press(Button::Ok);
        f.DoubleClick(f.DestinationViewport(), f.RowCentre(f.ui.lvDestination, 1));
        COMPARE_PROMPTS(
            f.prompts.Asked(),
            ErrorBox(QStringLiteral("A source field has not been selected for assignment.")));
        QCOMPARE(f.Row(1).value, std::string("FIXED"));
        QCOMPARE(f.Row(1).sourceFieldNo, 0);
    }

    void fixedValue_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<bool>("cancel");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("initial");
        QTest::addColumn<QString>("value");
        QTest::addColumn<bool>("modified");
        QTest::newRow("typed in lower case") << 2 << false << "fixed text "
                                             << ""
                                             << "FIXED TEXT" << true;
        QTest::newRow("cancelled") << 2 << true << ""
                                   << ""
                                   << "" << false;
        QTest::newRow("same value again") << 5 << false << " 0"
                                          << ""
                                          << "0" << false;
    }

    void fixedValue()
    {
        QFETCH(int, row);
        QFETCH(bool, cancel);
        QFETCH(QString, answer);
        QFETCH(QString, initial);
        QFETCH(QString, value);
        QFETCH(bool, modified);
        MappingFixture f;
        f.workspace.SetModified(false);
        f.Select(f.ui.lvDestination, 0);
        if (cancel) {
            f.prompts.Cancel();
        } else {
            f.prompts.Enter(answer);
        }
        QTest::mouseClick(f.DestinationViewport(), Qt::RightButton, {},
                          f.RowCentre(f.ui.lvDestination, row));
        // The row under the mouse is selected before the box opens.
        QCOMPARE(f.SelectedRows(f.ui.lvDestination), QList<int>{row});
        const QString caption =
            row == 2 ? QStringLiteral("Name line 2") : QStringLiteral("Average employee count");
        COMPARE_PROMPTS(f.prompts.Asked(),
                        InputBox(caption,
                                 QStringLiteral("Specify the value to use for this field..."),
                                 initial));
        QCOMPARE(QString::fromStdString(f.Row(row).value), value);
        QCOMPARE(f.workspace.MappingModified(), modified);
    }

    void fixedValueOnAMappedRowCannotOverride()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(4, 5);
        f.prompts.Press(Button::Ok);
        QTest::mouseClick(f.DestinationViewport(), Qt::RightButton, {},
                          f.RowCentre(f.ui.lvDestination, 4));
        COMPARE_PROMPTS(f.prompts.Asked(),
                        ErrorBox(QStringLiteral("Cannot override!\r\n\r\nDestination field "
                                                "\"Name control\" maps to source field 5.")));
        QCOMPARE(f.Row(4).sourceFieldNo, 5);
    }

    void rightClickBesideTheRowsDoesNothing()
    {
        MappingFixture f;
        f.Select(f.ui.lvDestination, 2);
        const QPoint below(10, f.DestinationViewport()->height() - 3);
        QTest::mouseClick(f.DestinationViewport(), Qt::RightButton, {}, below);
        QVERIFY(f.SelectedRows(f.ui.lvDestination).isEmpty());
        QVERIFY(f.prompts.Asked().empty());
    }

    void sourceDoubleClickNamesTheOneRowItFeeds()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(0, 1);
        f.prompts.Press(Button::Ok);
        f.DoubleClick(f.SourceViewport(), f.RowCentre(f.ui.lvSource, 0));
        COMPARE_PROMPTS(
            f.prompts.Asked(),
            FeedsBox(
                QStringLiteral("Source Field No. 1"),
                QStringLiteral("Source field: C1\r\n\r\nmaps to \r\n\r\nDestination: Client ID")));
        QCOMPARE(f.SelectedRows(f.ui.lvDestination), QList<int>{0});
    }

    void sourceDoubleClickSelectsTheThreeRowsItFeeds()
    {
        MappingFixture f;
        for (const int row : {1, 2, 4}) {
            f.workspace.AssignSourceField(row, 2);
        }
        f.Select(f.ui.lvDestination, 0);
        f.prompts.Press(Button::Ok);
        f.DoubleClick(f.SourceViewport(), f.RowCentre(f.ui.lvSource, 1));
        COMPARE_PROMPTS(
            f.prompts.Asked(),
            FeedsBox(QStringLiteral("Source Field No. 2"),
                     QStringLiteral("Source field: Acme Corp\r\n\r\nmaps to the following 3 "
                                    "destination fields: \r\n\r\n\"Name line 1\",\"Name line "
                                    "2\",\"Name control\"")));
        QCOMPARE(f.SelectedRows(f.ui.lvDestination), (QList<int>{1, 2, 4}));
        QCOMPARE(f.ui.lvDestination->currentIndex().row(), 4);
        QCOMPARE(f.ui.lvDestination->selectionMode(), QAbstractItemView::ExtendedSelection);
        QCOMPARE(f.window.focusWidget(), f.ui.lvDestination);
    }

    void sourceDoubleClickOnAnUnmappedFieldClearsTheSelection()
    {
        MappingFixture f;
        f.Select(f.ui.lvDestination, 3);
        f.prompts.Press(Button::Ok);
        f.DoubleClick(f.SourceViewport(), f.RowCentre(f.ui.lvSource, 2));
        COMPARE_PROMPTS(f.prompts.Asked(),
                        ErrorBox(QStringLiteral("Source field No. 3 ()\r\nhas not been mapped.")));
        QVERIFY(f.SelectedRows(f.ui.lvDestination).isEmpty());
        QCOMPARE(f.ui.lvDestination->selectionMode(), QAbstractItemView::ExtendedSelection);
    }

    void sourceValueChangeTellsOfTheFirstChangeOnly()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(1, 2);
        f.prompts.Enter(QStringLiteral("Beta, Inc")).Press(Button::Ok);
        QTest::mouseClick(f.SourceViewport(), Qt::RightButton, {}, f.RowCentre(f.ui.lvSource, 1));
        const AskedPrompt firstBox =
            InputBox(QStringLiteral("Source Field No. 2"),
                     QStringLiteral("Change field value to..."), QStringLiteral("Acme Corp"));
        COMPARE_PROMPTS(f.prompts.Asked(), firstBox, BeepPrompt(), InformationBox(kSourceChanged));
        QCOMPARE(f.workspace.Lines().Line(1),
                 std::string_view("C1\t\"Beta, Inc\"\t\t12-3456789\tACME\t25"));
        QCOMPARE(f.Row(1).value, std::string("Beta, Inc"));
        QVERIFY(f.workspace.SourceModified());

        f.prompts.ClearAsked();
        f.prompts.Enter(QStringLiteral("30"));
        QTest::mouseClick(f.SourceViewport(), Qt::RightButton, {}, f.RowCentre(f.ui.lvSource, 5));
        COMPARE_PROMPTS(f.prompts.Asked(),
                        InputBox(QStringLiteral("Source Field No. 6"),
                                 QStringLiteral("Change field value to..."), QStringLiteral("25")));
        QCOMPARE(f.workspace.Lines().Line(1),
                 std::string_view("C1\t\"Beta, Inc\"\t\t12-3456789\tACME\t30"));
    }

    void sourceValueChangeCancelledOrUnchanged()
    {
        MappingFixture f;
        f.prompts.Cancel().Enter(QStringLiteral("  Acme Corp\t"));
        for (int i = 0; i < 2; ++i) {
            QTest::mouseClick(f.SourceViewport(), Qt::RightButton, {},
                              f.RowCentre(f.ui.lvSource, 1));
        }
        QCOMPARE(f.prompts.Asked().size(), size_t{2});
        QCOMPARE(f.workspace.Lines().Line(1),
                 std::string_view("C1\t Acme Corp \t\t12-3456789\tACME\t25"));
        QVERIFY(!f.workspace.SourceModified());
    }

    void fieldGuideOnlyForTheSelectedRow()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(3, 4);
        MappingHints& hints = f.controller->Hints();
        QTreeView* list = f.ui.lvDestination;
        const QString guide =
            QStringLiteral("Employer id\r\n(Enter as 9 digits)\r\n\r\nData mapped = 12-3456789");
        QCOMPARE(hints.DestinationHintAt(f.RowCentre(list, 3)), QString());
        f.Select(list, 3);
        QCOMPARE(hints.DestinationHintAt(f.RowCentre(list, 3)), guide);
        QCOMPARE(hints.DestinationHintAt(f.RowCentre(list, 3) + QPoint(300, 0)), guide);
        QCOMPARE(hints.DestinationHintAt(f.RowCentre(list, 2)), QString());
        QCOMPARE(hints.DestinationHintAt(QPoint(5, list->viewport()->height() - 2)), QString());

        // The hint event shows the guide for 15 seconds; moving off the row takes it away.
        QHelpEvent help(QEvent::ToolTip, f.RowCentre(list, 3),
                        list->viewport()->mapToGlobal(f.RowCentre(list, 3)));
        QCoreApplication::sendEvent(list->viewport(), &help);
        QVERIFY(QToolTip::isVisible());
        QCOMPARE(QToolTip::text(), guide);
        QTest::mouseMove(list->viewport(), f.RowCentre(list, 1));
        QTRY_VERIFY(!QToolTip::isVisible());

        QHelpEvent unselected(QEvent::ToolTip, f.RowCentre(list, 1),
                              list->viewport()->mapToGlobal(f.RowCentre(list, 1)));
        QCoreApplication::sendEvent(list->viewport(), &unselected);
        QVERIFY(!QToolTip::isVisible());
    }

    void sourceValueHint()
    {
        MappingFixture f;
        MappingHints& hints = f.controller->Hints();
        QTreeView* list = f.ui.lvSource;
        QCOMPARE(hints.SourceHintAt(f.RowCentre(list, 1)), QString());
        f.Select(list, 1);
        QCOMPARE(hints.SourceHintAt(f.RowCentre(list, 1)),
                 QStringLiteral("Source Value = Acme Corp"));
        QCOMPARE(hints.SourceHintAt(f.RowCentre(list, 0)), QString());
        f.Select(list, 2); // a blank value has no hint
        QCOMPARE(hints.SourceHintAt(f.RowCentre(list, 2)), QString());
    }
};

QTEST_MAIN(MappingControllerTest)
#include "MappingControllerTest.moc"
