#pragma once

#include "io/WorkProgress.h"
#include "source/FileStamp.h"
#include "source/SourceFormat.h"
#include "source/SourceLines.h"
#include "source/WorkbookSource.h"

#include <exception>
#include <optional>
#include <string>
#include <vector>

// The part of loading a source and of saving it that touches no workspace: reading the file (or a
// sheet of a workbook) and cutting it into records, and writing the bytes of a saved source. Both
// may run on another thread while the workspace stays as it is; the workspace then takes the
// result (Workspace::AdoptSource, Workspace::SourceSaved).
namespace impmap {

// A source as read, ready for a workspace to take.
struct LoadedSource
{
    bool workbook = false;
    SourceFormat format;
    FileStamp stamp; // a text file's stamp as read (none for a workbook)
    SourceLines lines;
    std::string sheet; // the name of the workbook's sheet read
    std::vector<SheetError> sheetErrors;
    // The lines of lines with an odd number of double quotes, when the read found them too
    // (LinesWithOddQuotes): the workspace then need not read every line again to find the
    // records broken inside quoted values.
    std::optional<std::vector<size_t>> oddQuoteLines;
};

// Reads the file at path (blanks around it ignored): a workbook's sheet named or numbered by
// sheet (the first visible one when empty), otherwise a text file as ReadSourceFile reads it.
// Throws what those throw; progress, when given, hears how far the read is and may stop it
// (WorkCancelled).
LoadedSource ReadSource(const std::string& path, const std::string& sheet,
                        WorkProgress* progress = nullptr);

// A read done ahead of the load that needs it: the path and sheet it was asked for, and the source
// read or why it could not be.
struct SourceReadAhead
{
    std::string path;
    std::string sheet;
    std::optional<LoadedSource> source;
    std::exception_ptr failure;
};

// ReadSource, with its failure kept in the result; only a cancelled read (WorkCancelled) throws.
// It finds the lines with odd quotes as well, so that all the reading is done where it runs.
SourceReadAhead ReadSourceAhead(const std::string& path, const std::string& sheet,
                                WorkProgress* progress = nullptr);

// Writes bytes to the source file at path (blanks around it ignored) as SaveSource does, through
// a temporary file that replaces it whole, and returns the stamp of the file written. Throws
// FileError; progress, when given, may stop the write before the file is replaced
// (WorkCancelled), which leaves the file as it was.
FileStamp WriteSourceFile(const std::string& path, const std::string& bytes,
                          WorkProgress* progress = nullptr);

} // namespace impmap
