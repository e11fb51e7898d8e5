#include "OdsWorkbook.h"

#include "WorkbookError.h"
#include "XmlPart.h"

#include <algorithm>
#include <cstdio>
#include <vector>

namespace impmap::workbook {
namespace {

constexpr std::uint64_t kMaxStylesPart = 64ULL << 20;

std::string AttrText(const char* value)
{
    return value ? std::string(value) : std::string();
}

// Reads number styles and cell styles into Styles; a number style made of one integer number
// without decimals or grouping, and literal texts, becomes a zero pattern.
class StylesHandler : public XmlHandler
{
public:
    explicit StylesHandler(OdsWorkbook::Styles& styles) : styles_(styles) {}

    void Start(std::string_view name, const char** a) override
    {
        if (name == "number-style" || name == "percentage-style" || name == "date-style" ||
            name == "currency-style" || name == "time-style" || name == "text-style" ||
            name == "boolean-style") {
            dataStyle_ = AttrText(Attribute(a, "name"));
            kind_ = std::string(name);
            pattern_.clear();
            numbers_ = 0;
            plain_ = false;
            embedded_.clear();
        } else if (!dataStyle_.empty()) {
            StartInDataStyle(name, a);
        } else if (name == "style") {
            style_ = AttrText(Attribute(a, "name"));
            const std::string family = AttrText(Attribute(a, "family"));
            if (family == "table-cell") {
                if (const char* data = Attribute(a, "data-style-name"))
                    styles_.cellDataStyle[style_] = data;
                if (const char* parent = Attribute(a, "parent-style-name"))
                    styles_.cellParent[style_] = parent;
            }
        } else if (name == "table-properties" && !style_.empty()) {
            const char* display = Attribute(a, "display");
            if (display && std::string_view(display) == "false")
                styles_.tableHidden[style_] = true;
        } else if (name == "null-date") {
            const std::string date = AttrText(Attribute(a, "date-value"));
            styles_.date1904 = date.rfind("1904-01-01", 0) == 0;
        }
    }
    void End(std::string_view name) override
    {
        if (!dataStyle_.empty() && name == kind_) {
            FinishDataStyle();
            dataStyle_.clear();
        } else if (name == "text" || name == "embedded-text") {
            capture_ = false;
        } else if (name == "style") {
            style_.clear();
        }
    }
    void Text(std::string_view text) override
    {
        if (capture_)
            captured_.append(text);
        if (capture_ && captured_.size() > 4096)
            captured_.resize(4096);
    }

private:
    void StartInDataStyle(std::string_view name, const char** a)
    {
        if (name == "number") {
            const char* places = Attribute(a, "decimal-places");
            const char* grouping = Attribute(a, "grouping");
            digits_ = CountAttribute(Attribute(a, "min-integer-digits"), 0, 64);
            if ((places && std::string_view(places) != "0") ||
                (grouping && std::string_view(grouping) == "true") || digits_ == 0)
                plain_ = true;
            ++numbers_;
            pattern_ += '\x01'; // where the digits go
        } else if (name == "text" || name == "embedded-text") {
            capture_ = true;
            captured_.clear();
            position_ = name == "embedded-text"
                            ? static_cast<int>(CountAttribute(Attribute(a, "position"), 0, 64))
                            : -1;
        } else if (name != "map" && name != "text-properties") {
            plain_ = true; // scientific numbers, fractions, currency symbols, ...
        }
    }

    // Closes a text element of a number style: a literal of the pattern.
    void EndText()
    {
        if (position_ >= 0)
            embedded_.emplace_back(position_, captured_);
        else
            pattern_ += captured_;
    }

    void FinishDataStyle()
    {
        NumberFormat format;
        if (kind_ == "percentage-style") {
            format.style = NumberStyle::Percent;
        } else if (kind_ == "date-style") {
            format.style = NumberStyle::Date;
        } else if (kind_ == "number-style" && numbers_ == 1 && !plain_) {
            // The digits with their embedded texts, each placed by how many digits follow it.
            std::string digits;
            const int n = static_cast<int>(digits_);
            for (int i = 0; i <= n; ++i) {
                for (const auto& [position, text] : embedded_) {
                    if ((i == 0 && position >= n) || (i > 0 && position == n - i))
                        digits += text;
                }
                if (i < n)
                    digits += '0';
            }
            format.style = NumberStyle::Digits;
            const size_t at = pattern_.find('\x01');
            format.digits = pattern_.substr(0, at) + digits + pattern_.substr(at + 1);
            if (format.digits.find_first_of("#?.,%") != std::string::npos)
                format = {};
        }
        styles_.dataStyles[dataStyle_] = format;
    }

public:
    // Text elements end here; called from End before the text's capture stops.
    void EndElementText(std::string_view name)
    {
        if (!dataStyle_.empty() && capture_ && (name == "text" || name == "embedded-text"))
            EndText();
    }

private:
    OdsWorkbook::Styles& styles_;
    std::string dataStyle_;
    std::string kind_;
    std::string pattern_;
    std::uint64_t digits_ = 0;
    int numbers_ = 0;
    bool plain_ = false;
    std::vector<std::pair<int, std::string>> embedded_;
    bool capture_ = false;
    std::string captured_;
    int position_ = -1;
    std::string style_;
};

class StylesPartHandler : public XmlHandler
{
public:
    explicit StylesPartHandler(OdsWorkbook::Styles& styles) : styles(styles) {}
    void Start(std::string_view name, const char** a) override { styles.Start(name, a); }
    void End(std::string_view name) override
    {
        styles.EndElementText(name);
        styles.End(name);
    }
    void Text(std::string_view text) override { styles.Text(text); }
    StylesHandler styles;
};

constexpr std::string_view kErrors[] = {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!",
                                        "#NAME?", "#NUM!",   "#N/A"};

bool IsErrorText(std::string_view text)
{
    return std::find(std::begin(kErrors), std::end(kErrors), text) != std::end(kErrors) ||
           (text.size() == 7 && text.substr(0, 4) == "Err:");
}

// content.xml: the styles before the body, then the tables; cells of table wanted go to the
// builder, the others are only counted.
class ContentHandler : public XmlHandler
{
public:
    ContentHandler(OdsWorkbook::Styles& styles, long wanted) : styles_(styles), wanted_(wanted) {}
    std::vector<SheetEntry> sheets;
    std::vector<std::string> sheetStyles;
    SheetBuilder builder;
    XmlReader* reader = nullptr;

    void Start(std::string_view name, const char** a) override
    {
        if (!inBody_) {
            if (name == "body")
                inBody_ = true;
            else
                stylesHandler_.Start(name, a);
            return;
        }
        if (name == "table" && table_ < 0) {
            table_ = static_cast<long>(sheets.size());
            sheets.push_back({AttrText(Attribute(a, "name")), false});
            sheetStyles.push_back(AttrText(Attribute(a, "style-name")));
            row_ = 0;
            columns_.clear();
            return;
        }
        if (table_ != wanted_)
            return;
        if (name == "table-column") {
            const std::uint64_t n =
                CountAttribute(Attribute(a, "number-columns-repeated"), 1, kMaxColumns + 1ULL);
            const std::string style = AttrText(Attribute(a, "default-cell-style-name"));
            for (std::uint64_t i = 0; i < n && columns_.size() < kMaxColumns; ++i)
                columns_.push_back(style);
        } else if (name == "table-row") {
            rowRepeat_ = CountAttribute(Attribute(a, "number-rows-repeated"), 1, 1ULL << 31);
            rowStyle_ = AttrText(Attribute(a, "default-cell-style-name"));
            column_ = 0;
            cells_.clear();
        } else if (name == "table-cell" || name == "covered-table-cell") {
            StartCell(name == "covered-table-cell", a);
        } else if (inCell_ && name == "annotation") {
            ++annotation_;
        } else if (inCell_ && annotation_ == 0) {
            if (name == "p") {
                if (paragraphs_++ > 0)
                    text_ += ' ';
            } else if (name == "s") {
                text_.append(CountAttribute(Attribute(a, "c"), 1, 1024), ' ');
            } else if (name == "tab" || name == "line-break") {
                text_ += ' ';
            }
        }
    }
    void End(std::string_view name) override
    {
        if (!inBody_) {
            stylesHandler_.EndElementText(name);
            stylesHandler_.End(name);
            return;
        }
        if (name == "table") {
            const bool done = table_ == wanted_;
            table_ = -1;
            if (done && reader)
                reader->Stop();
            return;
        }
        if (table_ != wanted_)
            return;
        if (name == "annotation") {
            --annotation_;
        } else if (name == "table-cell" || name == "covered-table-cell") {
            EndCell();
        } else if (name == "table-row") {
            EndRow();
        }
    }
    void Text(std::string_view text) override
    {
        if (!inBody_)
            stylesHandler_.Text(text);
        else if (inCell_ && annotation_ == 0 && paragraphs_ > 0)
            text_.append(text);
    }

private:
    struct PendingCell
    {
        std::uint32_t column;
        std::string text;
        bool error;
    };

    void StartCell(bool covered, const char** a)
    {
        repeat_ = CountAttribute(Attribute(a, "number-columns-repeated"), 1, kMaxColumns + 1ULL);
        inCell_ = true;
        covered_ = covered;
        text_.clear();
        paragraphs_ = 0;
        type_ = AttrText(Attribute(a, "value-type"));
        value_ = AttrText(type_ == "date"      ? Attribute(a, "date-value")
                          : type_ == "boolean" ? Attribute(a, "boolean-value")
                          : type_ == "string"  ? Attribute(a, "string-value")
                                               : Attribute(a, "value"));
        hasValue_ = type_ == "string" ? Attribute(a, "string-value") != nullptr : !value_.empty();
        formula_ = Attribute(a, "formula") != nullptr;
        // The spreadsheet's own extension marks a formula's error result.
        errorResult_ = false;
        for (const char** at = a; *at; at += 2) {
            const std::string_view attribute(*at);
            if (attribute.size() > 11 && attribute.substr(attribute.size() - 11) == ":value-type" &&
                attribute.substr(0, 7) != "office:" && std::string_view(at[1]) == "error")
                errorResult_ = true;
        }
        style_ = AttrText(Attribute(a, "style-name"));
        if (style_.empty())
            style_ = rowStyle_;
        if (style_.empty() && column_ < columns_.size())
            style_ = columns_[column_];
    }

    std::string CellValue(bool& error) const
    {
        error = errorResult_ || (formula_ && type_.empty() && IsErrorText(text_));
        if (error)
            return text_;
        // A formula's logical result is a number shown as TRUE or FALSE.
        if (formula_ && type_ == "float" && (text_ == "TRUE" || text_ == "FALSE") &&
            (value_ == "1" || value_ == "0"))
            return text_;
        if (type_ == "float" || type_ == "currency" || type_ == "percentage") {
            double number;
            if (!ParseStoredNumber(value_, number))
                return text_;
            if (type_ == "percentage")
                return PlainNumber(number * 100);
            const NumberFormat* format = type_ == "float" ? styles_.FormatOf(style_) : nullptr;
            return NumberText(number, format ? *format : NumberFormat(), styles_.date1904);
        }
        if (type_ == "date") {
            int y, m, d;
            if (std::sscanf(value_.c_str(), "%d-%2d-%2d", &y, &m, &d) == 3)
                return DateText(y, m, d);
            return text_;
        }
        if (type_ == "boolean")
            return value_ == "true" || value_ == "1" ? "TRUE" : "FALSE";
        if (type_ == "string" && hasValue_)
            return value_;
        return text_;
    }

    void EndCell()
    {
        inCell_ = false;
        const std::uint64_t repeat = std::min<std::uint64_t>(repeat_, kMaxColumns + 1ULL);
        if (!covered_) {
            bool error = false;
            std::string value = CellValue(error);
            if (!value.empty()) {
                for (std::uint64_t i = 0; i < repeat && column_ + i <= kMaxColumns; ++i)
                    cells_.push_back({static_cast<std::uint32_t>(column_ + i), value, error});
            }
        }
        column_ += repeat;
    }

    void EndRow()
    {
        const std::uint64_t repeat =
            cells_.empty() ? rowRepeat_ : std::min<std::uint64_t>(rowRepeat_, kMaxRows + 1ULL);
        for (std::uint64_t r = 0; r < repeat && !cells_.empty(); ++r) {
            const auto row =
                static_cast<std::uint32_t>(std::min<std::uint64_t>(row_ + r, kMaxRows));
            for (const PendingCell& cell : cells_) {
                if (cell.error)
                    builder.ErrorCell(row, cell.column, cell.text);
                else
                    builder.Cell(row, cell.column, cell.text);
            }
        }
        row_ += repeat;
    }

    OdsWorkbook::Styles& styles_;
    StylesHandler stylesHandler_{styles_};
    long wanted_;
    bool inBody_ = false;
    long table_ = -1;
    std::vector<std::string> columns_;
    std::uint64_t row_ = 0;
    std::uint64_t rowRepeat_ = 1;
    std::string rowStyle_;
    std::uint64_t column_ = 0;
    std::uint64_t repeat_ = 1;
    std::vector<PendingCell> cells_;
    bool inCell_ = false;
    bool covered_ = false;
    int annotation_ = 0;
    int paragraphs_ = 0;
    std::string text_;
    std::string type_;
    std::string value_;
    bool hasValue_ = false;
    bool formula_ = false;
    bool errorResult_ = false;
    std::string style_;
};

} // namespace

const NumberFormat* OdsWorkbook::Styles::FormatOf(const std::string& cellStyle) const
{
    std::string style = cellStyle;
    for (int depth = 0; depth < 16 && !style.empty(); ++depth) {
        if (const auto data = cellDataStyle.find(style); data != cellDataStyle.end()) {
            const auto format = dataStyles.find(data->second);
            return format == dataStyles.end() ? nullptr : &format->second;
        }
        const auto parent = cellParent.find(style);
        style = parent == cellParent.end() ? std::string() : parent->second;
    }
    return nullptr;
}

OdsWorkbook::OdsWorkbook(std::unique_ptr<ZipArchive> zip) : zip_(std::move(zip))
{
    if (const ZipArchive::Entry* manifest = zip_->Find("META-INF/manifest.xml")) {
        if (zip_->ReadAll(*manifest, kMaxStylesPart).find("encryption-data") != std::string::npos)
            throw WorkbookError(kPasswordProtected);
    }
    if (const ZipArchive::Entry* styles = zip_->Find("styles.xml")) {
        if (styles->size > kMaxStylesPart)
            throw WorkbookError("The workbook is damaged: its part styles.xml is too large.");
        StylesPartHandler handler(styles_);
        ReadXmlPart(*zip_, *styles, handler);
    }
    ContentHandler content(styles_, -1);
    ReadXmlPart(*zip_, *zip_->Find("content.xml"), content);
    for (size_t i = 0; i < content.sheets.size(); ++i) {
        content.sheets[i].hidden = styles_.tableHidden.count(content.sheetStyles[i]) > 0;
        sheets_.push_back(content.sheets[i]);
    }
    if (sheets_.empty())
        throw WorkbookError("The workbook has no sheets.");
}

SheetText OdsWorkbook::ReadSheet(size_t index)
{
    Styles styles = styles_;
    ContentHandler content(styles, static_cast<long>(index));
    ReadXmlPart(*zip_, *zip_->Find("content.xml"), content, &content.reader);
    return content.builder.Finish();
}

} // namespace impmap::workbook
