#include "report/ProblemsModel.h"

#include "check/ProblemList.h"
#include "platform/Bytes.h"

#include <algorithm>

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

// The problem as the table shows it: without the "Destination field "CAPTION" " that starts it,
// since the field's own column names it; the rest starts with a capital.
QString ShownProblem(const ProblemList& list, const FieldProblem& problem)
{
    const std::string prefix = "Destination field \"" + CaptionOf(list, problem.row) + "\" ";
    std::string_view text = problem.text;
    if (text.starts_with(prefix) && text.size() > prefix.size())
        text.remove_prefix(prefix.size());
    std::string shown(text);
    if (!shown.empty() && shown[0] >= 'a' && shown[0] <= 'z')
        shown[0] = static_cast<char>(shown[0] - 'a' + 'A');
    return FromBytes(shown);
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
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const FieldProblem& problem = list_.Problems()[static_cast<size_t>(index.row())];
    // A problem too long for its column shows whole in its tooltip.
    if (role == Qt::ToolTipRole && index.column() == kProblem)
        return FromBytes(problem.text);
    if (role != Qt::DisplayRole)
        return {};
    switch (index.column()) {
    case kRecord:
        return QString::number(problem.record);
    case kField:
        return FromBytes(CaptionOf(list_, problem.row));
    case kSourceValue:
        return FromBytes(problem.sourceValue);
    case kProblem:
        return ShownProblem(list_, problem);
    case kKind:
        if (problem.irsAnswer)
            return QStringLiteral("TIN Matching");
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
    // Rebuilt at once: filtering row by row sends one removal per gap between the rows that
    // stay, which takes seconds over a hundred thousand interleaved problems.
    invalidate();
}

bool ProblemsFilter::filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const
{
    (void)sourceParent;
    const FieldProblem& problem = list_.Problems()[static_cast<size_t>(sourceRow)];
    if (row_ >= 0 && problem.row != row_)
        return false;
    if (kind_ == Kind::TinMatching)
        return problem.irsAnswer;
    return kind_ == Kind::All || problem.warning == (kind_ == Kind::Warnings);
}

bool ProblemsFilter::lessThan(const QModelIndex& left, const QModelIndex& right) const
{
    const std::vector<unsigned>& rank = Ranks(left.column());
    return rank.empty()
               ? left.row() < right.row()
               : rank[static_cast<size_t>(left.row())] < rank[static_cast<size_t>(right.row())];
}

const std::vector<unsigned>& ProblemsFilter::Ranks(int column) const
{
    static const std::vector<unsigned> kListOrder;
    if (column <= ProblemsModel::kRecord || column >= ProblemsModel::kColumnCount)
        return kListOrder; // the list is in record order already
    std::vector<unsigned>& rank = ranks_[static_cast<size_t>(column)];
    const auto& problems = list_.Problems();
    if (rank.size() == problems.size())
        return rank;
    // Each column is ordered once, on the list's own values; equal keys keep record order.
    std::vector<unsigned> order(problems.size());
    for (size_t i = 0; i < order.size(); ++i)
        order[i] = static_cast<unsigned>(i);
    auto key = [&](unsigned i) -> const FieldProblem& { return problems[i]; };
    switch (column) {
    case ProblemsModel::kField:
        std::stable_sort(order.begin(), order.end(), [&](unsigned a, unsigned b) {
            return CaptionOf(list_, key(a).row) < CaptionOf(list_, key(b).row);
        });
        break;
    case ProblemsModel::kSourceValue:
        std::stable_sort(order.begin(), order.end(), [&](unsigned a, unsigned b) {
            return key(a).sourceValue < key(b).sourceValue;
        });
        break;
    case ProblemsModel::kProblem: {
        // By the text shown, worked out once per problem.
        std::vector<QString> shown(problems.size());
        for (size_t i = 0; i < shown.size(); ++i)
            shown[i] = ShownProblem(list_, problems[i]);
        std::stable_sort(order.begin(), order.end(),
                         [&](unsigned a, unsigned b) { return shown[a] < shown[b]; });
        break;
    }
    default: // errors, then warnings, then the answers of TIN Matching
        std::stable_sort(order.begin(), order.end(), [&](unsigned a, unsigned b) {
            const auto rank = [](const FieldProblem& p) { return p.irsAnswer ? 2 : p.warning; };
            return rank(key(a)) < rank(key(b));
        });
        break;
    }
    rank.assign(order.size(), 0);
    for (size_t position = 0; position < order.size(); ++position)
        rank[order[position]] = static_cast<unsigned>(position);
    return rank;
}

} // namespace impmap::gui
