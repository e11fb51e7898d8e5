#include "check/Plausibility.h"

#include "convert/Converters.h"
#include "convert/Text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <system_error>

namespace impmap {
namespace {

bool AllDigits(std::string_view text, size_t size)
{
    return text.size() == size && IsAllDigits(text);
}

int Number(std::string_view digits)
{
    int n = 0;
    for (char c : digits)
        n = n * 10 + (c - '0');
    return n;
}

bool Contains(std::string_view caption, std::string_view word)
{
    return UpperAscii(caption).find(UpperAscii(word)) != std::string::npos;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

// The codes the Postal Service gives states, the District of Columbia, territories, freely
// associated states and military post offices, in alphabetical order.
constexpr std::array<std::string_view, 62> kStateCodes = {
    "AA", "AE", "AK", "AL", "AP", "AR", "AS", "AZ", "CA", "CO", "CT", "DC", "DE", "FL", "FM", "GA",
    "GU", "HI", "IA", "ID", "IL", "IN", "KS", "KY", "LA", "MA", "MD", "ME", "MH", "MI", "MN", "MO",
    "MP", "MS", "MT", "NC", "ND", "NE", "NH", "NJ", "NM", "NV", "NY", "OH", "OK", "OR", "PA", "PR",
    "PW", "RI", "SC", "SD", "TN", "TX", "UM", "UT", "VA", "VI", "VT", "WA", "WI", "WV"};

// A caption that names a state code: "State", "State 1", "Corporate state", but not "Foreign
// state or province" or "State 1 ID".
bool NamesState(const std::string& caption)
{
    const std::string upper = UpperAscii(caption);
    if (upper.rfind("FOREIGN", 0) == 0)
        return false;
    return EndsWith(upper, "STATE") || EndsWith(upper, "STATE 1") || EndsWith(upper, "STATE 2");
}

} // namespace

std::string SsnReason(std::string_view nineDigits)
{
    if (!AllDigits(nineDigits, 9))
        return {};
    static constexpr std::array<std::string_view, 4> kMisused = {"078051120", "219099999",
                                                                 "457555462", "123456789"};
    const int area = Number(nineDigits.substr(0, 3));
    const int group = Number(nineDigits.substr(3, 2));
    const int serial = Number(nineDigits.substr(5, 4));
    if (std::find(kMisused.begin(), kMisused.end(), nineDigits) != kMisused.end() ||
        nineDigits.substr(0, 8) == "98765432")
        return "a social security number known from advertising and misuse";
    if (nineDigits.find_first_not_of(nineDigits[0]) == std::string_view::npos)
        return "a social security number of nine equal digits";
    if (area >= 900) {
        const bool itin = (group >= 50 && group <= 65) || (group >= 70 && group <= 88) ||
                          (group >= 90 && group <= 92) || group >= 94;
        return itin ? std::string() : "an area of 900 to 999 that is no valid ITIN";
    }
    if (area == 0 || area == 666 || group == 0 || serial == 0)
        return "a social security number never issued";
    return {};
}

std::string EinReason(std::string_view nineDigits)
{
    if (!AllDigits(nineDigits, 9))
        return {};
    static constexpr std::array<int, 17> kNeverAssigned = {0,  7,  8,  9,  17, 18, 19, 28, 29,
                                                           49, 69, 70, 78, 79, 89, 96, 97};
    const int prefix = Number(nineDigits.substr(0, 2));
    if (std::find(kNeverAssigned.begin(), kNeverAssigned.end(), prefix) != kNeverAssigned.end())
        return "an employer identification number with a prefix never assigned";
    return {};
}

std::string ZipReason(std::string_view zip, bool foreignAddress)
{
    if (zip.empty())
        return {};
    const bool fourFour = zip.size() == 9 && zip[4] == '-' && AllDigits(zip.substr(0, 4), 4) &&
                          AllDigits(zip.substr(5), 4);
    if (AllDigits(zip, 4) || fourFour)
        return "a zip code that has lost its leading zero";
    const bool fiveFour = zip.size() == 10 && zip[5] == '-' && AllDigits(zip.substr(0, 5), 5) &&
                          AllDigits(zip.substr(6), 4);
    if (foreignAddress || AllDigits(zip, 5) || AllDigits(zip, 9) || fiveFour)
        return {};
    return "neither a 5-digit nor a 5+4-digit zip code";
}

std::string StateReason(std::string_view state)
{
    if (state.empty())
        return {};
    if (state.size() == 2) {
        const std::array<char, 2> upper = {UpperByte(state[0]), UpperByte(state[1])};
        if (std::binary_search(kStateCodes.begin(), kStateCodes.end(),
                               std::string_view(upper.data(), upper.size())))
            return state[0] == upper[0] && state[1] == upper[1] ? std::string()
                                                                : "a state code in lower case";
    }
    return "not a two-letter state code";
}

std::string ZipExtensionReason(std::string_view extension)
{
    if (!extension.empty() && extension.size() < 4 && IsAllDigits(extension))
        return "a zip code extension of fewer than 4 digits (lost leading zeros?)";
    return {};
}

std::string PercentageReason(std::string_view percentage)
{
    double value = 0;
    const char* end = percentage.data() + percentage.size();
    const auto [stop, error] = std::from_chars(percentage.data(), end, value);
    if (percentage.empty() || error != std::errc() || stop != end)
        return {};
    if (value < 0 || value > 100)
        return "a percentage outside 0 to 100";
    return {};
}

std::string DateReason(std::string_view date)
{
    if (!AllDigits(date, 8))
        return {};
    const int year = Number(date.substr(4));
    if (year < kTaxYear - 1 || year > kTaxYear + 1)
        return "a date more than a year away from the tax year " + std::to_string(kTaxYear) +
               " (a two-digit year?)";
    return {};
}

namespace {

// Whether the commas of an amount's digits (signs, "$" and parentheses already gone) stand
// where thousands separators stand: 1 to 3 digits, then groups of 3, all before the full stop.
bool CommasGroupThousands(std::string_view number)
{
    const size_t point = number.find('.');
    if (number.find(',', point == std::string_view::npos ? number.size() : point) !=
        std::string_view::npos)
        return false;
    const std::string_view whole = number.substr(0, point);
    size_t start = 0;
    for (size_t group = 0;; ++group) {
        const size_t comma = whole.find(',', start);
        const size_t length = (comma == std::string_view::npos ? whole.size() : comma) - start;
        if (group == 0 ? (length < 1 || length > 3) : length != 3)
            return false;
        if (comma == std::string_view::npos)
            return true;
        start = comma + 1;
    }
}

} // namespace

std::string AmountReason(std::string_view source, char typeCode)
{
    source = TrimView(source);
    std::string converted(source);
    if (source.empty() || !TryConvertAmount(converted, typeCode, false))
        return {};
    // The pieces that hold digits: more than one are added up.
    size_t pieces = 0;
    for (size_t start = 0; start < source.size();) {
        size_t end = source.find(' ', start);
        if (end == std::string_view::npos)
            end = source.size();
        const std::string_view piece = source.substr(start, end - start);
        if (piece.find_first_of("0123456789") != std::string_view::npos)
            ++pieces;
        start = end + 1;
    }
    if (pieces > 1)
        return "blank-separated pieces added up";
    std::string number;
    for (const char c : source) {
        if (c != '$' && c != '(' && c != ')' && c != '+' && c != '-' && c != ' ')
            number += c;
    }
    if (number.find(',') != std::string::npos && !CommasGroupThousands(number)) {
        const size_t lastComma = number.rfind(',');
        const size_t after = number.size() - lastComma - 1;
        const bool pointBefore = number.find('.') < lastComma;
        if (pointBefore || (after >= 1 && after <= 2 && number.find('.') == std::string::npos))
            return "a comma that is no thousands separator (a decimal comma?)";
        return "grouping commas in the wrong places";
    }
    if (typeCode == 'c' && source.find_first_of("(-") != std::string_view::npos && converted != "0")
        return "a negative amount written as positive (the field takes none)";
    return {};
}

std::string EmailReason(std::string_view email)
{
    if (email.empty())
        return {};
    const size_t at = email.find('@');
    if (at == std::string_view::npos || email.find('@', at + 1) != std::string_view::npos ||
        email.find('.', at + 1) == std::string_view::npos)
        return "not an e-mail address";
    return {};
}

PlausibilityRules::PlausibilityRules(const std::vector<DestinationRow>& rows,
                                     std::string tinTypeValue)
    : rows_(rows), rules_(rows.size(), Rule::None), tinTypeValue_(std::move(tinTypeValue))
{
    for (size_t i = 0; i < rows_.size(); ++i) {
        const DestinationRow& row = rows_[i];
        const auto index = static_cast<int>(i);
        if (row.typeCode == 'T')
            tinTypeRow_ = index;
        if (row.typeCode == 'N') {
            taxpayerRow_ = index;
            rules_[i] = Rule::TaxpayerId;
        } else if (row.typeCode == 'n') {
            // An "n" row holds either kind of number; its caption tells which.
            rules_[i] = Contains(row.caption, "employer") ? Rule::Ein : Rule::Ssn;
        } else if (row.typeCode == 'I' &&
                   EqualsIgnoreCaseAscii(row.caption, "Foreign address indicator")) {
            foreignRow_ = index;
        } else if (row.typeCode == '$' && Contains(row.caption, "zip code")) {
            rules_[i] = Contains(row.caption, "extension") ? Rule::ZipExtension : Rule::Zip;
        } else if (row.typeCode == '$' && NamesState(row.caption)) {
            rules_[i] = Rule::State;
        } else if (row.typeCode == '$' && Contains(row.caption, "e-mail")) {
            rules_[i] = Rule::Email;
        } else if (row.typeCode == '#' && Contains(row.caption, "percentage")) {
            rules_[i] = Rule::Percentage;
        } else if ((row.typeCode == 'd' || row.typeCode == 'D') &&
                   !Contains(row.caption, "origination")) {
            // A mortgage's origination date lies years back by nature.
            rules_[i] = Rule::Date;
        } else if (row.typeCode == 'c' || row.typeCode == 'C') {
            rules_[i] = Rule::Amount;
        }
    }
    ssnCaption_.resize(rows_.size());
    for (size_t i = 0; i < rows_.size(); ++i) {
        ssnCaption_[i] = rules_[i] == Rule::TaxpayerId && Contains(rows_[i].caption, "SSN");
        if (rules_[i] != Rule::None || static_cast<int>(i) == tinTypeRow_)
            checkedRows_.push_back(i);
    }
}

std::string PlausibilityRules::TinTypeCarried(RecordViews values, RecordViews sourceFields) const
{
    if (tinTypeRow_ < 0 || taxpayerRow_ < 0 || !tinTypeValue_.empty())
        return {};
    const DestinationRow& type = rows_[static_cast<size_t>(tinTypeRow_)];
    const DestinationRow& taxpayer = rows_[static_cast<size_t>(taxpayerRow_)];
    if (type.sourceFieldNo > 0 || taxpayer.sourceFieldNo <= 0)
        return {};
    const std::string_view id = TrimView(SourceValueOf(taxpayer, sourceFields));
    const std::string_view kind = values[static_cast<size_t>(tinTypeRow_)];
    if (id.empty() || id.size() == 10 || id.size() == 11 || kind.empty() || kind == "N/A")
        return {};
    return "Destination field \"" + type.caption + "\" holds \"" + std::string(kind) +
           "\" from an earlier record: the taxpayer id \"" + std::string(id) +
           "\" has neither the EIN nor the SSN form";
}

void PlausibilityRules::Check(long record, RecordViews values, RecordViews sourceFields,
                              std::vector<FieldProblem>& out) const
{
    const bool foreign = foreignRow_ >= 0 && !values[static_cast<size_t>(foreignRow_)].empty();
    const std::string_view tinType =
        tinTypeRow_ >= 0 ? values[static_cast<size_t>(tinTypeRow_)] : std::string_view();
    const std::string carried = TinTypeCarried(values, sourceFields);
    // At most two reasons per value: a padded number and the number itself.
    std::array<std::string, 2> reasons;
    for (const size_t i : checkedRows_) {
        if (i >= values.size())
            break;
        const DestinationRow& row = rows_[i];
        const std::string_view value = values[i];
        size_t reasonCount = 0;
        const auto add = [&](std::string reason) {
            if (!reason.empty())
                reasons[reasonCount++] = std::move(reason);
        };
        switch (rules_[i]) {
        case Rule::None:
            break;
        case Rule::Ssn:
        case Rule::Ein:
        case Rule::TaxpayerId: {
            const std::string_view source = TrimView(SourceValueOf(row, sourceFields));
            if (!source.empty() && source.size() < 9 && IsAllDigits(source))
                add("padded with leading zeros from \"" + std::string(source) + "\"");
            Rule kind = rules_[i];
            if (kind == Rule::TaxpayerId) {
                const bool ssn = tinTypeRow_ >= 0 ? tinType == "SSN" : ssnCaption_[i];
                kind = ssn ? Rule::Ssn : (tinType == "EIN" ? Rule::Ein : Rule::None);
            }
            if (kind == Rule::Ssn)
                add(SsnReason(value));
            else if (kind == Rule::Ein)
                add(EinReason(value));
            break;
        }
        case Rule::Zip:
            add(ZipReason(value, foreign));
            break;
        case Rule::State:
            add(StateReason(value));
            break;
        case Rule::Email:
            add(EmailReason(value));
            break;
        case Rule::ZipExtension:
            add(ZipExtensionReason(value));
            break;
        case Rule::Percentage:
            add(PercentageReason(value));
            break;
        case Rule::Date:
            add(DateReason(value));
            break;
        case Rule::Amount:
            // A fixed amount is the user's own: only values from the file are judged.
            if (row.sourceFieldNo > 0)
                add(AmountReason(SourceValueOf(row, sourceFields), row.typeCode));
            break;
        }
        // A value the conversion changed is named as it stands in the file too.
        const std::string source(TrimView(SourceValueOf(row, sourceFields)));
        const bool named = rules_[i] == Rule::Amount || rules_[i] == Rule::Date;
        for (size_t r = 0; r < reasonCount; ++r) {
            out.push_back(
                {record, static_cast<int>(i), std::string(SourceValueOf(row, sourceFields)),
                 "Destination field \"" + row.caption + "\" holds \"" + std::string(value) + "\"" +
                     (named && source != value ? " from \"" + source + "\"" : "") + ", " +
                     reasons[r],
                 true});
        }
        if (static_cast<int>(i) == tinTypeRow_ && !carried.empty())
            out.push_back({record, tinTypeRow_, std::string(SourceValueOf(row, sourceFields)),
                           carried, true});
    }
}

std::string PlausibilityRules::Line(const FieldProblem& warning)
{
    return "Record " + std::to_string(warning.record) + ": Warning: " + warning.text;
}

} // namespace impmap
