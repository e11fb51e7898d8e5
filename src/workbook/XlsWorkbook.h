#pragma once

#include "Workbook.h"

#include <filesystem>
#include <memory>

// Excel 97 to 2003 workbooks (.xls): the Workbook stream of a compound file, read as BIFF8
// records. A compound file that holds an encrypted Office Open XML package is a
// password-protected .xlsx.
namespace impmap::workbook {

// Throws WorkbookError.
std::unique_ptr<Workbook> OpenXlsWorkbook(const std::filesystem::path& path);

} // namespace impmap::workbook
