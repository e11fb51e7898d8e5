#pragma once

#include "prompts/Prompts.h"

#include <QDialog>

class QListWidget;

namespace impmap::gui {

// Which sheet of a workbook to open: the sheets with their row counts (hidden ones marked), one
// preselected; Enter or a double-click opens the sheet selected.
class SheetChooserDialog : public QDialog
{
    Q_OBJECT

public:
    SheetChooserDialog(const QString& workbookName, const std::vector<SheetChoice>& sheets,
                       int preselected, QWidget* parent = nullptr);
    // The 0-based index of the sheet selected.
    int Chosen() const;

private:
    QListWidget* list_;
};

} // namespace impmap::gui
