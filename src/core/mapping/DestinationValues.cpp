// The display conversion: every destination row's value rewritten by its type code, so that the
// list already shows what execution will write.
#include "convert/Converters.h"
#include "convert/Text.h"
#include "mapping/Workspace.h"

namespace impmap {

void Workspace::ConvertDestinationValues()
{
    // An unmapped row shows its fixed value converted, never what an earlier record left in it.
    for (DestinationRow& row : rows_) {
        if (row.sourceFieldNo == 0)
            row.value = row.fixed;
    }
    // 1: TIN types.
    for (int i : tinTypeRows_) {
        std::string& value = rows_[static_cast<size_t>(i)].value;
        TrimInPlace(value);
        ConvertTinType(value);
    }
    // 2: amounts, whole numbers and nine-digit numbers.
    for (int i : amountRows_) {
        DestinationRow& row = rows_[static_cast<size_t>(i)];
        TrimInPlace(row.value);
        TryConvertAmount(row.value, row.typeCode, ImpliedDecimal());
    }
    for (int i : wholeRows_) {
        std::string& value = rows_[static_cast<size_t>(i)].value;
        TrimInPlace(value);
        ConvertWholeNumber(value);
    }
    for (int i : nineRows_) {
        std::string& value = rows_[static_cast<size_t>(i)].value;
        TrimInPlace(value);
        KeepLastNineDigits(value);
    }
    // 3: the last taxpayer id decides the last TIN type, as a run writes it for this record.
    if (taxpayerIdRow_ >= 0) {
        std::string& t = rows_[static_cast<size_t>(taxpayerIdRow_)].value;
        TrimInPlace(t);
        const std::string fixedTinType = TinTypeValue();
        const std::string_view k = TinTypeOf(t, fixedTinType);
        if (tinTypeRow_ >= 0 && !k.empty())
            rows_[static_cast<size_t>(tinTypeRow_)].value = k;
        DropTaxpayerIdDashes(t);
    }
    // 4: the last social security number loses its dashes.
    if (ssnRow_ >= 0) {
        std::string& t = rows_[static_cast<size_t>(ssnRow_)].value;
        TrimInPlace(t);
        DropSsnDashes(t);
    }
    // 5: indicators.
    for (int i : indicatorRows_) {
        std::string& value = rows_[static_cast<size_t>(i)].value;
        TrimInPlace(value);
        ConvertIndicator(value);
    }
    Notify(kChangeRowValues);
}

} // namespace impmap
