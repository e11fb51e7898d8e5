#pragma once

#include "source/SourceFormat.h"
#include "source/SourceSettings.h"

#include <string>
#include <string_view>
#include <vector>

// Splitting one source record into its fields.
namespace impmap {

// Every non-breaking space becomes a blank: the byte 0xA0 in Windows-1252, the pair C2 A0 in
// UTF-8 (where a lone 0xA0 is part of another character and stays).
void ReplaceNonBreakingSpaces(std::string& text, TextEncoding encoding = TextEncoding::Windows1252);

// Fills fields with the record's fields. A double quote toggles the inside-quotes state and is
// dropped, except that two of them inside quotes are one quote of the value; a delimiter outside
// quotes ends a field; every field is trimmed (bytes 0 to 32). An empty text gives no fields (a
// NULL record). Non-breaking spaces are those of encoding. Reuses the strings already in fields.
void SplitRecord(std::string_view text, char delimiter, std::vector<std::string>& fields,
                 TextEncoding encoding = TextEncoding::Windows1252);

// How far SplitRecordUpTo went: the record's whole field count, and where the fields that were
// not kept begin in the text (the text's size when all were kept).
struct SplitExtent
{
    size_t fieldCount = 0;
    size_t restOffset = 0;
};

// As SplitRecord, but keeps only the first maxFields fields (maxFields >= 1); the others are only
// counted, so that a line of millions of delimiters costs no memory per field.
SplitExtent SplitRecordUpTo(std::string_view text, char delimiter, std::vector<std::string>& fields,
                            size_t maxFields, TextEncoding encoding = TextEncoding::Windows1252);

// The lengths of the fields SplitRecordUpTo would keep, without building them: a record of
// hundreds of megabytes is measured without a copy.
void SplitFieldLengths(std::string_view text, char delimiter, std::vector<size_t>& lengths,
                       size_t maxFields, TextEncoding encoding = TextEncoding::Windows1252);

// Whether every field of the record is empty after trimming: a NULL record, or a row of empty
// cells as spreadsheet programs write it (",,,,", quoted blanks, non-breaking spaces).
bool IsBlankRecord(std::string_view text, char delimiter,
                   TextEncoding encoding = TextEncoding::Windows1252);

// The record's number of fields as SplitRecord counts them (0 for an empty text).
size_t FieldCount(std::string_view text, char delimiter);

// Whether a first line holds semicolons and none of tab, comma or pipe: a file that a
// spreadsheet of a region with decimal commas saved as CSV.
bool LooksSemicolonDelimited(std::string_view firstLine);
// "SOURCE looks semicolon-delimited; save it with commas or tabs."
std::string SemicolonDelimitedMessage(const std::string& source);

// The delimiter that a first line suggests, or current when the line decides nothing: Tab or
// Comma wins only with a strict majority; Pipe wins every tie it takes part in.
Delimiter DetectedDelimiter(std::string_view firstLine, Delimiter current);

} // namespace impmap
