#pragma once

#include <QTreeWidget>

namespace impmap {
class ControlTotals;
}

namespace impmap::gui {

// The Totals tab: for every amount field mapped or fixed, the records with a non-zero amount
// and the sum written, as the last completed run or check found them.
class TotalsView : public QTreeWidget
{
    Q_OBJECT

public:
    explicit TotalsView(QWidget* parent = nullptr);
    void SetTotals(const ControlTotals& totals);
};

} // namespace impmap::gui
