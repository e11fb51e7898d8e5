#pragma once

#include "execute/ExecutionPlan.h"
#include "source/SourceLines.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Converting a run of records by a compiled plan, without the record display: values are taken
// as views into the source line, amounts are converted in one pass and the output lines of the
// whole run of records go into one buffer.
namespace impmap {

// Something a record reports, kept until the caller's thread passes it on in record order.
struct ChunkEvent
{
    enum class Kind : unsigned char
    {
        Warning,     // a warning of the run
        TinProblem,  // a bad taxpayer number in check mode (a problem, counted as a warning)
        FieldProblem // a failed field in check mode
    };
    long record = 0;
    Kind kind = Kind::Warning;
    std::string text;
    FieldProblem problem; // TinProblem and FieldProblem: the same problem in parts
};

// The converted records first .. first + count - 1.
struct ConvertedChunk
{
    static constexpr unsigned char kNullRecord = 1;

    long first = 1;
    long count = 0;
    long converted = 0;               // records done: all of them, or up to the failing one
    std::string text;                 // the output lines back to back, without line ends
    std::vector<size_t> ends;         // per record: where its line ends in text
    std::vector<unsigned char> flags; // per record
    std::vector<ChunkEvent> events;
    // A kept source field: its place in the source line, or in fields when it had to be
    // cleaned or merged (kInFields set in size).
    struct KeptField
    {
        size_t offset = 0;
        size_t size = 0;
    };
    static constexpr size_t kInFields = size_t{1} << (sizeof(size_t) * 8 - 1);
    // When the plan keeps values: per record, its values (one per row, none for a NULL record)
    // back to back in values, valueEnds holding where each ends; and its source fields after
    // merges in keptFields, fieldsUpTo holding where each record's fields end there.
    std::string values, fields;
    std::vector<size_t> valueEnds;
    std::vector<KeptField> keptFields;
    std::vector<size_t> fieldsUpTo;

    // The text of a kept field of the record whose source line is line.
    std::string_view KeptFieldText(const KeptField& field, std::string_view line) const
    {
        if (field.size & kInFields)
            return std::string_view(fields).substr(field.offset, field.size & ~kInFields);
        return line.substr(field.offset, field.size);
    }
    long warnings = 0;
    // The first failing record (outside check mode); its line is not kept.
    bool failed = false;
    long failingRecord = 0;
    int failingRow = -1;
    std::string message;
};

class RecordConverter
{
public:
    RecordConverter(const ExecutionPlan& plan, const ExecuteOptions& options);

    // Converts count records from first (1-based) of lines into chunk (its buffers are reused).
    // Outside check mode it stops at the first failing record.
    void ConvertChunk(const SourceLines& lines, long first, long count, ConvertedChunk& chunk);

private:
    struct FieldSpan
    {
        size_t begin = 0;
        size_t end = 0;
        bool raw = false; // needs cleaning: holds double quotes or non-breaking spaces
    };
    class Reporter;

    bool ConvertRecord(std::string_view line, long record, ConvertedChunk& chunk,
                       Reporter& reporter);
    // The TIN type of the record: its taxpayer id's, else the TIN type row's value.
    void DecideTinType(std::string_view line);
    // A NULL record: no line, no values.
    void AddNullRecord(ConvertedChunk& chunk) const;
    size_t ScanFields(std::string_view line);
    // The row's source value (merged, cleaned) as the record display shows it, untrimmed.
    std::string_view RowText(const PlanRow& planRow, std::string_view line);
    std::string_view MergedRowText(const PlanRow& planRow, std::string_view line);
    // The field's value as a view into the line when it is one; false when it needs cleaning.
    bool FieldView(int field, std::string_view line, std::string_view& view) const;
    void AppendField(int field, std::string_view line, std::string& out);
    bool ApplyRule(const PlanRow& planRow, long record, std::string_view line,
                   ConvertedChunk& chunk, Reporter& reporter, size_t rowIndex);
    // The record's source fields after merges, as the record display holds them; split once
    // per record, when first needed.
    const std::vector<std::string>& SourceFields(std::string_view line);
    void KeepValue(std::string_view value, ConvertedChunk& chunk) const
    {
        if (!plan_.keepValues)
            return;
        chunk.values += value;
        chunk.valueEnds.push_back(chunk.values.size());
    }
    // Appends the record's source fields after merges to the chunk, for RecordValues.
    void KeepSourceFields(std::string_view line, ConvertedChunk& chunk);

    const ExecutionPlan& plan_;
    const ExecuteOptions& options_;
    std::array<bool, 256> stops_{}; // the delimiter and the double quote
    std::vector<FieldSpan> spans_;
    size_t fieldCount_ = 0;
    std::string text_;  // a merged or cleaned source value
    std::string piece_; // one field under cleaning
    std::string value_; // a value under conversion
    std::string tinType_;
    std::vector<std::string> fields_;
    bool fieldsReady_ = false;
};

} // namespace impmap
