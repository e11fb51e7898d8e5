#pragma once

#include <stdexcept>
#include <string>

namespace impmap::workbook {

// A workbook that cannot be read; what() is one or more whole sentences saying why ("The
// workbook is protected with a password; save an unprotected copy."), without the file's name,
// which the caller puts before it.
class WorkbookError : public std::runtime_error
{
public:
    explicit WorkbookError(const std::string& reason) : runtime_error(reason) {}
};

// "The workbook is damaged: WHAT."
[[noreturn]] inline void Damaged(const std::string& what)
{
    throw WorkbookError("The workbook is damaged: " + what + ".");
}

// The reasons that more than one reader gives.
inline constexpr const char* kPasswordProtected =
    "The workbook is protected with a password; save an unprotected copy.";
inline constexpr const char* kBinaryWorkbook = "Binary workbooks cannot be read; save it as .xlsx.";
inline constexpr const char* kBefore97 =
    "The workbook is of a version before 97, which cannot be read; save it as .xlsx.";

// The limits that keep a hostile file from taking unbounded memory or time.
inline constexpr unsigned long long kMaxPartBytes = 4ULL << 30; // one part, inflated
inline constexpr unsigned long long kMaxSheetTextBytes = 2ULL << 30;
inline constexpr unsigned kMaxRows = 1048576;
inline constexpr unsigned kMaxColumns = 16384;
inline constexpr unsigned long long kMaxMergedCells = 64ULL << 20;

} // namespace impmap::workbook
