#include "execute/RecordConverter.h"

#include "convert/CommonConversions.h"
#include "convert/Converters.h"
#include "convert/Text.h"
#include "execute/FieldRule.h"
#include "execute/OutputLine.h"
#include "mapping/RecordBudget.h"
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <algorithm>
#include <cstring>

namespace impmap {

// Keeps what the rules report for one record, to be passed on later in record order.
class RecordConverter::Reporter : public ExecuteCallbacks
{
public:
    Reporter(ConvertedChunk& chunk, bool checkAll) : chunk_(chunk), checkAll_(checkAll) {}
    void OutputLine(std::string_view) override {}
    void Warning(const std::string& line) override { Add(ChunkEvent::Kind::Warning, line); }
    void Problem(const std::string& line) override
    {
        Add(checkAll_ ? ChunkEvent::Kind::TinProblem : ChunkEvent::Kind::Warning, line);
    }
    // Comes right after the Problem it goes with.
    void FieldProblemFound(const FieldProblem& problem) override
    {
        chunk_.events.back().problem = problem;
    }
    void Add(ChunkEvent::Kind kind, std::string text, FieldProblem problem = {})
    {
        chunk_.events.push_back(ChunkEvent{record, kind, std::move(text), std::move(problem)});
    }
    long record = 0;

private:
    ConvertedChunk& chunk_;
    bool checkAll_;
};

RecordConverter::RecordConverter(const ExecutionPlan& plan, const ExecuteOptions& options)
    : plan_(plan), options_(options),
      // Kept source fields need the spans of every field a record display holds.
      spans_(static_cast<size_t>(plan.keepFields ? std::max(plan.maxField, kMaxMergeField)
                                                 : plan.maxField))
{
    stops_[static_cast<unsigned char>(plan.delimiter)] = true;
    stops_[static_cast<unsigned char>('"')] = true;
}

void RecordConverter::ConvertChunk(const SourceLines& lines, long first, long count,
                                   ConvertedChunk& chunk)
{
    chunk.first = first;
    chunk.count = count;
    chunk.converted = 0;
    chunk.text.clear();
    chunk.ends.clear();
    chunk.flags.clear();
    chunk.events.clear();
    chunk.values.clear();
    chunk.fields.clear();
    chunk.valueEnds.clear();
    chunk.keptFields.clear();
    chunk.fieldsUpTo.clear();
    chunk.warnings = 0;
    chunk.failed = false;
    chunk.failingRecord = 0;
    chunk.failingRow = -1;
    chunk.message.clear();
    // Room for about what the lines will need, so that the buffer rarely grows.
    size_t sourceBytes = 0;
    for (long record = first; record < first + count; ++record)
        sourceBytes += lines.Line(static_cast<size_t>(record - 1)).size();
    chunk.text.reserve(sourceBytes + sourceBytes / 4 +
                       plan_.rows.size() * static_cast<size_t>(count));
    Reporter reporter(chunk, options_.checkAll);
    for (long record = first; record < first + count; ++record) {
        reporter.record = record;
        const bool ok =
            ConvertRecord(lines.Line(static_cast<size_t>(record - 1)), record, chunk, reporter);
        ++chunk.converted;
        if (!ok)
            break;
    }
}

size_t RecordConverter::ScanFields(std::string_view line)
{
    if (line.empty())
        return 0;
    const char* data = line.data();
    const size_t size = line.size();
    const bool nbsp = std::memchr(data, '\xA0', size) != nullptr;
    const size_t keep = spans_.size();
    size_t count = 0;
    auto store = [&](size_t begin, size_t end, bool raw) {
        if (count < keep)
            spans_[count] = FieldSpan{begin, end, raw};
        ++count;
    };
    const char delimiter = plan_.delimiter;
    if (std::memchr(data, '"', size) == nullptr) {
        size_t start = 0;
        for (;;) {
            const void* hit = std::memchr(data + start, delimiter, size - start);
            const size_t end =
                hit ? static_cast<size_t>(static_cast<const char*>(hit) - data) : size;
            store(start, end, nbsp);
            if (!hit)
                return count;
            start = end + 1;
        }
    }
    // A double quote toggles the inside-quotes state, where delimiters are plain bytes. A field
    // that is one quoted text is kept as the text between its quotes.
    bool raw = nbsp;
    size_t start = 0;
    size_t i = 0;
    for (;;) {
        while (i < size && !stops_[static_cast<unsigned char>(data[i])])
            ++i;
        if (i == size)
            break;
        if (data[i] == '"') {
            const void* close = std::memchr(data + i + 1, '"', size - i - 1);
            if (!close) {
                raw = true;
                break; // the rest of the line is inside quotes
            }
            const auto closeAt = static_cast<size_t>(static_cast<const char*>(close) - data);
            if (i == start && !raw && (closeAt + 1 == size || data[closeAt + 1] == delimiter)) {
                store(i + 1, closeAt, false);
                start = i = closeAt + 2;
                if (closeAt + 1 == size)
                    return count;
                continue;
            }
            raw = true;
            i = closeAt + 1;
            continue;
        }
        store(start, i, raw);
        start = ++i;
        raw = nbsp;
    }
    store(start, size, raw);
    return count;
}

bool RecordConverter::FieldView(int field, std::string_view line, std::string_view& view) const
{
    const FieldSpan& span = spans_[static_cast<size_t>(field - 1)];
    view = TrimView(line.substr(span.begin, span.end - span.begin));
    return !span.raw;
}

void RecordConverter::AppendField(int field, std::string_view line, std::string& out)
{
    std::string_view view;
    if (FieldView(field, line, view)) {
        out += view;
        return;
    }
    const FieldSpan& span = spans_[static_cast<size_t>(field - 1)];
    // Quotes dropped (a doubled one inside quotes kept once) and non-breaking spaces (of the
    // source's encoding) made blanks before trimming, as splitting does.
    piece_.clear();
    const std::string_view text = line.substr(span.begin, span.end - span.begin);
    bool inside = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '"') {
            piece_ += text[i];
        } else if (inside && i + 1 < text.size() && text[i + 1] == '"') {
            piece_ += '"';
            ++i;
        } else {
            inside = !inside;
        }
    }
    ReplaceNonBreakingSpaces(piece_, plan_.encoding);
    out += TrimView(piece_);
}

std::string_view RecordConverter::RowText(const PlanRow& planRow, std::string_view line)
{
    // The common case first: a plain field without merges is a view into the line.
    if (!planRow.merged && static_cast<size_t>(planRow.field) <= fieldCount_) {
        const FieldSpan& span = spans_[static_cast<size_t>(planRow.field - 1)];
        if (!span.raw)
            return TrimView(line.substr(span.begin, span.end - span.begin));
    }
    return MergedRowText(planRow, line);
}

std::string_view RecordConverter::MergedRowText(const PlanRow& planRow, std::string_view line)
{
    const auto fieldCount = static_cast<int>(fieldCount_);
    const int field = planRow.field;
    // A field the record lacks: a run writes it empty; a record without fields shows the marker.
    if (field > fieldCount)
        return fieldCount == 0 ? std::string_view(planRow.notAllocated) : std::string_view();
    auto mergeOf = [&](int k) {
        if (k > kMaxMergeField)
            return 0;
        const int m = plan_.merges[static_cast<size_t>(k)];
        return m <= fieldCount ? m : 0;
    };
    std::string_view view;
    if (mergeOf(field) == 0 && FieldView(field, line, view))
        return view;
    // Merges are applied from the highest field down, so a field appends a higher field with
    // that one's merges already in it, and a lower (or the same) field as it stands.
    text_.clear();
    AppendField(field, line, text_);
    for (int k = field, m = mergeOf(k); m > 0; k = m, m = mergeOf(k)) {
        text_ += ' ';
        AppendField(m, line, text_);
        if (m <= k)
            break;
    }
    return text_;
}

const std::vector<std::string>& RecordConverter::SourceFields(std::string_view line)
{
    if (!fieldsReady_) {
        SplitRecordUpTo(line, plan_.delimiter, fields_, kMaxMergeField, plan_.encoding);
        ApplyMergesTo(fields_, plan_.activeMerges, plan_.merges);
        fieldsReady_ = true;
    }
    return fields_;
}

void RecordConverter::KeepSourceFields(std::string_view line, ConvertedChunk& chunk)
{
    auto keepCopy = [&chunk](std::string_view text) {
        chunk.keptFields.push_back({chunk.fields.size(), text.size() | ConvertedChunk::kInFields});
        chunk.fields += text;
    };
    if (plan_.activeMerges.empty()) {
        // Without merges every field is its span: a view into the line, or cleaned as splitting
        // cleans it.
        const size_t count = std::min(fieldCount_, spans_.size());
        for (size_t f = 1; f <= count; ++f) {
            std::string_view view;
            if (FieldView(static_cast<int>(f), line, view)) {
                chunk.keptFields.push_back(
                    {static_cast<size_t>(view.data() - line.data()), view.size()});
                continue;
            }
            text_.clear();
            AppendField(static_cast<int>(f), line, text_);
            keepCopy(text_);
        }
    } else {
        for (const std::string& field : SourceFields(line))
            keepCopy(field);
    }
    chunk.fieldsUpTo.push_back(chunk.keptFields.size());
}

bool RecordConverter::ApplyRule(const PlanRow& planRow, long record, std::string_view line,
                                ConvertedChunk& chunk, Reporter& reporter, size_t rowIndex)
{
    static const std::vector<std::string> kNoFields;
    const auto row = static_cast<int>(rowIndex);
    const size_t eventsBefore = chunk.events.size();
    long warnings = 0;
    auto failure = ApplyFieldRule(planRow.row, row, record, record == 1 && plan_.headerHint, value_,
                                  kNoFields, reporter, options_, plan_.implied, warnings);
    chunk.warnings += warnings;
    // Only a bad taxpayer number reports from inside the rule; its source value, which needs the
    // record split, is filled in here, so that records without one are never split.
    for (size_t e = eventsBefore; e < chunk.events.size(); ++e) {
        if (chunk.events[e].kind == ChunkEvent::Kind::TinProblem)
            chunk.events[e].problem.sourceValue = SourceValueOf(planRow.row, SourceFields(line));
    }
    if (!failure)
        return true;
    if (options_.checkAll) {
        std::string text = "Record " + std::to_string(record) + ": " + failure->checkLine;
        reporter.Add(ChunkEvent::Kind::FieldProblem, std::move(text),
                     FieldProblem{record, row, SourceValueOf(planRow.row, SourceFields(line)),
                                  std::move(failure->checkLine), false});
        return true;
    }
    chunk.failed = true;
    chunk.failingRecord = record;
    chunk.failingRow = static_cast<int>(rowIndex);
    chunk.message = std::move(failure->message);
    return false;
}

void RecordConverter::DecideTinType(std::string_view line)
{
    const PlanRow& taxpayer = plan_.rows[static_cast<size_t>(plan_.lastTaxpayerRow)];
    const std::string_view id = taxpayer.field > 0 ? TrimView(RowText(taxpayer, line))
                                                   : std::string_view(plan_.lastTaxpayerFixed);
    // Each record's own id decides: nothing carries over from the record before.
    const std::string_view type = TinTypeOf(id, plan_.tinTypeValue);
    const PlanRow& tinRow = plan_.rows[static_cast<size_t>(plan_.lastTinTypeRow)];
    if (!type.empty()) {
        tinType_.assign(type);
    } else if (tinRow.field > 0) {
        tinType_.assign(RowText(tinRow, line));
        ApplyDisplayStep(DisplayStep::TinType, 'T', tinType_, plan_.implied);
    } else {
        tinType_ = plan_.fixedTinType;
    }
}

void RecordConverter::AddNullRecord(ConvertedChunk& chunk) const
{
    chunk.flags.push_back(ConvertedChunk::kNullRecord);
    chunk.ends.push_back(chunk.text.size());
    if (plan_.keepValues)
        chunk.fieldsUpTo.push_back(chunk.keptFields.size());
}

bool RecordConverter::ConvertRecord(std::string_view line, long record, ConvertedChunk& chunk,
                                    Reporter& reporter)
{
    fieldCount_ = ScanFields(line);
    fieldsReady_ = false;
    // The last taxpayer id decides the last TIN type row before any row is written.
    if (plan_.lastTinTypeRow >= 0 && plan_.lastTaxpayerRow >= 0)
        DecideTinType(line);
    if (fieldCount_ == 0 || IsBlankRecord(line, plan_.delimiter, plan_.encoding)) {
        AddNullRecord(chunk);
        return true;
    }

    std::string& out = chunk.text;
    const size_t lineStart = out.size();
    const size_t valuesStart = chunk.values.size();
    const size_t valueCount = chunk.valueEnds.size();
    const size_t rowCount = plan_.rows.size();
    auto append = [&](std::string_view value) {
        AppendCommaValue(value, out);
        KeepValue(value, chunk);
    };
    for (size_t j = 0; j < rowCount; ++j) {
        const PlanRow& planRow = plan_.rows[j];
        if (j > 0)
            out += ',';
        switch (planRow.kind) {
        case PlanRow::Kind::Constant:
            append(planRow.constant);
            continue;
        case PlanRow::Kind::Text:
            append(TrimView(RowText(planRow, line)));
            continue;
        case PlanRow::Kind::TinType:
            append(TrimView(tinType_));
            continue;
        case PlanRow::Kind::Amount: {
            char converted[24];
            const size_t length = ConvertCommonAmount(TrimView(RowText(planRow, line)),
                                                      planRow.row.typeCode, converted);
            if (length > 0) {
                out.append(converted, length);
                KeepValue(std::string_view(converted, length), chunk);
                continue;
            }
            break;
        }
        case PlanRow::Kind::Indicator: {
            std::string_view written;
            if (ConvertCommonIndicator(TrimView(RowText(planRow, line)), written)) {
                out += written;
                KeepValue(written, chunk);
                continue;
            }
            break;
        }
        case PlanRow::Kind::General:
            break;
        }
        value_.assign(RowText(planRow, line));
        ApplyDisplayStep(planRow.display, planRow.row.typeCode, value_, plan_.implied);
        TrimInPlace(value_);
        if (planRow.hasRule && !ApplyRule(planRow, record, line, chunk, reporter, j)) {
            out.resize(lineStart);
            chunk.values.resize(valuesStart);
            chunk.valueEnds.resize(valueCount);
            return false;
        }
        append(value_);
    }
    if (plan_.keepFields)
        KeepSourceFields(line, chunk);
    else if (plan_.keepValues)
        chunk.fieldsUpTo.push_back(0);
    // A layout of one row writes an empty value as two double quotes.
    if (rowCount == 1 && out.size() == lineStart)
        out += "\"\"";
    chunk.flags.push_back(0);
    chunk.ends.push_back(out.size());
    return true;
}

} // namespace impmap
