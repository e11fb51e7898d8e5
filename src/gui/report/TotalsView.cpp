#include "report/TotalsView.h"

#include "check/ControlTotals.h"
#include "platform/Bytes.h"

#include <QHeaderView>

namespace impmap::gui {

TotalsView::TotalsView(QWidget* parent) : QTreeWidget(parent)
{
    setObjectName(QStringLiteral("lvTotals"));
    setRootIsDecorated(false);
    setColumnCount(3);
    setHeaderLabels(
        {QStringLiteral("Destination Field"), QStringLiteral("Records"), QStringLiteral("Sum")});
    // The numbers stay beside their captions rather than at the far edge of a wide window.
    header()->setStretchLastSection(false);
    header()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
}

void TotalsView::SetTotals(const ControlTotals& totals)
{
    clear();
    for (const ControlTotal& total : totals.Totals()) {
        auto* item = new QTreeWidgetItem(
            {FromBytes(total.caption), QString::number(total.count), FromBytes(total.SumText())});
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
        item->setTextAlignment(2, Qt::AlignRight | Qt::AlignVCenter);
        addTopLevelItem(item);
    }
    // Each column as wide as its heading or its widest text.
    for (int column = 0; column < columnCount(); ++column)
        resizeColumnToContents(column);
}

} // namespace impmap::gui
