#include "report/ProblemsModel.h"

#include "check/ProblemList.h"
#include "platform/Bytes.h"

namespace impmap::gui {

namespace {

const std::string& CaptionOf(const ProblemList& list, int row)
{
    static const std::string kNone;
    const auto& captions = list.Captions();
    return row >= 0 && static_cast<size_t>(row) < captions.size()
               ? captions[static_cast<size_t>(row)]
               : kNone;
}

} // namespace

ProblemsModel::ProblemsModel(const ProblemList& list, QObject* parent)
    : QAbstractTableModel(parent), list_(list)
{}

int ProblemsModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(list_.Problems().size());
}

int ProblemsModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : kColumnCount;
}

QVariant ProblemsModel::data(const QModelIndex& index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    const FieldProblem& problem = list_.Problems()[static_cast<size_t>(index.row())];
    switch (index.column()) {
    case kRecord:
        return QString::number(problem.record);
    case kField:
        return FromBytes(CaptionOf(list_, problem.row));
    case kSourceValue:
        return FromBytes(problem.sourceValue);
    case kProblem:
        return FromBytes(problem.text);
    case kKind:
        return problem.warning ? QStringLiteral("Warning") : QStringLiteral("Error");
    default:
        return {};
    }
}

QVariant ProblemsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal)
        return QAbstractTableModel::headerData(section, orientation, role);
    static const char* const kHeaders[kColumnCount] = {"Record", "Destination Field",
                                                       "Source Value", "Problem", "Kind"};
    return section >= 0 && section < kColumnCount ? QString::fromLatin1(kHeaders[section])
                                                  : QVariant();
}

ProblemsFilter::ProblemsFilter(ProblemsModel& model, QObject* parent)
    : QSortFilterProxyModel(parent), list_(model.List())
{
    setSourceModel(&model);
}

void ProblemsFilter::SetFilter(int row, Kind kind)
{
    row_ = row;
    kind_ = kind;
    invalidateFilter();
}

bool ProblemsFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    (void)sourceParent;
    const FieldProblem& problem = list_.Problems()[static_cast<size_t>(sourceRow)];
    if (row_ >= 0 && problem.row != row_)
        return false;
    return kind_ == Kind::All || problem.warning == (kind_ == Kind::Warnings);
}

bool ProblemsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const auto& problems = list_.Problems();
    const FieldProblem& a = problems[static_cast<size_t>(left.row())];
    const FieldProblem& b = problems[static_cast<size_t>(right.row())];
    // Equal keys keep the list's record order.
    auto byOrder = [&] { return left.row() < right.row(); };
    switch (left.column()) {
    case ProblemsModel::kField: {
        const int order = CaptionOf(list_, a.row).compare(CaptionOf(list_, b.row));
        return order != 0 ? order < 0 : byOrder();
    }
    case ProblemsModel::kSourceValue:
        return a.sourceValue != b.sourceValue ? a.sourceValue < b.sourceValue : byOrder();
    case ProblemsModel::kProblem:
        return a.text != b.text ? a.text < b.text : byOrder();
    case ProblemsModel::kKind:
        return a.warning != b.warning ? !a.warning : byOrder();
    default:
        return byOrder();
    }
}

} // namespace impmap::gui
