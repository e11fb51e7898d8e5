#include "execute/ExecutionPlan.h"

#include "convert/Converters.h"
#include "convert/Text.h"
#include "execute/FieldRule.h"
#include "mapping/Workspace.h"

#include <algorithm>

namespace impmap {
namespace {

bool HasRule(char typeCode)
{
    return std::string_view("cCuw#IbDdeknNYy").find(typeCode) != std::string_view::npos;
}

DisplayStep DisplayStepOf(char typeCode, bool lastTaxpayer, bool lastSsn)
{
    switch (typeCode) {
    case 'T':
        return DisplayStep::TinType;
    case 'c':
    case 'C':
        return DisplayStep::Amount;
    case 'w':
        return DisplayStep::Whole;
    case '9':
        return DisplayStep::Nine;
    case 'I':
        return DisplayStep::Indicator;
    default:
        break;
    }
    if (lastTaxpayer)
        return DisplayStep::LastTaxpayer;
    return lastSsn ? DisplayStep::LastSsn : DisplayStep::None;
}

int LastRowOf(const std::vector<DestinationRow>& rows, char typeCode)
{
    for (size_t i = rows.size(); i-- > 0;) {
        if (rows[i].typeCode == typeCode)
            return static_cast<int>(i);
    }
    return -1;
}

// Swallows what a rule reports while a fixed value is tried out.
class SilentCallbacks : public ExecuteCallbacks
{
public:
    void OutputLine(std::string_view) override {}
};

// The fixed value of an unmapped row as every record writes it (converted once, as showing any
// record converts it); nothing when its rule rejects or replaces it.
std::optional<std::string> ConstantOf(const PlanRow& planRow, const std::string& value,
                                      const ExecutionPlan& plan, const ExecuteOptions& options)
{
    std::string once = value;
    ApplyDisplayStep(planRow.display, planRow.row.typeCode, once, plan.implied);
    std::string written(TrimView(once));
    if (!planRow.hasRule)
        return written;
    SilentCallbacks silent;
    long warnings = 0;
    if (ApplyFieldRule(planRow.row, -1, 1, plan.headerHint, written, {}, silent, options,
                       plan.implied, warnings) ||
        warnings > 0)
        return std::nullopt;
    return written;
}

} // namespace

void ApplyDisplayStep(DisplayStep step, char typeCode, std::string& value, bool implied)
{
    if (step == DisplayStep::None)
        return;
    TrimInPlace(value);
    switch (step) {
    case DisplayStep::TinType:
        ConvertTinType(value);
        break;
    case DisplayStep::Amount:
        TryConvertAmount(value, typeCode, implied);
        break;
    case DisplayStep::Whole:
        ConvertWholeNumber(value);
        break;
    case DisplayStep::Nine:
        KeepLastNineDigits(value);
        break;
    case DisplayStep::Indicator:
        ConvertIndicator(value);
        break;
    case DisplayStep::LastTaxpayer:
        DropTaxpayerIdDashes(value);
        break;
    case DisplayStep::LastSsn:
        DropSsnDashes(value);
        break;
    case DisplayStep::None:
        break;
    }
}

std::optional<ExecutionPlan> ExecutionPlan::Compile(const Workspace& workspace,
                                                    const ExecuteOptions& options)
{
    ExecutionPlan plan;
    const std::vector<DestinationRow>& rows = workspace.Rows();
    plan.delimiter = workspace.DelimiterCharacter();
    plan.implied = workspace.ImpliedDecimal();
    plan.headerHint = workspace.Header() == HeaderMode::Read;
    plan.encoding = workspace.Format().encoding;
    plan.merges = workspace.MergeSources();
    for (int k = kMaxMergeField; k >= 1; --k) {
        if (plan.merges[static_cast<size_t>(k)] > 0)
            plan.activeMerges.push_back(k);
    }
    plan.lastTaxpayerRow = LastRowOf(rows, 'N');
    plan.lastTinTypeRow = LastRowOf(rows, 'T');
    plan.tinTypeValue = workspace.TinTypeValue();
    const int lastSsnRow = LastRowOf(rows, 'n');

    for (size_t i = 0; i < rows.size(); ++i) {
        const DestinationRow& row = rows[i];
        const auto index = static_cast<int>(i);
        PlanRow planRow;
        planRow.row = DestinationRow{row.caption, {}, row.sourceFieldNo, row.typeCode, row.fixed};
        planRow.field = row.sourceFieldNo > 0 ? row.sourceFieldNo : 0;
        plan.mappedRows += planRow.field > 0 ? 1 : 0;
        planRow.hasRule = HasRule(row.typeCode);
        planRow.merged = planRow.field > 0 && planRow.field <= kMaxMergeField &&
                         plan.merges[static_cast<size_t>(planRow.field)] > 0;
        planRow.display =
            DisplayStepOf(row.typeCode, index == plan.lastTaxpayerRow, index == lastSsnRow);
        if (planRow.field > 0) {
            planRow.notAllocated.append("(").append(std::to_string(planRow.field));
            planRow.notAllocated.append(") ").append(kNotAllocated).append("?");
        }
        if (index == plan.lastTinTypeRow && plan.lastTaxpayerRow >= 0) {
            planRow.kind = PlanRow::Kind::TinType;
            if (planRow.field == 0) {
                plan.fixedTinType = row.fixed;
                ApplyDisplayStep(DisplayStep::TinType, 'T', plan.fixedTinType, plan.implied);
            }
        } else if (planRow.field == 0) {
            auto constant = ConstantOf(planRow, row.fixed, plan, options);
            if (!constant)
                return std::nullopt;
            planRow.kind = PlanRow::Kind::Constant;
            planRow.constant = std::move(*constant);
        } else if (planRow.display == DisplayStep::None && !planRow.hasRule) {
            planRow.kind = PlanRow::Kind::Text;
        } else if (planRow.display == DisplayStep::Amount && !plan.implied) {
            planRow.kind = PlanRow::Kind::Amount;
        } else if (planRow.display == DisplayStep::Indicator) {
            planRow.kind = PlanRow::Kind::Indicator;
        } else {
            planRow.kind = PlanRow::Kind::General;
        }
        plan.rows.push_back(std::move(planRow));
    }

    if (plan.lastTaxpayerRow >= 0) {
        const DestinationRow& row = rows[static_cast<size_t>(plan.lastTaxpayerRow)];
        if (row.sourceFieldNo <= 0)
            plan.lastTaxpayerFixed = Trim(row.fixed); // decides the TIN type as it stands
    }

    // Merges chain upwards: a field appends a higher field with that one's own merges.
    for (const PlanRow& planRow : plan.rows) {
        int field = planRow.field;
        plan.maxField = std::max(plan.maxField, field);
        while (field > 0 && field <= kMaxMergeField &&
               plan.merges[static_cast<size_t>(field)] > 0) {
            const int next = plan.merges[static_cast<size_t>(field)];
            plan.maxField = std::max(plan.maxField, next);
            if (next <= field)
                break;
            field = next;
        }
    }
    return plan;
}

size_t ExecutionPlan::ValueBound(size_t lineLength) const
{
    // The fields together hold at most the line. Without merges a mapped value is one field; a
    // merged field holds at most a chain of distinct fields, one more field and a blank a link.
    const size_t merges = activeMerges.size();
    const size_t field = merges == 0 ? lineLength : 2 * lineLength + merges + 3;
    return merges * (field + 1) + static_cast<size_t>(mappedRows) * field;
}

} // namespace impmap
