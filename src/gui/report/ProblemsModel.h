#pragma once

#include <QAbstractTableModel>
#include <QSortFilterProxyModel>
#include <array>
#include <vector>

namespace impmap {
class ProblemList;
}

namespace impmap::gui {

// The problems of a check as a table: record, destination field, source value, problem, kind.
// It only reads the list, which outlives it.
class ProblemsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    enum Column
    {
        kRecord,
        kField,
        kSourceValue,
        kProblem,
        kKind,
        kColumnCount
    };

    explicit ProblemsModel(const ProblemList& list, QObject* parent = nullptr);

    const ProblemList& List() const { return list_; }
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;

private:
    const ProblemList& list_;
};

// Sorting by any column and filtering by destination field and kind. Both work on the list's
// own values rather than display texts, so a hundred thousand problems sort at once.
class ProblemsFilter : public QSortFilterProxyModel
{
    Q_OBJECT

public:
    // In the order of the report's kind filter.
    enum class Kind
    {
        All,
        Errors,
        Warnings,
        TinMatching // the warnings from the answers of the IRS's TIN Matching
    };

    explicit ProblemsFilter(ProblemsModel& model, QObject* parent = nullptr);

    // row: the 0-based destination row, -1 for every field.
    void SetFilter(int row, Kind kind);

protected:
    bool filterAcceptsRow(int sourceRow, const QModelIndex& sourceParent) const override;
    bool lessThan(const QModelIndex& left, const QModelIndex& right) const override;

private:
    // The rank of every problem in the order of a column, made on first use.
    const std::vector<unsigned>& Ranks(int column) const;

    const ProblemList& list_;
    mutable std::array<std::vector<unsigned>, ProblemsModel::kColumnCount> ranks_;
    int row_ = -1;
    Kind kind_ = Kind::All;
};

} // namespace impmap::gui
