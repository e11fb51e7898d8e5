#include "suggest/SuggestDialog.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace impmap::gui {

SuggestDialog::SuggestDialog(const QString& intro, const QString& note, QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Suggest Mapping"));
    setObjectName(QStringLiteral("SuggestDialog"));
    auto* layout = new QVBoxLayout(this);

    auto* introLabel = new QLabel(intro);
    introLabel->setWordWrap(true);
    introLabel->setObjectName(QStringLiteral("lbSuggestIntro"));
    layout->addWidget(introLabel);

    table_ = new QTableView;
    table_->setObjectName(QStringLiteral("lvSuggestions"));
    table_->setModel(&model_);
    table_->setSelectionBehavior(QAbstractItemView::SelectRows);
    table_->setSelectionMode(QAbstractItemView::SingleSelection);
    table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    table_->setWordWrap(false);
    table_->verticalHeader()->hide();
    table_->horizontalHeader()->setStretchLastSection(true);
    table_->setAccessibleName(QStringLiteral("Suggested mapping"));
    table_->setAccessibleDescription(
        QStringLiteral("One row per destination field: the proposed source field, the value it "
                       "would take, the confidence and the reason. Space ticks or unticks the "
                       "row; ticked rows are applied."));
    table_->installEventFilter(this);
    introLabel->setBuddy(table_);
    layout->addWidget(table_, 1);

    summary_ = new QLabel;
    summary_->setObjectName(QStringLiteral("lbSuggestSummary"));
    layout->addWidget(summary_);
    if (!note.isEmpty()) {
        auto* noteLabel = new QLabel(note);
        noteLabel->setObjectName(QStringLiteral("lbSuggestNote"));
        noteLabel->setWordWrap(true);
        layout->addWidget(noteLabel);
    }

    auto* buttons = new QDialogButtonBox;
    tickHigh_ = buttons->addButton(QStringLiteral("&Default Ticks"), QDialogButtonBox::ResetRole);
    tickHigh_->setObjectName(QStringLiteral("bSuggestDefaults"));
    tickHigh_->setAccessibleDescription(
        QStringLiteral("Ticks the rows as they were ticked when the dialog opened"));
    clear_ = buttons->addButton(QStringLiteral("&Untick All"), QDialogButtonBox::ResetRole);
    clear_->setObjectName(QStringLiteral("bSuggestClear"));
    apply_ = buttons->addButton(QStringLiteral("&Apply"), QDialogButtonBox::AcceptRole);
    apply_->setObjectName(QStringLiteral("bSuggestApply"));
    apply_->setAccessibleDescription(
        QStringLiteral("Assigns the ticked rows; every other row stays as it is"));
    QPushButton* cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setObjectName(QStringLiteral("bSuggestCancel"));
    layout->addWidget(buttons);
    // Enter applies, whichever control has the focus; the button box is in the dialog by now.
    for (QPushButton* button : {tickHigh_, clear_, cancel})
        button->setAutoDefault(false);
    apply_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(tickHigh_, &QPushButton::clicked, &model_, &SuggestionsModel::TickDefaults);
    connect(clear_, &QPushButton::clicked, &model_, &SuggestionsModel::ClearTicks);
    connect(&model_, &SuggestionsModel::TicksChanged, this, &SuggestDialog::UpdateSummary);
    connect(&model_, &QAbstractItemModel::modelReset, this, &SuggestDialog::FitToRows);
    table_->verticalHeader()->setDefaultSectionSize(table_->fontMetrics().height() + 6);
}

// As wide as the columns need, within the screen; the first row current.
void SuggestDialog::FitToRows()
{
    table_->resizeColumnsToContents();
    int width = table_->frameWidth() * 2 + table_->verticalScrollBar()->sizeHint().width();
    for (int column = 0; column < model_.columnCount(); ++column)
        width += table_->columnWidth(column);
    const QRect screen =
        this->screen() != nullptr ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 800);
    const QMargins margins = layout()->contentsMargins();
    resize(std::min(width + margins.left() + margins.right(), screen.width() * 9 / 10),
           std::min(640, screen.height() * 8 / 10));
    if (model_.rowCount() > 0)
        table_->setCurrentIndex(model_.index(0, SuggestionsModel::kField));
}

void SuggestDialog::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    // The list first, so that Space ticks and Enter applies at once; after the button box, which
    // takes the focus for its first button when it is shown.
    QTimer::singleShot(0, table_, [this] { table_->setFocus(Qt::OtherFocusReason); });
}

QString SuggestDialog::Summary() const
{
    return QStringLiteral("%1 of %2 fields have a proposal; %3 ticked.")
        .arg(model_.ProposedCount())
        .arg(model_.rowCount())
        .arg(model_.TickedCount());
}

void SuggestDialog::UpdateSummary()
{
    summary_->setText(Summary());
    apply_->setEnabled(model_.TickedCount() > 0);
}

// Space ticks or unticks the current row whichever of its cells has the focus.
bool SuggestDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == table_ && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Space &&
        static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
        model_.Toggle(table_->currentIndex().row());
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace impmap::gui
