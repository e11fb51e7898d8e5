#pragma once

#include "execute/Engine.h"
#include "io/FileIo.h"

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The problem records file: the source records that have a problem, each as it stands in the
// source with one more column listing its problems, so the user can fix them in a spreadsheet
// and map them again. It is written in the source's delimiter, lines ending in CR LF.
namespace impmap {

class Workspace;

// A problem as the last column lists it: a warning begins with "Warning: ".
std::string ProblemColumnText(const FieldProblem& problem);

// The last column: the texts joined by "; ". With a comma it is quoted by the rules of the
// output lines; with a tab or a pipe, a delimiter, CR or LF inside it becomes a blank so that
// the column stays one.
std::string ProblemsColumn(const std::vector<std::string>& texts, char delimiter);

// The header line the file begins with: the source's own when its Header setting is Skip.
std::optional<std::string> ProblemRecordsHeader(const Workspace& workspace);

class ProblemRecordsWriter
{
public:
    // headerLine: the source's header line when its Header setting is Skip, written first with
    // the column "Problems". Throws FileError as AtomicFileWriter does, and when target is the
    // source file itself, which the file would otherwise replace.
    // width: the header's number of fields (without a header, the first record's); a shorter
    // record is padded with empty fields so that the problems are always the last column.
    ProblemRecordsWriter(const std::filesystem::path& target, char delimiter,
                         const std::optional<std::string>& headerLine,
                         const std::filesystem::path& sourcePath, size_t width = 0);

    // One record: its source line (a record broken inside a quoted value joined) and its
    // problems' texts (at least one).
    void Add(std::string_view sourceLine, const std::vector<std::string>& texts);
    // Writes the file in place of the target. Throws FileError.
    void Commit() { writer_.Commit(); }
    long Records() const { return records_; }

private:
    static const std::filesystem::path& NotTheSource(const std::filesystem::path& target,
                                                     const std::filesystem::path& sourcePath);

    AtomicFileWriter writer_;
    char delimiter_;
    size_t width_;
    long records_ = 0;
    std::string line_;
};

} // namespace impmap
