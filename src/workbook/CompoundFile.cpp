#include "CompoundFile.h"

#include "WorkbookError.h"

namespace impmap::workbook {
namespace {

constexpr std::uint32_t kEndOfChain = 0xFFFFFFFE;
constexpr std::uint32_t kFree = 0xFFFFFFFF;

std::uint16_t U16(std::string_view b, size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(b[at]) |
                                      (static_cast<unsigned char>(b[at + 1]) << 8));
}
std::uint32_t U32(std::string_view b, size_t at)
{
    return U16(b, at) | (static_cast<std::uint32_t>(U16(b, at + 2)) << 16);
}

std::string Upper(std::string_view s)
{
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 32);
    }
    return out;
}

} // namespace

CompoundFile::CompoundFile(std::string bytes) : bytes_(std::move(bytes))
{
    if (bytes_.size() < 512)
        Damaged("it ends within its header");
    const unsigned shift = U16(bytes_, 0x1E);
    if (shift != 9 && shift != 12)
        Damaged("its header gives an unknown sector size");
    sectorSize_ = 1u << shift;
    cutoff_ = U32(bytes_, 0x38);
    const std::uint64_t sectors = (bytes_.size() - 512 + sectorSize_ - 1) / sectorSize_;
    auto sectorData = [&](std::uint32_t sector) {
        const std::uint64_t at = 512 + std::uint64_t{sector} * sectorSize_;
        if (sector >= sectors || at + sectorSize_ > bytes_.size())
            Damaged("a sector lies beyond the end of the file");
        return std::string_view(bytes_).substr(static_cast<size_t>(at), sectorSize_);
    };

    // The allocation table's sectors: 109 in the header, the others in a chain of their own.
    std::vector<std::uint32_t> fatSectors;
    const std::uint32_t fatCount = U32(bytes_, 0x2C);
    if (fatCount > sectors)
        Damaged("its allocation table is larger than the file");
    for (size_t i = 0; i < 109 && fatSectors.size() < fatCount; ++i)
        fatSectors.push_back(U32(bytes_, 0x4C + i * 4));
    std::uint32_t difat = U32(bytes_, 0x44);
    for (std::uint64_t guard = 0; fatSectors.size() < fatCount && difat < kEndOfChain; ++guard) {
        if (guard > sectors)
            Damaged("its allocation table's chain loops");
        const std::string_view s = sectorData(difat);
        for (size_t i = 0; i + 4 < sectorSize_ && fatSectors.size() < fatCount; i += 4)
            fatSectors.push_back(U32(s, i));
        difat = U32(s, sectorSize_ - 4);
    }
    for (const std::uint32_t sector : fatSectors) {
        const std::string_view s = sectorData(sector);
        for (size_t i = 0; i < sectorSize_; i += 4)
            fat_.push_back(U32(s, i));
    }

    const std::string directory = Chain(U32(bytes_, 0x30), ~0ULL, false);
    for (size_t at = 0; at + 128 <= directory.size() && entries_.size() < 100000; at += 128) {
        Entry entry;
        const size_t nameBytes = std::min<size_t>(U16(directory, at + 0x40), 64);
        for (size_t i = 0; i + 1 < nameBytes; i += 2) {
            const std::uint16_t c = U16(directory, at + i);
            if (c == 0)
                break;
            entry.name += c < 0x80 ? static_cast<char>(c) : '?';
        }
        entry.name = Upper(entry.name);
        entry.type = static_cast<unsigned char>(directory[at + 0x42]);
        entry.start = U32(directory, at + 0x74);
        entry.size = U32(directory, at + 0x78);
        if (sectorSize_ == 4096)
            entry.size |= std::uint64_t{U32(directory, at + 0x7C)} << 32;
        entries_.push_back(std::move(entry));
    }
    if (entries_.empty() || entries_[0].type != 5)
        Damaged("its directory has no root");
    miniStream_ = Chain(entries_[0].start, entries_[0].size, false);
    const std::string miniFat = Chain(U32(bytes_, 0x3C), ~0ULL, false);
    for (size_t i = 0; i + 4 <= miniFat.size(); i += 4)
        miniFat_.push_back(U32(miniFat, i));
}

std::string CompoundFile::Chain(std::uint32_t start, std::uint64_t size, bool mini) const
{
    const std::vector<std::uint32_t>& table = mini ? miniFat_ : fat_;
    const std::uint32_t unit = mini ? 64 : sectorSize_;
    std::string out;
    std::uint32_t sector = start;
    for (std::uint64_t guard = 0; sector != kEndOfChain && sector != kFree && out.size() < size;
         ++guard) {
        if (guard > table.size() || sector >= table.size())
            Damaged("a stream's chain of sectors is broken");
        const std::uint64_t at =
            mini ? std::uint64_t{sector} * 64 : 512 + std::uint64_t{sector} * sectorSize_;
        const std::string& source = mini ? miniStream_ : bytes_;
        if (at + unit > source.size())
            Damaged("a stream's sector lies beyond the end of the file");
        out.append(source, static_cast<size_t>(at), unit);
        sector = table[sector];
    }
    if (size != ~0ULL) {
        if (out.size() < size)
            Damaged("a stream is shorter than its directory entry says");
        out.resize(static_cast<size_t>(size));
    }
    return out;
}

const CompoundFile::Entry* CompoundFile::Find(std::string_view name) const
{
    const std::string wanted = Upper(name);
    for (const Entry& entry : entries_) {
        if (entry.type == 2 && entry.name == wanted)
            return &entry;
    }
    return nullptr;
}

bool CompoundFile::Has(std::string_view name) const
{
    return Find(name) != nullptr;
}

std::string CompoundFile::Stream(std::string_view name) const
{
    const Entry* entry = Find(name);
    if (!entry)
        Damaged("its stream " + std::string(name) + " is missing");
    if (entry->size > bytes_.size())
        Damaged("its stream " + std::string(name) + " is larger than the file");
    return Chain(entry->start, entry->size, entry->size < cutoff_);
}

} // namespace impmap::workbook
