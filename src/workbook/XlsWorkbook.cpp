#include "XlsWorkbook.h"

#include "CellText.h"
#include "CompoundFile.h"
#include "WorkbookError.h"

#include <cstring>
#include <fstream>
#include <map>

namespace impmap::workbook {
namespace {

constexpr std::uint64_t kMaxFileBytes = 512ULL << 20;

enum Record : std::uint16_t
{
    kFormula = 0x0006,
    kEof = 0x000A,
    kDateMode = 0x0022,
    kFilePass = 0x002F,
    kContinue = 0x003C,
    kBoundSheet = 0x0085,
    kMulRk = 0x00BD,
    kLabelSst = 0x00FD,
    kRString = 0x00D6,
    kXf = 0x00E0,
    kMergedCells = 0x00E5,
    kSst = 0x00FC,
    kNumber = 0x0203,
    kLabel = 0x0204,
    kBoolErr = 0x0205,
    kString = 0x0207,
    kRk = 0x027E,
    kFormat = 0x041E,
    kBof = 0x0809,
};

std::uint16_t U16(std::string_view b, size_t at)
{
    if (at + 2 > b.size())
        Damaged("a record is cut off");
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}
std::uint32_t U32(std::string_view b, size_t at)
{
    return U16(b, at) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}
double F64(std::string_view b, size_t at)
{
    if (at + 8 > b.size())
        Damaged("a record is cut off");
    double value;
    std::memcpy(&value, b.data() + at, 8);
    return value;
}

// A record's data followed by its CONTINUE records: strings may cross from one to the next,
// where the character width is given again.
class RecordReader
{
public:
    void Add(std::string_view data) { pieces_.push_back(data); }
    bool AtEnd() const { return piece_ >= pieces_.size(); }

    std::uint8_t Byte()
    {
        Settle();
        if (AtEnd())
            Damaged("a string runs past its record");
        return static_cast<std::uint8_t>(pieces_[piece_][at_++]);
    }
    std::uint16_t Word()
    {
        const std::uint16_t low = Byte();
        return static_cast<std::uint16_t>(low | (Byte() << 8));
    }
    std::uint32_t Long()
    {
        const std::uint32_t low = Word();
        return low | (static_cast<std::uint32_t>(Word()) << 16);
    }
    void Skip(std::uint64_t n)
    {
        while (n > 0) {
            Settle();
            if (AtEnd())
                Damaged("a string runs past its record");
            const size_t take =
                static_cast<size_t>(std::min<std::uint64_t>(n, pieces_[piece_].size() - at_));
            at_ += take;
            n -= take;
        }
    }
    // A string of count characters with its flags byte (BIFF8 XLUnicodeString body).
    std::string String(std::uint32_t count)
    {
        const std::uint8_t flags = Byte();
        bool wide = flags & 1;
        const std::uint32_t runs = flags & 8 ? Word() : 0;
        const std::uint32_t extra = flags & 4 ? Long() : 0;
        std::string out;
        std::uint32_t pending = 0;
        for (std::uint32_t i = 0; i < count; ++i) {
            if (piece_ + 1 < pieces_.size() && at_ >= pieces_[piece_].size()) {
                // The characters go on in the next CONTINUE record, after a new flags byte.
                ++piece_;
                at_ = 0;
                if (AtEnd())
                    Damaged("a string runs past its record");
                wide = Byte() & 1;
            }
            std::uint32_t c = wide ? Word() : Byte();
            if (c >= 0xD800 && c < 0xDC00) {
                pending = c;
                continue;
            }
            if (c >= 0xDC00 && c < 0xE000 && pending)
                c = 0x10000 + ((pending - 0xD800) << 10) + (c - 0xDC00);
            else if (c >= 0xD800 && c < 0xE000)
                c = 0xFFFD;
            pending = 0;
            AppendUtf8(out, c);
        }
        Skip(std::uint64_t{runs} * 4 + extra);
        return out;
    }

private:
    void Settle()
    {
        while (piece_ < pieces_.size() && at_ >= pieces_[piece_].size()) {
            ++piece_;
            at_ = 0;
        }
    }
    std::vector<std::string_view> pieces_;
    size_t piece_ = 0;
    size_t at_ = 0;
};

struct RawRecord
{
    std::uint16_t type;
    std::string_view data;
};

// The records of the stream from offset on, to the first EOF.
class Records
{
public:
    Records(std::string_view stream, size_t offset) : stream_(stream), at_(offset) {}
    bool Next(RawRecord& record)
    {
        if (at_ + 4 > stream_.size())
            return false;
        record.type = U16(stream_, at_);
        const size_t length = U16(stream_, at_ + 2);
        if (at_ + 4 + length > stream_.size())
            Damaged("a record runs past the end of the workbook stream");
        record.data = stream_.substr(at_ + 4, length);
        at_ += 4 + length;
        return true;
    }
    bool PeekContinue() const
    {
        return at_ + 4 <= stream_.size() && U16(stream_, at_) == kContinue;
    }

private:
    std::string_view stream_;
    size_t at_;
};

std::string ErrorText(std::uint8_t code)
{
    switch (code) {
    case 0x00:
        return "#NULL!";
    case 0x07:
        return "#DIV/0!";
    case 0x0F:
        return "#VALUE!";
    case 0x17:
        return "#REF!";
    case 0x1D:
        return "#NAME?";
    case 0x24:
        return "#NUM!";
    default:
        return "#N/A";
    }
}

double RkValue(std::uint32_t rk)
{
    double value;
    if (rk & 2) {
        value = static_cast<double>(static_cast<std::int32_t>(rk) >> 2);
    } else {
        const std::uint64_t bits = std::uint64_t{rk & 0xFFFFFFFCu} << 32;
        std::memcpy(&value, &bits, 8);
    }
    return rk & 1 ? value / 100 : value;
}

class XlsWorkbook : public Workbook
{
public:
    explicit XlsWorkbook(std::string stream);
    SheetText ReadSheet(size_t index) override;

private:
    void ReadSst(Records& records, std::string_view first);
    // A text formula result waiting for its STRING record.
    struct PendingString
    {
        bool waiting = false;
        std::uint16_t row = 0, column = 0;
    };

    std::string NumberCell(std::uint16_t xf, double value) const;
    void ReadFormula(SheetBuilder& builder, std::string_view d, PendingString& pending) const;

    std::string stream_;
    std::vector<std::uint32_t> offsets_;
    std::vector<std::string> shared_;
    std::map<std::uint16_t, NumberFormat> formats_;
    std::vector<std::uint16_t> xfFormats_;
    bool date1904_ = false;
};

XlsWorkbook::XlsWorkbook(std::string stream) : stream_(std::move(stream))
{
    Records records(stream_, 0);
    RawRecord r;
    if (!records.Next(r) || r.type != kBof || U16(r.data, 0) != 0x0600)
        throw WorkbookError(kBefore97);
    while (records.Next(r) && r.type != kEof) {
        switch (r.type) {
        case kFilePass:
            throw WorkbookError(kPasswordProtected);
        case kDateMode:
            date1904_ = U16(r.data, 0) == 1;
            break;
        case kFormat: {
            RecordReader reader;
            reader.Add(r.data);
            const std::uint16_t id = reader.Word();
            const std::uint16_t count = reader.Word();
            formats_[id] = ClassifyFormatCode(reader.String(count));
            break;
        }
        case kXf:
            xfFormats_.push_back(U16(r.data, 2));
            break;
        case kBoundSheet: {
            const std::uint8_t type = static_cast<std::uint8_t>(U16(r.data, 4) >> 8);
            RecordReader reader;
            reader.Add(r.data.substr(6));
            const std::uint8_t count = reader.Byte();
            std::string name = reader.String(count);
            if (type == 0) {
                offsets_.push_back(U32(r.data, 0));
                sheets_.push_back({std::move(name), (U16(r.data, 4) & 0xFF) != 0});
            }
            break;
        }
        case kSst:
            ReadSst(records, r.data);
            break;
        default:
            break;
        }
    }
    if (sheets_.empty())
        throw WorkbookError("The workbook has no sheets.");
}

void XlsWorkbook::ReadSst(Records& records, std::string_view first)
{
    RecordReader reader;
    reader.Add(first);
    RawRecord r;
    while (records.PeekContinue() && records.Next(r))
        reader.Add(r.data);
    const std::uint32_t unique = U32(first, 4);
    reader.Skip(8);
    for (std::uint32_t i = 0; i < unique && !reader.AtEnd(); ++i) {
        const std::uint16_t count = reader.Word();
        shared_.push_back(reader.String(count));
    }
}

std::string XlsWorkbook::NumberCell(std::uint16_t xf, double value) const
{
    const std::uint16_t id = xf < xfFormats_.size() ? xfFormats_[xf] : 0;
    const auto custom = formats_.find(id);
    const NumberFormat format = custom != formats_.end() ? custom->second : BuiltInFormat(id);
    return NumberText(value, format, date1904_);
}

// A formula's cached result: a number at once; a text in the STRING record that follows, which
// pending remembers the cell for.
void XlsWorkbook::ReadFormula(SheetBuilder& builder, std::string_view d,
                              PendingString& pending) const
{
    if (d.size() < 14)
        Damaged("a record is cut off");
    const std::uint16_t row = U16(d, 0), column = U16(d, 2);
    if (U16(d, 12) != 0xFFFF) {
        builder.Cell(row, column, NumberCell(U16(d, 4), F64(d, 6)));
        return;
    }
    const auto kind = static_cast<std::uint8_t>(d[6]);
    if (kind == 0) {
        pending = {true, row, column};
    } else if (kind == 1) {
        builder.Cell(row, column, d[8] ? "TRUE" : "FALSE");
    } else if (kind == 2) {
        builder.ErrorCell(row, column, ErrorText(static_cast<std::uint8_t>(d[8])));
    }
}

SheetText XlsWorkbook::ReadSheet(size_t index)
{
    SheetBuilder builder;
    Records records(stream_, offsets_.at(index));
    RawRecord r;
    if (!records.Next(r) || r.type != kBof)
        Damaged("sheet \"" + sheets_[index].name + "\" is not where the workbook says");
    PendingString pending;
    while (records.Next(r) && r.type != kEof) {
        const std::string_view d = r.data;
        switch (r.type) {
        case kLabelSst: {
            const std::uint32_t i = U32(d, 6);
            if (i >= shared_.size())
                Damaged("a cell names a shared string that the workbook does not have");
            builder.Cell(U16(d, 0), U16(d, 2), shared_[i]);
            break;
        }
        case kLabel:
        case kRString: {
            RecordReader reader;
            reader.Add(d.substr(6));
            const std::uint16_t count = reader.Word();
            builder.Cell(U16(d, 0), U16(d, 2), reader.String(count));
            break;
        }
        case kNumber:
            builder.Cell(U16(d, 0), U16(d, 2), NumberCell(U16(d, 4), F64(d, 6)));
            break;
        case kRk:
            builder.Cell(U16(d, 0), U16(d, 2), NumberCell(U16(d, 4), RkValue(U32(d, 6))));
            break;
        case kMulRk: {
            const std::uint16_t row = U16(d, 0);
            const std::uint16_t first = U16(d, 2);
            for (size_t at = 4, c = first; at + 6 + 2 <= d.size(); at += 6, ++c)
                builder.Cell(row, static_cast<std::uint32_t>(c),
                             NumberCell(U16(d, at), RkValue(U32(d, at + 2))));
            break;
        }
        case kBoolErr:
            if (d.size() < 8)
                Damaged("a record is cut off");
            if (d[7] != 0)
                builder.ErrorCell(U16(d, 0), U16(d, 2), ErrorText(static_cast<std::uint8_t>(d[6])));
            else
                builder.Cell(U16(d, 0), U16(d, 2), d[6] ? "TRUE" : "FALSE");
            break;
        case kFormula:
            ReadFormula(builder, d, pending);
            break;
        case kString:
            if (pending.waiting) {
                RecordReader reader;
                reader.Add(d);
                while (records.PeekContinue() && records.Next(r))
                    reader.Add(r.data);
                const std::uint16_t count = reader.Word();
                builder.Cell(pending.row, pending.column, reader.String(count));
                pending.waiting = false;
            }
            break;
        case kMergedCells: {
            const std::uint16_t count = U16(d, 0);
            for (size_t i = 0, at = 2; i < count && at + 8 <= d.size(); ++i, at += 8)
                builder.Merge({U16(d, at), U16(d, at + 4), U16(d, at + 2), U16(d, at + 6)});
            break;
        }
        default:
            break;
        }
    }
    return builder.Finish();
}

} // namespace

std::unique_ptr<Workbook> OpenXlsWorkbook(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    in.seekg(0, std::ios::end);
    const auto size = static_cast<std::uint64_t>(in.tellg());
    if (!in || size > kMaxFileBytes)
        throw WorkbookError("The workbook is larger than the 512 MB an .xls file may hold here; "
                            "save it as .xlsx.");
    std::string bytes(static_cast<size_t>(size), '\0');
    in.seekg(0);
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    if (!in)
        throw WorkbookError("The file cannot be read to its end.");
    const CompoundFile file(std::move(bytes));
    if (file.Has("EncryptedPackage") || file.Has("EncryptionInfo"))
        throw WorkbookError(kPasswordProtected);
    if (file.Has("Workbook"))
        return std::make_unique<XlsWorkbook>(file.Stream("Workbook"));
    if (file.Has("Book"))
        throw WorkbookError(kBefore97);
    throw WorkbookError("It is a compound document, but no workbook.");
}

} // namespace impmap::workbook
