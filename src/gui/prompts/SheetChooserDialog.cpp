#include "prompts/SheetChooserDialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace impmap::gui {

SheetChooserDialog::SheetChooserDialog(const QString& workbookName,
                                       const std::vector<SheetChoice>& sheets, int preselected,
                                       QWidget* parent)
    : QDialog(parent), list_(new QListWidget(this))
{
    setWindowTitle(QStringLiteral("Choose a Sheet"));
    auto* layout = new QVBoxLayout(this);
    auto* label =
        new QLabel(QStringLiteral("The workbook %1 has %2 sheets. Which one holds the records?")
                       .arg(workbookName)
                       .arg(sheets.size()),
                   this);
    label->setWordWrap(true);
    label->setBuddy(list_);
    layout->addWidget(label);
    for (const SheetChoice& sheet : sheets)
        list_->addItem(SheetChoiceText(sheet));
    list_->setCurrentRow(preselected);
    list_->setAccessibleName(QStringLiteral("Sheets"));
    list_->setAccessibleDescription(
        QStringLiteral("The sheets of the workbook with their row counts"));
    layout->addWidget(list_);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Open"));
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(list_, &QListWidget::itemActivated, this, &QDialog::accept);
    list_->setFocus();
}

int SheetChooserDialog::Chosen() const
{
    return list_->currentRow();
}

} // namespace impmap::gui
