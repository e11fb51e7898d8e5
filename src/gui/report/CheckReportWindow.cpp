#include "report/CheckReportWindow.h"

#include "check/ProblemList.h"
#include "io/FileIo.h"
#include "platform/Bytes.h"
#include "prompts/ErrorDisplay.h"
#include "prompts/Prompts.h"
#include "report/ProblemsModel.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShortcut>
#include <QTableView>
#include <QVBoxLayout>
#include <algorithm>
#include <filesystem>
#include <set>

namespace impmap::gui {

CheckReportWindow::CheckReportWindow(std::unique_ptr<ProblemList> list, const QString& summary,
                                     Prompts& prompts, const QString& folder,
                                     const QString& proposedName, QWidget* parent)
    // A dialog's window type keeps it above the main window, so that a double-click that brings
    // the main window to the front does not hide the report behind it.
    : QWidget(parent, Qt::Dialog | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      list_(std::move(list)), prompts_(prompts), folder_(folder), proposedName_(proposedName),
      summary_(summary)
{
    setObjectName(QStringLiteral("fmCheckReport"));
    setWindowTitle(QStringLiteral("Check All Records"));
    resize(1000, 600);

    if (!list_->Complete())
        summary_ += QStringLiteral(" (only the first %1 are listed)").arg(list_->Problems().size());
    lbSummary_ = new QLabel(summary_);
    lbSummary_->setObjectName(QStringLiteral("lbSummary"));

    BuildFilters();
    BuildProblemTable();
    QPushButton* close = LayOut();
    Connect(close);
}

CheckReportWindow::~CheckReportWindow()
{
    // The view and the models are children, deleted only after the list they read is gone:
    // delete them first.
    delete tvProblems_;
    delete filter_;
    delete model_;
}

void CheckReportWindow::BuildFilters()
{
    coField_ = new QComboBox;
    coField_->setObjectName(QStringLiteral("coField"));
    coField_->addItem(QStringLiteral("All fields"), -1);
    // The fields with problems, by name.
    std::set<int> rows;
    for (const FieldProblem& problem : list_->Problems())
        rows.insert(problem.row);
    std::vector<std::pair<QString, int>> fields;
    for (int row : rows) {
        if (row >= 0 && static_cast<size_t>(row) < list_->Captions().size())
            fields.emplace_back(FromBytes(list_->Captions()[static_cast<size_t>(row)]), row);
    }
    std::stable_sort(fields.begin(), fields.end(), [](const auto& a, const auto& b) {
        return QString::compare(a.first, b.first, Qt::CaseInsensitive) < 0;
    });
    for (const auto& [caption, row] : fields)
        coField_->addItem(caption, row);
    coKind_ = new QComboBox;
    coKind_->setObjectName(QStringLiteral("coKind"));
    coKind_->addItems({QStringLiteral("Errors and warnings"), QStringLiteral("Errors"),
                       QStringLiteral("Warnings"), QStringLiteral("TIN Matching")});
}

void CheckReportWindow::BuildProblemTable()
{
    model_ = new ProblemsModel(*list_, this);
    filter_ = new ProblemsFilter(*model_, this);
    tvProblems_ = new QTableView;
    tvProblems_->setObjectName(QStringLiteral("tvProblems"));
    tvProblems_->setModel(filter_);
    tvProblems_->setSortingEnabled(true);
    tvProblems_->sortByColumn(ProblemsModel::kRecord, Qt::AscendingOrder);
    tvProblems_->setSelectionBehavior(QAbstractItemView::SelectRows);
    tvProblems_->setSelectionMode(QAbstractItemView::SingleSelection);
    tvProblems_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tvProblems_->setWordWrap(false);
    tvProblems_->verticalHeader()->hide();
    // Fixed row heights and column widths: nothing is measured over all rows.
    tvProblems_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    tvProblems_->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    // The problem text takes the room the other columns leave.
    QHeaderView* header = tvProblems_->horizontalHeader();
    header->setSectionResizeMode(QHeaderView::Interactive);
    header->setSectionResizeMode(ProblemsModel::kProblem, QHeaderView::Stretch);
    header->setStretchLastSection(false);
    const std::pair<int, int> widths[] = {{ProblemsModel::kRecord, 70},
                                          {ProblemsModel::kField, 170},
                                          {ProblemsModel::kSourceValue, 130},
                                          {ProblemsModel::kKind, 100}};
    for (const auto& [column, width] : widths)
        tvProblems_->setColumnWidth(column, width);
}

QPushButton* CheckReportWindow::LayOut()
{
    bSave_ = new QPushButton(QStringLiteral("&Save Problem Records..."));
    bSave_->setObjectName(QStringLiteral("bSaveProblems"));
    bSave_->setEnabled(!list_->Problems().empty());
    bLoadTinResults_ = new QPushButton(QStringLiteral("&Load TIN Matching Results..."));
    bLoadTinResults_->setObjectName(QStringLiteral("bLoadTinResults"));
    bLoadTinResults_->setToolTip(
        QStringLiteral("Check again with the answers of the IRS's TIN Matching to the file that "
                       "Tools > Export for TIN Matching wrote"));
    auto* close = new QPushButton(QStringLiteral("&Close"));

    auto* filters = new QHBoxLayout;
    filters->addWidget(new QLabel(QStringLiteral("Field:")));
    filters->addWidget(coField_, 1);
    filters->addWidget(new QLabel(QStringLiteral("Kind:")));
    filters->addWidget(coKind_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lbSummary_, 1);
    buttons->addWidget(bLoadTinResults_);
    buttons->addWidget(bSave_);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(filters);
    layout->addWidget(tvProblems_, 1);
    layout->addLayout(buttons);
    return close;
}

void CheckReportWindow::Connect(QPushButton* close)
{
    connect(coField_, &QComboBox::currentIndexChanged, this, &CheckReportWindow::FilterChange);
    connect(coKind_, &QComboBox::currentIndexChanged, this, &CheckReportWindow::FilterChange);
    // A double-click, or Enter on the current row.
    connect(tvProblems_, &QTableView::activated, this, &CheckReportWindow::tvProblemsDoubleClick);
    connect(bSave_, &QPushButton::clicked, this, &CheckReportWindow::bSaveClick);
    connect(bLoadTinResults_, &QPushButton::clicked, this, &CheckReportWindow::LoadTinMatchResults);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    connect(new QShortcut(QKeySequence::Cancel, this), &QShortcut::activated, this,
            &CheckReportWindow::EscapePressed);
}

void CheckReportWindow::FilterChange()
{
    const auto kind = static_cast<ProblemsFilter::Kind>(std::max(0, coKind_->currentIndex()));
    filter_->SetFilter(coField_->currentData().toInt(), kind);
    // While a filter hides some problems, the line says how many are shown.
    const bool filtered = coField_->currentIndex() > 0 || coKind_->currentIndex() > 0;
    lbSummary_->setText(filtered ? summary_ + QStringLiteral("; %1 of %2 shown")
                                                  .arg(filter_->rowCount())
                                                  .arg(list_->Problems().size())
                                 : summary_);
}

void CheckReportWindow::EscapePressed()
{
    for (QComboBox* box : {coField_, coKind_}) {
        if (box->view()->isVisible()) {
            box->hidePopup();
            return;
        }
    }
    close();
}

void CheckReportWindow::MoveAsideOf(const QRect& avoid)
{
    const QRect frame = frameGeometry();
    if (!frame.intersects(avoid) || screen() == nullptr)
        return;
    const QRect screenArea = screen()->availableGeometry();
    // The free parts of the screen around avoid; the largest takes the report.
    const QRect parts[] = {QRect(QPoint(screenArea.left(), screenArea.top()),
                                 QPoint(avoid.left() - 1, screenArea.bottom())),
                           QRect(QPoint(avoid.right() + 1, screenArea.top()),
                                 QPoint(screenArea.right(), screenArea.bottom())),
                           QRect(QPoint(screenArea.left(), screenArea.top()),
                                 QPoint(screenArea.right(), avoid.top() - 1)),
                           QRect(QPoint(screenArea.left(), avoid.bottom() + 1),
                                 QPoint(screenArea.right(), screenArea.bottom()))};
    QRect best;
    for (const QRect& part : parts) {
        const QRect fitting = part.intersected(screenArea);
        if (fitting.isValid() && static_cast<qint64>(fitting.width()) * fitting.height() >
                                     static_cast<qint64>(best.width()) * best.height())
            best = fitting;
    }
    if (!best.isValid())
        return;
    // The frame adds the title bar and borders to the window's own size.
    const QSize decoration = frame.size() - size();
    const QSize inner(std::min(width(), best.width() - decoration.width()),
                      std::min(height(), best.height() - decoration.height()));
    resize(inner.expandedTo(minimumSizeHint()));
    move(best.topLeft());
}

void CheckReportWindow::tvProblemsDoubleClick(const QModelIndex& index)
{
    const QModelIndex source = filter_->mapToSource(index);
    if (!source.isValid())
        return;
    const FieldProblem& problem = list_->Problems()[static_cast<size_t>(source.row())];
    emit ShowProblem(problem.record, problem.row);
}

void CheckReportWindow::bSaveClick()
{
    RunGuarded(prompts_, [this] {
        const std::optional<QString> path = prompts_.SaveFileName(
            QStringLiteral("Save Problem Records..."), folder_,
            QStringLiteral("Text Files (*.TXT)|*.TXT|Comma Separated (*.CSV)|*.CSV|"
                           "All Files (*.*)|*.*"),
            QStringLiteral("TXT"), proposedName_);
        if (!path || path->isEmpty())
            return;
        list_->Save(std::filesystem::path(path->toStdU16String()));
    });
}

} // namespace impmap::gui
