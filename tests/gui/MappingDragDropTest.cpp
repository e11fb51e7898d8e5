#include "window/MappingDragDrop.h"

#include "MappingTestFixture.h"

#include <QMimeData>
#include <QTimer>
#include <QWindow>

using namespace impmap;
using namespace impmap::gui;
using namespace impmap::gui::testing;

namespace {

// Sends one drag event to a viewport as the drag loop would; returns whether it was accepted.
bool SendDrag(QWidget* viewport, QEvent::Type type, const QPoint& pos, const QMimeData* data)
{
    if (type == QEvent::DragEnter) {
        QDragEnterEvent event(pos, Qt::MoveAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &event);
        return event.isAccepted();
    }
    if (type == QEvent::DragMove) {
        QDragMoveEvent event(pos, Qt::MoveAction, data, Qt::LeftButton, {});
        QCoreApplication::sendEvent(viewport, &event);
        return event.isAccepted();
    }
    QDropEvent event(pos, Qt::MoveAction, data, Qt::LeftButton, {});
    QCoreApplication::sendEvent(viewport, &event);
    return event.isAccepted();
}

} // namespace

class MappingDragDropTest : public QObject
{
    Q_OBJECT

private slots:
    void threshold_data()
    {
        QTest::addColumn<QPoint>("moved");
        QTest::addColumn<bool>("reached");
        QTest::newRow("still") << QPoint(0, 0) << false;
        QTest::newRow("9 right") << QPoint(9, 0) << false;
        QTest::newRow("9 both ways") << QPoint(-9, 9) << false;
        QTest::newRow("10 right") << QPoint(10, 0) << true;
        QTest::newRow("10 up") << QPoint(0, -10) << true;
        QTest::newRow("10 left, 3 down") << QPoint(-10, 3) << true;
    }

    void threshold()
    {
        QFETCH(QPoint, moved);
        QFETCH(bool, reached);
        const QPoint pressed(40, 50);
        QCOMPARE(DragThresholdReached(pressed, pressed + moved), reached);
    }

    void mimeDataCarriesTheFieldOfThisProgramOnly()
    {
        std::unique_ptr<QMimeData> data(SourceFieldMimeData(7));
        QCOMPARE(SourceFieldOf(data.get()), 7);
        const QString type = QString::fromLatin1(kSourceFieldMimeType);
        for (const QByteArray& foreign : {QByteArray("1 7"), QByteArray("7"), QByteArray("x y")}) {
            QMimeData other;
            other.setData(type, foreign);
            QCOMPARE(SourceFieldOf(&other), 0);
        }
        QMimeData text;
        text.setText(QStringLiteral("7"));
        QCOMPARE(SourceFieldOf(&text), 0);
        QCOMPARE(SourceFieldOf(nullptr), 0);
    }

    void dragStartsAfterTenPixelsWithTheButtonHeld_data()
    {
        QTest::addColumn<int>("button");
        QTest::newRow("left") << int(Qt::LeftButton);
        QTest::newRow("middle") << int(Qt::MiddleButton);
    }

    void dragStartsAfterTenPixelsWithTheButtonHeld()
    {
        QFETCH(int, button);
        const auto mouseButton = static_cast<Qt::MouseButton>(button);
        MappingFixture f;
        QList<int> dragged;
        f.controller->DragDrop().SetDragRunner([&](int field) { dragged << field; });
        const QPoint start = f.RowCentre(f.ui.lvSource, 1);
        QTest::mousePress(f.SourceViewport(), mouseButton, {}, start);
        QCOMPARE(f.SelectedRows(f.ui.lvSource), QList<int>{1});
        QCOMPARE(f.window.focusWidget(), f.ui.lvSource);
        QTest::mouseMove(f.SourceViewport(), start + QPoint(9, 0));
        QTest::mouseMove(f.SourceViewport(), start + QPoint(9, 9));
        QVERIFY(dragged.isEmpty());
        QTest::mouseMove(f.SourceViewport(), start + QPoint(0, 10));
        QCOMPARE(dragged, QList<int>{2});
        QTest::mouseRelease(f.SourceViewport(), mouseButton, {}, start + QPoint(0, 10));
        QCOMPARE(f.SelectedRows(f.ui.lvSource), QList<int>{1});

        // A short movement is an ordinary click; a press beside the rows drags nothing.
        QTest::mousePress(f.SourceViewport(), mouseButton, {}, start);
        QTest::mouseRelease(f.SourceViewport(), mouseButton, {}, start + QPoint(5, 0));
        const QPoint below(10, f.SourceViewport()->height() - 3);
        QTest::mousePress(f.SourceViewport(), mouseButton, {}, below);
        QTest::mouseMove(f.SourceViewport(), below - QPoint(0, 30));
        QTest::mouseRelease(f.SourceViewport(), mouseButton, {}, below - QPoint(0, 30));
        QCOMPARE(dragged, QList<int>{2});
    }

    // The platform's own drag loop, driven by mouse events to the window (xcb; the offscreen
    // platform ends every drag at once).
    void realDragThroughTheWindow()
    {
        if (QGuiApplication::platformName() == QLatin1String("offscreen")) {
            QSKIP("the offscreen platform has no drag loop");
        }
        MappingFixture f;
        QWindow* window = f.window.windowHandle();
        const auto inWindow = [&](QTreeView* view, int row) {
            return view->viewport()->mapTo(&f.window, f.RowCentre(view, row));
        };
        int targetDuringDrag = -1;
        QTimer::singleShot(100, &f.window, [&] {
            QTest::mouseMove(window, inWindow(f.ui.lvDestination, 2));
            QTest::mouseMove(window, inWindow(f.ui.lvDestination, 3));
            targetDuringDrag = f.controller->DragDrop().DropTargetRow(f.ui.lvDestination);
            QTest::mouseRelease(window, Qt::LeftButton, {}, inWindow(f.ui.lvDestination, 3));
        });
        QTest::mousePress(window, Qt::LeftButton, {}, inWindow(f.ui.lvSource, 1));
        QTest::mouseMove(window, inWindow(f.ui.lvSource, 1) + QPoint(15, 0));
        QCOMPARE(targetDuringDrag, 3);
        QTRY_COMPARE(f.Row(3).sourceFieldNo, 2);
    }

    void traceOnShowsTheDropTargetAndAssigns()
    {
        MappingFixture f;
        MappingDragDrop& dragDrop = f.controller->DragDrop();
        QWidget* destination = f.DestinationViewport();
        bool updatesDuringDrag = false;
        int targetDuringDrag = -1;
        dragDrop.SetDragRunner([&](int field) {
            std::unique_ptr<QMimeData> data(SourceFieldMimeData(field));
            const QPoint target = f.RowCentre(f.ui.lvDestination, 3);
            QVERIFY(SendDrag(destination, QEvent::DragEnter, target, data.get()));
            QVERIFY(SendDrag(destination, QEvent::DragMove, target, data.get()));
            updatesDuringDrag = f.window.updatesEnabled();
            targetDuringDrag = dragDrop.DropTargetRow(f.ui.lvDestination);
            QVERIFY(SendDrag(destination, QEvent::Drop, target, data.get()));
        });
        const QPoint start = f.RowCentre(f.ui.lvSource, 1);
        QTest::mousePress(f.SourceViewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(f.SourceViewport(), start + QPoint(12, 0));
        QTest::mouseRelease(f.SourceViewport(), Qt::LeftButton, {}, start + QPoint(12, 0));
        QVERIFY(updatesDuringDrag);
        QCOMPARE(targetDuringDrag, 3);
        QCOMPARE(dragDrop.DropTargetRow(f.ui.lvDestination), -1);
        QVERIFY(!dragDrop.Dragging());
        QTRY_COMPARE(f.Row(3).sourceFieldNo, 2);
        QCOMPARE(f.Row(3).value, std::string("Acme Corp"));
        QVERIFY(f.prompts.Asked().empty());
    }

    void traceOffFreezesTheWindowAndMerges()
    {
        MappingFixture f;
        f.workspace.SetTrace(TraceMode::Off);
        MappingDragDrop& dragDrop = f.controller->DragDrop();
        bool updatesDuringDrag = true;
        int targetDuringDrag = -2;
        dragDrop.SetDragRunner([&](int field) {
            std::unique_ptr<QMimeData> data(SourceFieldMimeData(field));
            const QPoint target = f.RowCentre(f.ui.lvSource, 0);
            QVERIFY(SendDrag(f.SourceViewport(), QEvent::DragEnter, target, data.get()));
            QVERIFY(SendDrag(f.SourceViewport(), QEvent::DragMove, target, data.get()));
            updatesDuringDrag = f.window.updatesEnabled();
            targetDuringDrag = dragDrop.DropTargetRow(f.ui.lvSource);
            QVERIFY(SendDrag(f.SourceViewport(), QEvent::Drop, target, data.get()));
        });
        const QPoint start = f.RowCentre(f.ui.lvSource, 1);
        QTest::mousePress(f.SourceViewport(), Qt::LeftButton, {}, start);
        QTest::mouseMove(f.SourceViewport(), start + QPoint(-10, 0));
        QTest::mouseRelease(f.SourceViewport(), Qt::LeftButton, {}, start);
        QVERIFY(!updatesDuringDrag);
        QCOMPARE(targetDuringDrag, -1);
        QVERIFY(f.window.updatesEnabled());
        QTRY_COMPARE(f.workspace.SourceFields()[0], std::string("C1 Acme Corp"));
    }

    void dropsAreAcceptedByListsWithRows()
    {
        MappingFixture f(kSource, -1); // no form: no destination rows
        std::unique_ptr<QMimeData> data(SourceFieldMimeData(1));
        const QPoint pos(20, 10);
        QVERIFY(!SendDrag(f.DestinationViewport(), QEvent::DragEnter, pos, data.get()));
        QVERIFY(SendDrag(f.SourceViewport(), QEvent::DragEnter, pos, data.get()));
        QMimeData foreign;
        foreign.setText(QStringLiteral("1"));
        QVERIFY(!SendDrag(f.SourceViewport(), QEvent::DragEnter, pos, &foreign));
        QVERIFY(!SendDrag(f.SourceViewport(), QEvent::Drop, pos, &foreign));
        QCoreApplication::processEvents();
        QCOMPARE(f.workspace.MergeSources()[1], 0);
    }

    void dropOnDestination_data()
    {
        QTest::addColumn<int>("mappedBefore"); // -1: fixed value "X"
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("field");
        QTest::addColumn<int>("mappedAfter");
        QTest::addColumn<QString>("value");
        QTest::newRow("same field unassigns") << 1 << 0 << 1 << 0 << "";
        QTest::newRow("fixed value replaced") << -1 << 0 << 4 << 4 << "12-3456789";
        QTest::newRow("no row under the mouse") << 5 << -1 << 1 << 5 << "ACME";
        QTest::newRow("no field dragged") << 5 << 0 << 0 << 5 << "ACME";
    }

    void dropOnDestination()
    {
        QFETCH(int, mappedBefore);
        QFETCH(int, row);
        QFETCH(int, field);
        QFETCH(int, mappedAfter);
        QFETCH(QString, value);
        MappingFixture f;
        if (mappedBefore > 0) {
            f.workspace.AssignSourceField(0, mappedBefore);
        } else if (mappedBefore < 0) {
            f.workspace.SetFixedValue(0, std::string("X"));
        }
        f.controller->lvDestinationDragDrop(row, field);
        QCOMPARE(f.Row(0).sourceFieldNo, mappedAfter);
        QCOMPARE(QString::fromStdString(f.Row(0).value), value);
    }

    void dropOnSourceSetsAndRemovesMerges()
    {
        MappingFixture f;
        f.workspace.AssignSourceField(1, 2);
        const auto field2 = [&f] { return f.workspace.SourceFields()[1]; };
        f.controller->lvSourceDragDrop(2, 4);
        QCOMPARE(field2(), std::string("Acme Corp 12-3456789"));
        QCOMPARE(f.Row(1).value, std::string("Acme Corp 12-3456789"));
        f.controller->lvSourceDragDrop(2, 4);
        QCOMPARE(field2(), std::string("Acme Corp"));
        f.controller->lvSourceDragDrop(2, 2);
        f.controller->lvSourceDragDrop(0, 4);
        QCOMPARE(field2(), std::string("Acme Corp"));
        QCOMPARE(f.workspace.MergeSources()[2], 0);
    }
};

QTEST_MAIN(MappingDragDropTest)
#include "MappingDragDropTest.moc"
