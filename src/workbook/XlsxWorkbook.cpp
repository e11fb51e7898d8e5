#include "XlsxWorkbook.h"

#include "WorkbookError.h"
#include "XmlPart.h"

#include <algorithm>
#include <map>
#include <memory>
#include <optional>

namespace impmap::workbook {
namespace {

constexpr std::uint64_t kMaxSmallPart = 64ULL << 20;
// The shared strings may hold this much more than the largest sheet's XML (which keeps the
// reader with its buffers within 128 MB for a sheet of nothing): a sheet names each
// string at least once, so only a table that no sheet could use whole is larger.
constexpr std::uint64_t kSharedAllowance = 120ULL << 20;

struct Relationship
{
    std::string target;
    std::string type;
};

// The folder of a part ("xl/" for "xl/workbook.xml").
std::string FolderOf(const std::string& part)
{
    const size_t slash = part.rfind('/');
    return slash == std::string::npos ? std::string() : part.substr(0, slash + 1);
}

// A relationship's target as a part name: absolute targets from the package root, relative ones
// from the folder of the part that names them.
std::string ResolveTarget(const std::string& folder, const std::string& target)
{
    std::string path = !target.empty() && target[0] == '/' ? target.substr(1) : folder + target;
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        const size_t slash = std::min(path.find('/', start), path.size());
        const std::string piece = path.substr(start, slash - start);
        if (piece == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!piece.empty() && piece != ".") {
            parts.push_back(piece);
        }
        start = slash + 1;
    }
    std::string out;
    for (const std::string& p : parts)
        out += (out.empty() ? "" : "/") + p;
    return out;
}

bool EndsWith(std::string_view text, std::string_view end)
{
    return text.size() >= end.size() && text.substr(text.size() - end.size()) == end;
}

class RelationshipsHandler : public XmlHandler
{
public:
    std::map<std::string, Relationship> byId;
    void Start(std::string_view name, const char** a) override
    {
        if (name != "Relationship")
            return;
        const char* id = Attribute(a, "Id");
        const char* target = Attribute(a, "Target");
        const char* type = Attribute(a, "Type");
        if (id && target && byId.size() < 100000)
            byId[id] = {target, type ? type : ""};
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}
};

// The relationships of part (from its _rels folder), empty when it has none.
std::map<std::string, Relationship> ReadRelationships(ZipArchive& zip, const std::string& part)
{
    const std::string folder = FolderOf(part);
    const std::string rels = folder + "_rels/" + part.substr(folder.size()) + ".rels";
    RelationshipsHandler handler;
    if (const ZipArchive::Entry* entry = zip.Find(rels)) {
        if (entry->size > kMaxSmallPart)
            throw WorkbookError("The workbook is damaged: its part " + rels + " is too large.");
        ReadXmlPart(zip, *entry, handler);
    }
    for (auto& [id, r] : handler.byId)
        r.target = ResolveTarget(folder, r.target);
    return std::move(handler.byId);
}

class WorkbookHandler : public XmlHandler
{
public:
    struct Sheet
    {
        std::string name;
        std::string id;
        bool hidden;
    };
    std::vector<Sheet> sheets;
    bool date1904 = false;
    bool protectedFile = false;

    void Start(std::string_view name, const char** a) override
    {
        if (name == "workbookPr") {
            const char* d = Attribute(a, "date1904");
            date1904 = d && (std::string_view(d) == "1" || std::string_view(d) == "true");
        } else if (name == "sheet" && sheets.size() < 100000) {
            const char* n = Attribute(a, "name");
            const char* id = Attribute(a, "id");
            const char* state = Attribute(a, "state");
            sheets.push_back(
                {n ? n : "", id ? id : "", state && std::string_view(state) != "visible"});
        }
    }
    void End(std::string_view) override {}
    void Text(std::string_view) override {}
};

class StylesHandler : public XmlHandler
{
public:
    std::map<std::uint64_t, std::string> codes;
    std::vector<std::uint64_t> cellFormatIds;

    void Start(std::string_view name, const char** a) override
    {
        if (name == "numFmt") {
            const char* code = Attribute(a, "formatCode");
            const std::uint64_t id = CountAttribute(Attribute(a, "numFmtId"), ~0ULL, 1ULL << 32);
            if (code && id != ~0ULL)
                codes[id] = code;
        } else if (name == "cellXfs") {
            inCellXfs_ = true;
        } else if (name == "xf" && inCellXfs_ && cellFormatIds.size() < 1000000) {
            cellFormatIds.push_back(CountAttribute(Attribute(a, "numFmtId"), 0, 1ULL << 32));
        }
    }
    void End(std::string_view name) override
    {
        if (name == "cellXfs")
            inCellXfs_ = false;
    }
    void Text(std::string_view) override {}

private:
    bool inCellXfs_ = false;
};

class SharedStringsHandler : public XmlHandler
{
public:
    SharedStringsHandler(XlsxWorkbook::SharedStrings& out, std::uint64_t limit)
        : out_(out), limit_(limit)
    {}
    void Start(std::string_view name, const char**) override
    {
        if (name == "si") {
            inItem_ = true;
        } else if (name == "rPh") {
            ++phonetic_; // the reading aid over East Asian text is no part of the value
        } else if (name == "t" && inItem_ && phonetic_ == 0) {
            capture_ = true;
        }
    }
    void End(std::string_view name) override
    {
        if (name == "si") {
            inItem_ = false;
            out_.ends.push_back(out_.bytes.size());
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "t") {
            capture_ = false;
        }
    }
    void Text(std::string_view text) override
    {
        if (!capture_)
            return;
        if (out_.bytes.size() + text.size() > limit_) {
            throw WorkbookError("The workbook's shared strings hold more than " +
                                std::to_string(limit_ >> 20) +
                                " MB, far more than its sheets could use; it is refused as "
                                "damaged or hostile.");
        }
        AppendCellText(out_.bytes, text);
    }

private:
    XlsxWorkbook::SharedStrings& out_;
    std::uint64_t limit_;
    bool inItem_ = false;
    bool capture_ = false;
    int phonetic_ = 0;
};

// The cells of one sheet, passed to a SheetBuilder as they are read.
class SheetHandler : public XmlHandler
{
public:
    SheetHandler(const XlsxWorkbook::SharedStrings& shared,
                 const std::vector<NumberFormat>& formats, bool date1904, std::uint64_t partSize)
        : builder(partSize / 2), shared_(shared), formats_(formats), date1904_(date1904)
    {}
    SheetBuilder builder;

    void Start(std::string_view name, const char** a) override
    {
        if (name == "row") {
            const std::uint64_t r = CountAttribute(Attribute(a, "r"), 0, 1ULL << 31);
            row_ = r > 0 ? static_cast<std::uint32_t>(r - 1) : row_ + (started_ ? 1 : 0);
            started_ = true;
            column_ = ~0u;
        } else if (name == "c") {
            std::uint32_t column, row;
            const char* ref = Attribute(a, "r");
            if (ref && ParseCellReference(ref, column, row)) {
                column_ = column;
                row_ = row;
            } else {
                ++column_;
            }
            const char* t = Attribute(a, "t");
            type_ = t ? t : "n";
            style_ = CountAttribute(Attribute(a, "s"), 0, 1ULL << 32);
            value_.clear();
            hasValue_ = hasFormula_ = false;
            inCell_ = true;
        } else if (inCell_ && name == "v") {
            capture_ = hasValue_ = true;
        } else if (inCell_ && name == "f") {
            hasFormula_ = true;
        } else if (inCell_ && name == "rPh") {
            ++phonetic_;
        } else if (inCell_ && name == "t" && phonetic_ == 0) {
            capture_ = hasValue_ = true;
        } else if (name == "mergeCell") {
            AddMerge(Attribute(a, "ref"));
        }
    }
    void End(std::string_view name) override
    {
        if (name == "v" || name == "t") {
            capture_ = false;
        } else if (name == "rPh") {
            --phonetic_;
        } else if (name == "c" && inCell_) {
            inCell_ = false;
            capture_ = false;
            EmitCell();
        }
    }
    void Text(std::string_view text) override
    {
        if (capture_)
            value_.append(text);
    }

private:
    void EmitCell();
    void AddMerge(const char* ref);

    const XlsxWorkbook::SharedStrings& shared_;
    const std::vector<NumberFormat>& formats_;
    bool date1904_;
    std::uint32_t row_ = 0;
    std::uint32_t column_ = ~0u;
    bool started_ = false;
    std::string type_;
    std::uint64_t style_ = 0;
    std::string value_;
    bool hasValue_ = false;
    bool hasFormula_ = false;
    bool inCell_ = false;
    bool capture_ = false;
    int phonetic_ = 0;
};

void SheetHandler::EmitCell()
{
    if (column_ >= kMaxColumns)
        column_ = kMaxColumns;
    if (!hasValue_) {
        if (hasFormula_)
            builder.ErrorCell(row_, column_, "#N/A"); // a formula without a stored result
        return;
    }
    if (type_ == "s") {
        double index = -1;
        if (!ParseStoredNumber(value_, index) || index < 0 ||
            index >= static_cast<double>(shared_.ends.size())) {
            throw WorkbookError("The workbook is damaged: cell " + ColumnName(column_) +
                                std::to_string(row_ + 1ULL) + " names shared string " + value_ +
                                ", which it does not have.");
        }
        const auto i = static_cast<size_t>(index);
        const std::uint64_t begin = i == 0 ? 0 : shared_.ends[i - 1];
        builder.Cell(row_, column_,
                     std::string_view(shared_.bytes).substr(begin, shared_.ends[i] - begin));
    } else if (type_ == "inlineStr" || type_ == "str") {
        builder.Cell(row_, column_, value_);
    } else if (type_ == "b") {
        builder.Cell(row_, column_, value_ == "1" || value_ == "true" ? "TRUE" : "FALSE");
    } else if (type_ == "e") {
        builder.ErrorCell(row_, column_, value_);
    } else if (type_ == "d") {
        // An ISO 8601 date: YYYY-MM-DD, perhaps with a time.
        int y, m, d;
        if (value_.size() >= 10 && std::sscanf(value_.c_str(), "%4d-%2d-%2d", &y, &m, &d) == 3)
            builder.Cell(row_, column_, DateText(y, m, d));
        else
            builder.Cell(row_, column_, value_);
    } else {
        double number;
        if (!ParseStoredNumber(value_, number)) {
            builder.Cell(row_, column_, value_);
            return;
        }
        static const NumberFormat general;
        const NumberFormat& format = style_ < formats_.size() ? formats_[style_] : general;
        // Most numbers are stored as they are shown: no need to format them again.
        if (format.style == NumberStyle::Plain && IsPlainNumberText(value_))
            builder.Cell(row_, column_, value_);
        else
            builder.Cell(row_, column_, NumberText(number, format, date1904_));
    }
}

void SheetHandler::AddMerge(const char* ref)
{
    if (!ref)
        return;
    const std::string_view text(ref);
    const size_t colon = text.find(':');
    MergedArea area;
    if (colon == std::string_view::npos ||
        !ParseCellReference(text.substr(0, colon), area.firstColumn, area.firstRow) ||
        !ParseCellReference(text.substr(colon + 1), area.lastColumn, area.lastRow))
        return;
    builder.Merge(area);
}

} // namespace

std::string OfficeDocumentPart(ZipArchive& zip)
{
    for (const auto& [id, r] : ReadRelationships(zip, "_rels/.rels")) {
        (void)id;
        if (EndsWith(r.type, "/officeDocument"))
            return ResolveTarget({}, r.target);
    }
    return {};
}

XlsxWorkbook::XlsxWorkbook(std::unique_ptr<ZipArchive> zip, std::string workbookPart)
    : zip_(std::move(zip))
{
    const ZipArchive::Entry* entry = zip_->Find(workbookPart);
    if (!entry)
        throw WorkbookError("The workbook is damaged: its part " + workbookPart + " is missing.");
    if (entry->size > kMaxSmallPart)
        throw WorkbookError("The workbook is damaged: its part " + workbookPart + " is too large.");
    WorkbookHandler book;
    ReadXmlPart(*zip_, *entry, book);
    date1904_ = book.date1904;
    const auto rels = ReadRelationships(*zip_, workbookPart);
    for (const auto& [id, r] : rels) {
        (void)id;
        if (EndsWith(r.type, "/styles"))
            stylesPart_ = r.target;
        else if (EndsWith(r.type, "/sharedStrings"))
            sharedPart_ = r.target;
    }
    for (const WorkbookHandler::Sheet& sheet : book.sheets) {
        const auto it = rels.find(sheet.id);
        // Chart sheets and dialog sheets hold no cells.
        if (it == rels.end() || !EndsWith(it->second.type, "/worksheet"))
            continue;
        sheets_.push_back({sheet.name, sheet.hidden});
        sheetParts_.push_back(it->second.target);
    }
    if (sheets_.empty())
        throw WorkbookError("The workbook has no sheets.");
}

void XlsxWorkbook::LoadShared()
{
    if (sharedLoaded_)
        return;
    sharedLoaded_ = true;
    if (const ZipArchive::Entry* styles = stylesPart_.empty() ? nullptr : zip_->Find(stylesPart_)) {
        if (styles->size > kMaxSmallPart)
            throw WorkbookError("The workbook is damaged: its part " + stylesPart_ +
                                " is too large.");
        StylesHandler handler;
        ReadXmlPart(*zip_, *styles, handler);
        for (const std::uint64_t id : handler.cellFormatIds) {
            const auto code = handler.codes.find(id);
            cellFormats_.push_back(
                code != handler.codes.end()
                    ? ClassifyFormatCode(code->second)
                    : BuiltInFormat(static_cast<int>(std::min<std::uint64_t>(id, 1000))));
        }
    }
    if (const ZipArchive::Entry* shared = sharedPart_.empty() ? nullptr : zip_->Find(sharedPart_)) {
        std::uint64_t largestSheet = 0;
        for (const std::string& part : sheetParts_) {
            if (const ZipArchive::Entry* sheet = zip_->Find(part))
                largestSheet = std::max(largestSheet, sheet->size);
        }
        const std::uint64_t limit = kSharedAllowance + largestSheet;
        // The text is never longer than the part: reserved once, the block is never copied.
        shared_.bytes.reserve(static_cast<size_t>(std::min(limit, shared->size)));
        std::optional<SharedStringsHandler> handler;
        ReadXmlPartQuickly(*zip_, *shared, [&]() -> XmlHandler& {
            shared_.bytes.clear();
            shared_.ends.clear();
            return handler.emplace(shared_, limit);
        });
    }
}

SheetText XlsxWorkbook::ReadSheet(size_t index)
{
    LoadShared();
    const ZipArchive::Entry* entry = zip_->Find(sheetParts_.at(index));
    if (!entry) {
        throw WorkbookError("The workbook is damaged: the part " + sheetParts_[index] +
                            " of sheet \"" + sheets_[index].name + "\" is missing.");
    }
    std::unique_ptr<SheetHandler> handler;
    ReadXmlPartQuickly(*zip_, *entry, [&]() -> XmlHandler& {
        handler = std::make_unique<SheetHandler>(shared_, cellFormats_, date1904_, entry->size);
        return *handler;
    });
    return handler->builder.Finish();
}

} // namespace impmap::workbook
