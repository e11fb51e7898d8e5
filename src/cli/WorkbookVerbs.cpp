// The verbs sheets and convert: a workbook's sheets, and a sheet as the text the program reads.
#include "Cli.h"
#include "CliArgs.h"
#include "Verbs.h"
#include "io/FileIo.h"
#include "io/NativePath.h"
#include "source/WorkbookSource.h"

#include <ostream>

namespace impmap::cli {

const char* const kSheetsHelp =
    "Usage: impmap-cli sheets BOOK\n"
    "Lists the sheets of a workbook (.xlsx, .xlsm, .ods or .xls), one line each: number, TAB,\n"
    "name, TAB, rows, TAB, columns, and TAB \"hidden\" for a hidden sheet. Rows and columns\n"
    "are those of the sheet's text: from row 1 and column A to the last that hold a value.\n"
    "Exit status: 0 listed, 2 usage error or a file that is no readable workbook.\n";

const char* const kConvertHelp =
    "Usage: impmap-cli convert BOOK [--sheet NAME] [-o FILE]\n"
    "Writes a sheet of a workbook as the tab-delimited UTF-8 text that impmap reads from it\n"
    "(what Save Source writes), each line followed by CR LF: one line per row, one field per\n"
    "column from A on; every value as the sheet shows it.\n"
    "  --sheet NAME   the sheet (name or 1-based number); the first visible one by default\n"
    "  -o FILE        write to FILE instead of standard output\n"
    "Exit status: 0 written, 2 usage error or a file that cannot be read or written.\n";

int SheetsVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    const CliArgs args("sheets", words, {}, {});
    args.ExpectPositional(1, "BOOK");
    try {
        const std::vector<SheetSummary> sheets = ListSheets(args.Positional()[0], true);
        for (size_t i = 0; i < sheets.size(); ++i) {
            context.out << i + 1 << '\t' << sheets[i].name << '\t' << sheets[i].rows << '\t'
                        << sheets[i].columns << (sheets[i].hidden ? "\thidden\n" : "\n");
        }
        return kExitOk;
    } catch (const FileError& e) {
        context.err << "impmap-cli sheets: " << e.what() << '\n';
        return kExitUsage;
    }
}

int ConvertVerb(const std::vector<std::string>& words, const VerbContext& context)
{
    const CliArgs args("convert", words, {"--sheet", "-o"}, {});
    args.ExpectPositional(1, "BOOK");
    const std::string& book = args.Positional()[0];
    try {
        if (!IsWorkbookFile(book)) {
            ReadWholeFile(PathFromUtf8(book)); // says why when the file cannot be read at all
            throw FileError("Cannot open file \"" + book + "\". It is no workbook");
        }
        const WorkbookSheet sheet = ReadWorkbookSheet(book, args.Value("--sheet").value_or(""));
        if (const auto target = args.Value("-o"))
            WriteFileAtomically(PathFromUtf8(*target), sheet.text);
        else
            context.out << sheet.text;
        return kExitOk;
    } catch (const FileError& e) {
        context.err << "impmap-cli convert: " << e.what() << '\n';
        return kExitUsage;
    }
}

} // namespace impmap::cli
