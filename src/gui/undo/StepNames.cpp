#include "undo/StepNames.h"

#include "platform/Bytes.h"
#include "schema/FormCatalogue.h"

#include <algorithm>
#include <array>

namespace impmap::gui {

namespace {

QString MenuText(const QString& text)
{
    QString escaped = text;
    return escaped.replace(u'&', QStringLiteral("&&"));
}

// "Decimal Implied", "Header Skip": the first setting that differs; empty when none does.
QString SettingName(const MappingState& before, const MappingState& after)
{
    struct Setting
    {
        const char* name;
        int before;
        int after;
        std::array<const char*, 3> choices;
    };
    const std::array<Setting, 4> settings{{
        {"Header", ChoiceIndex(before.header), ChoiceIndex(after.header), {"Read", "Skip", ""}},
        {"Delimiter",
         ChoiceIndex(before.delimiter),
         ChoiceIndex(after.delimiter),
         {"Tab", "Comma", "Pipe"}},
        {"Decimal",
         ChoiceIndex(before.decimal),
         ChoiceIndex(after.decimal),
         {"Normal", "Implied", ""}},
        {"Trace", ChoiceIndex(before.trace), ChoiceIndex(after.trace), {"On", "Off", ""}},
    }};
    for (const Setting& setting : settings) {
        const int value = setting.after;
        if (setting.before == value)
            continue;
        const char* choice =
            value >= 0 && value < 3 ? setting.choices[static_cast<size_t>(value)] : "";
        return QString::fromLatin1(setting.name) +
               (*choice != '\0' ? u' ' + QString::fromLatin1(choice) : QString());
    }
    return {};
}

QString MergeName(const MappingState& before, const MappingState& after)
{
    for (const auto& merge : after.merges) {
        if (std::find(before.merges.begin(), before.merges.end(), merge) == before.merges.end())
            return QStringLiteral("Merge Field %1 into Field %2")
                .arg(merge.second)
                .arg(merge.first);
    }
    for (const auto& merge : before.merges) {
        if (std::find(after.merges.begin(), after.merges.end(), merge) == after.merges.end())
            return QStringLiteral("Remove Merge into Field %1").arg(merge.first);
    }
    return {};
}

QString RowName(const MappingState& before, const MappingState& after,
                const std::vector<DestinationRow>& rows)
{
    const auto captionOf = [&rows](size_t i) {
        return i < rows.size() ? MenuText(FromBytes(rows[i].caption)) : QString();
    };
    // A changed assignment names the step; the display conversion may change the TIN type that
    // a taxpayer id decides besides.
    std::vector<size_t> assigned, fixed;
    for (size_t i = 0; i < after.rows.size() && i < before.rows.size(); ++i) {
        if (after.rows[i].sourceFieldNo != before.rows[i].sourceFieldNo)
            assigned.push_back(i);
        else if (after.rows[i].fixedValue != before.rows[i].fixedValue &&
                 (i >= rows.size() || rows[i].typeCode != 'T' ||
                  after.tinTypeValue != before.tinTypeValue))
            fixed.push_back(i);
    }
    if (assigned.size() == 1) {
        const size_t i = assigned.front();
        return (after.rows[i].sourceFieldNo != 0 ? QStringLiteral("Assign ")
                                                 : QStringLiteral("Unassign ")) +
               captionOf(i);
    }
    if (assigned.empty() && fixed.size() == 1)
        return QStringLiteral("Fixed Value of ") + captionOf(fixed.front());
    if (assigned.size() + fixed.size() > 1)
        return QStringLiteral("Change %1 Fields").arg(assigned.size() + fixed.size());
    return {};
}

} // namespace

QString MappingStepName(const MappingState& before, const MappingState& after,
                        const std::vector<DestinationRow>& rows)
{
    if (after.formIndex != before.formIndex) {
        if (after.formIndex < 0 || after.formIndex >= kFormCount)
            return QStringLiteral("Clear Form");
        return QStringLiteral("Choose Form ") +
               MenuText(FromBytes(FormNames[static_cast<size_t>(after.formIndex)]));
    }
    for (const QString& name :
         {SettingName(before, after), MergeName(before, after), RowName(before, after, rows)}) {
        if (!name.isEmpty())
            return name;
    }
    return QStringLiteral("Change Mapping");
}

} // namespace impmap::gui
