#include "check/ProblemRecords.h"

#include "convert/Text.h"
#include "mapping/Workspace.h"
#include "source/SplitRecord.h"

#include <algorithm>

namespace impmap {

std::string ProblemColumnText(const FieldProblem& problem)
{
    return problem.warning ? "Warning: " + problem.text : problem.text;
}

std::string ProblemsColumn(const std::vector<std::string>& texts, char delimiter)
{
    std::string joined;
    for (const std::string& text : texts) {
        if (!joined.empty())
            joined += "; ";
        joined += text;
    }
    if (delimiter == ',')
        return CommaText({joined});
    for (char& c : joined) {
        if (c == delimiter || c == '\r' || c == '\n')
            c = ' ';
    }
    return joined;
}

std::optional<std::string> ProblemRecordsHeader(const Workspace& workspace)
{
    if (workspace.Header() == HeaderMode::Skip && !workspace.HeaderRecord().empty())
        return workspace.HeaderRecord();
    return std::nullopt;
}

const std::filesystem::path&
ProblemRecordsWriter::NotTheSource(const std::filesystem::path& target,
                                   const std::filesystem::path& sourcePath)
{
    std::error_code ec;
    if (!sourcePath.empty() && std::filesystem::equivalent(target, sourcePath, ec))
        throw FileError("Cannot create file \"" + target.string() +
                        "\". It is the source file, which it would replace");
    return target;
}

ProblemRecordsWriter::ProblemRecordsWriter(const std::filesystem::path& target, char delimiter,
                                           const std::optional<std::string>& headerLine,
                                           const std::filesystem::path& sourcePath, size_t width)
    : writer_(NotTheSource(target, sourcePath)), delimiter_(delimiter), width_(width)
{
    if (headerLine) {
        line_ = *headerLine;
        const size_t fields = FieldCount(line_, delimiter_);
        if (fields < width_)
            line_.append(width_ - fields, delimiter_);
        line_ += delimiter_;
        line_ += "Problems\r\n";
        writer_.Write(line_);
    }
}

void ProblemRecordsWriter::Add(std::string_view sourceLine, const std::vector<std::string>& texts)
{
    line_.assign(sourceLine);
    const size_t fields = std::max<size_t>(FieldCount(line_, delimiter_), 1);
    if (fields < width_)
        line_.append(width_ - fields, delimiter_);
    line_ += delimiter_;
    line_ += ProblemsColumn(texts, delimiter_);
    line_ += "\r\n";
    writer_.Write(line_);
    ++records_;
}

} // namespace impmap
