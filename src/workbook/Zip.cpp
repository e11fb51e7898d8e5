#include "Zip.h"

#include "WorkbookError.h"

#include <algorithm>
#include <memory>
#include <zlib.h>

namespace impmap::workbook {
namespace {

constexpr std::uint32_t kEndOfDirectory = 0x06054b50;
constexpr std::uint32_t kZip64End = 0x06064b50;
constexpr std::uint32_t kZip64Locator = 0x07064b50;
constexpr std::uint32_t kDirectoryEntry = 0x02014b50;
constexpr std::uint32_t kLocalHeader = 0x04034b50;
constexpr std::size_t kMaxEntries = 65536;
constexpr std::uint64_t kMaxDirectoryBytes = 64ULL << 20;
// Spreadsheet XML deflates to a tenth or a twentieth of its size, very repetitive sheets to a
// hundredth; a part that claims much more than that is a zip bomb.
constexpr std::uint64_t kMaxRatio = 250;
constexpr std::uint64_t kRatioFrom = 64ULL << 20;

std::uint16_t U16(const char* p)
{
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return static_cast<std::uint16_t>(b[0] | (b[1] << 8));
}
std::uint32_t U32(const char* p)
{
    return static_cast<std::uint32_t>(U16(p)) | (static_cast<std::uint32_t>(U16(p + 2)) << 16);
}
std::uint64_t U64(const char* p)
{
    return static_cast<std::uint64_t>(U32(p)) | (static_cast<std::uint64_t>(U32(p + 4)) << 32);
}

std::string Gigabytes(std::uint64_t bytes)
{
    return std::to_string((bytes + (1ULL << 30) - 1) >> 30) + " GB";
}

// The 64-bit sizes and offset of a directory entry whose 32-bit fields are all ones.
void ReadZip64Extra(std::string_view extra, ZipArchive::Entry& entry)
{
    while (extra.size() >= 4) {
        const std::uint16_t id = U16(extra.data());
        const std::uint16_t size = U16(extra.data() + 2);
        if (size > extra.size() - 4)
            Damaged("a zip directory entry's extra field is cut off");
        std::string_view data = extra.substr(4, size);
        if (id == 1) {
            auto take = [&](std::uint64_t& value) {
                if (value != 0xFFFFFFFFu)
                    return;
                if (data.size() < 8)
                    Damaged("a zip64 entry lacks its sizes");
                value = U64(data.data());
                data.remove_prefix(8);
            };
            take(entry.size);
            take(entry.compressedSize);
            take(entry.localHeader);
        }
        extra.remove_prefix(4 + size);
    }
}

} // namespace

std::string ZipKey(std::string_view name)
{
    std::string key(name);
    for (char& c : key) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c + 32);
        else if (c == '\\')
            c = '/';
    }
    while (!key.empty() && key.front() == '/')
        key.erase(0, 1);
    return key;
}

ZipArchive::ZipArchive(const std::filesystem::path& path) : file_(path, std::ios::binary)
{
    if (!file_)
        throw WorkbookError("The file cannot be opened.");
    file_.seekg(0, std::ios::end);
    fileSize_ = static_cast<std::uint64_t>(file_.tellg());
    ReadDirectory();
}

void ZipArchive::ReadAt(std::uint64_t offset, char* data, std::size_t size)
{
    if (offset > fileSize_ || size > fileSize_ - offset)
        Damaged("the file ends early");
    file_.clear();
    file_.seekg(static_cast<std::streamoff>(offset));
    file_.read(data, static_cast<std::streamsize>(size));
    if (!file_)
        Damaged("the file cannot be read to its end");
}

void ZipArchive::ReadDirectory()
{
    // The end record is in the last 64 kB and 22 bytes; it is searched from the end.
    const std::uint64_t tailSize = std::min<std::uint64_t>(fileSize_, 65557);
    std::string tail(tailSize, '\0');
    ReadAt(fileSize_ - tailSize, tail.data(), tail.size());
    size_t at = std::string::npos;
    for (size_t i = tail.size() >= 22 ? tail.size() - 22 + 1 : 0; i-- > 0;) {
        if (U32(tail.data() + i) == kEndOfDirectory) {
            at = i;
            break;
        }
    }
    if (at == std::string::npos)
        Damaged("the zip directory is missing (the file may be cut off)");
    const char* end = tail.data() + at;
    std::uint64_t count = U16(end + 10);
    std::uint64_t directorySize = U32(end + 12);
    std::uint64_t directoryOffset = U32(end + 16);
    const std::uint64_t endOffset = fileSize_ - tailSize + at;
    if ((count == 0xFFFF || directorySize == 0xFFFFFFFFu || directoryOffset == 0xFFFFFFFFu) &&
        endOffset >= 20) {
        char locator[20];
        ReadAt(endOffset - 20, locator, sizeof locator);
        if (U32(locator) == kZip64Locator) {
            char record[56];
            ReadAt(U64(locator + 8), record, sizeof record);
            if (U32(record) != kZip64End)
                Damaged("the zip64 directory record is missing");
            count = U64(record + 32);
            directorySize = U64(record + 40);
            directoryOffset = U64(record + 48);
        }
    }
    if (count > kMaxEntries)
        throw WorkbookError("The workbook has more than 65536 parts, more than any workbook has.");
    if (directorySize > kMaxDirectoryBytes)
        Damaged("its zip directory is larger than 64 MB");
    std::string directory(directorySize, '\0');
    ReadAt(directoryOffset, directory.data(), directory.size());

    size_t pos = 0;
    for (std::uint64_t i = 0; i < count; ++i) {
        if (directory.size() - pos < 46 || U32(directory.data() + pos) != kDirectoryEntry)
            Damaged("an entry of the zip directory is cut off");
        const char* p = directory.data() + pos;
        Entry entry;
        entry.flags = U16(p + 8);
        entry.method = U16(p + 10);
        entry.crc = U32(p + 16);
        entry.compressedSize = U32(p + 20);
        entry.size = U32(p + 24);
        const size_t nameLength = U16(p + 28);
        const size_t extraLength = U16(p + 30);
        const size_t commentLength = U16(p + 32);
        entry.localHeader = U32(p + 42);
        if (directory.size() - pos - 46 < nameLength + extraLength + commentLength)
            Damaged("an entry of the zip directory is cut off");
        entry.name.assign(p + 46, nameLength);
        ReadZip64Extra(std::string_view(p + 46 + nameLength, extraLength), entry);
        pos += 46 + nameLength + extraLength + commentLength;
        byName_.emplace(ZipKey(entry.name), entries_.size());
        entries_.push_back(std::move(entry));
    }
}

const ZipArchive::Entry* ZipArchive::Find(std::string_view name) const
{
    const auto it = byName_.find(ZipKey(name));
    return it == byName_.end() ? nullptr : &entries_[it->second];
}

// Throws for a part that must not be inflated: encrypted, of an unknown method, larger than a part
// may be, or a zip bomb by its declared sizes.
void ZipArchive::RefuseUnreadable(const Entry& entry)
{
    if (entry.flags & 1)
        throw WorkbookError(kPasswordProtected);
    if (entry.method != 0 && entry.method != 8)
        Damaged("its part " + entry.name + " is compressed in a way that cannot be read");
    if (entry.size > kMaxPartBytes) {
        throw WorkbookError("The workbook's part " + entry.name + " expands to " +
                            Gigabytes(entry.size) + ", more than the 4 GB a part may hold.");
    }
    if (entry.size > kRatioFrom && entry.size / kMaxRatio > entry.compressedSize) {
        throw WorkbookError(
            "The workbook's part " + entry.name + " would expand " +
            std::to_string(entry.size / std::max<std::uint64_t>(entry.compressedSize, 1)) +
            " times its compressed size, as no workbook's part does; it is "
            "refused as a zip bomb.");
    }
}

// Where the part's data starts, after its local header; throws when it is not inside the file.
std::uint64_t ZipArchive::DataOffset(const Entry& entry)
{
    char header[30];
    ReadAt(entry.localHeader, header, sizeof header);
    if (U32(header) != kLocalHeader)
        Damaged("the part " + entry.name + " is not where the zip directory says");
    const std::uint64_t offset = entry.localHeader + 30 + U16(header + 26) + U16(header + 28);
    if (offset > fileSize_ || entry.compressedSize > fileSize_ - offset)
        Damaged("the part " + entry.name + " is cut off");
    return offset;
}

void ZipArchive::Read(const Entry& entry, const std::function<bool(std::string_view)>& sink)
{
    RefuseUnreadable(entry);
    std::uint64_t offset = DataOffset(entry);
    std::uint64_t remaining = entry.compressedSize;

    z_stream zs{};
    if (entry.method == 8 && inflateInit2(&zs, -MAX_WBITS) != Z_OK)
        throw WorkbookError("Not enough memory to read the workbook.");
    std::unique_ptr<z_stream, int (*)(z_stream*)> guard(entry.method == 8 ? &zs : nullptr,
                                                        inflateEnd);
    constexpr size_t kIn = 1 << 16;
    constexpr size_t kOut = 1 << 18;
    std::unique_ptr<char[]> in(new char[kIn]);
    std::unique_ptr<char[]> out(new char[kOut]);
    std::uint64_t produced = 0;
    std::uint32_t crc = static_cast<std::uint32_t>(crc32(0, nullptr, 0));
    bool ended = entry.method == 0;
    auto deliver = [&](const char* data, size_t size) {
        produced += size;
        if (produced > entry.size) {
            Damaged("its part " + entry.name +
                    " expands past the size its zip directory "
                    "declares");
        }
        crc = static_cast<std::uint32_t>(
            crc32(crc, reinterpret_cast<const Bytef*>(data), static_cast<uInt>(size)));
        return sink(std::string_view(data, size));
    };
    if (entry.method == 0) {
        while (remaining > 0) {
            const size_t take = static_cast<size_t>(std::min<std::uint64_t>(remaining, kIn));
            ReadAt(offset, in.get(), take);
            offset += take;
            remaining -= take;
            if (!deliver(in.get(), take))
                return;
        }
    }
    while (!ended) {
        if (zs.avail_in == 0 && remaining > 0) {
            const size_t take = static_cast<size_t>(std::min<std::uint64_t>(remaining, kIn));
            ReadAt(offset, in.get(), take);
            offset += take;
            remaining -= take;
            zs.next_in = reinterpret_cast<Bytef*>(in.get());
            zs.avail_in = static_cast<uInt>(take);
        }
        zs.next_out = reinterpret_cast<Bytef*>(out.get());
        zs.avail_out = static_cast<uInt>(kOut);
        const int status = inflate(&zs, Z_NO_FLUSH);
        if (status != Z_OK && status != Z_STREAM_END && status != Z_BUF_ERROR)
            Damaged("its part " + entry.name + " does not inflate");
        const size_t made = kOut - zs.avail_out;
        if (made > 0 && !deliver(out.get(), made))
            return;
        ended = status == Z_STREAM_END;
        if (!ended && made == 0 && zs.avail_in == 0 && remaining == 0)
            break; // the compressed data ends before the stream does
    }
    if (!ended || produced != entry.size)
        Damaged("its part " + entry.name + " is cut off");
    if (crc != entry.crc)
        Damaged("its part " + entry.name + " fails its checksum");
}

std::string ZipArchive::ReadAll(const Entry& entry, std::uint64_t limit)
{
    if (entry.size > limit) {
        throw WorkbookError("The workbook's part " + entry.name + " is larger than the " +
                            std::to_string(limit >> 20) + " MB it may hold.");
    }
    std::string bytes;
    bytes.reserve(static_cast<size_t>(entry.size));
    Read(entry, [&](std::string_view piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
}

} // namespace impmap::workbook
