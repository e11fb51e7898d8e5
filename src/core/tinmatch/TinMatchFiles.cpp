#include "tinmatch/TinMatchFiles.h"

#include "io/NativePath.h"

namespace impmap {
namespace {

constexpr size_t kBlockBytes = size_t{1} << 16;

} // namespace

std::filesystem::path TinMatchPartPath(const std::filesystem::path& target, int part)
{
    if (part <= 1)
        return target;
    std::filesystem::path name = target.stem();
    name += "_" + std::to_string(part);
    name += target.extension();
    return target.parent_path() / name;
}

TinMatchFiles::TinMatchFiles(std::filesystem::path target,
                             std::vector<std::filesystem::path> inputs, long linesPerFile)
    : target_(std::move(target)), inputs_(std::move(inputs)), linesPerFile_(linesPerFile)
{
    StartPart();
}

void TinMatchFiles::StartPart()
{
    const std::filesystem::path path =
        TinMatchPartPath(target_, static_cast<int>(parts_.size()) + 1);
    for (const std::filesystem::path& input : inputs_) {
        std::error_code ec;
        if (!input.empty() && std::filesystem::equivalent(path, input, ec))
            throw FileError("Cannot create file \"" + Utf8FromPath(path) +
                            "\". It is the input file \"" + Utf8FromPath(input) +
                            "\", which it would replace");
    }
    writers_.push_back(std::make_unique<AtomicFileWriter>(path));
    parts_.push_back({path, 0});
}

void TinMatchFiles::Add(std::string_view line)
{
    if (parts_.back().lines == linesPerFile_) {
        writers_.back()->Write(block_);
        block_.clear();
        // The full part goes to the disk now; only its rename waits for the last part.
        writers_.back()->Close();
        StartPart();
    }
    block_.append(line).append("\r\n");
    ++parts_.back().lines;
    ++lines_;
    if (block_.size() >= kBlockBytes) {
        writers_.back()->Write(block_);
        block_.clear();
    }
}

std::vector<TinMatchPart> TinMatchFiles::Commit()
{
    writers_.back()->Write(block_);
    block_.clear();
    writers_.back()->Close();
    for (const auto& writer : writers_)
        writer->Commit();
    return parts_;
}

std::vector<std::filesystem::path> TinMatchFiles::EarlierParts() const
{
    std::vector<std::filesystem::path> earlier;
    for (int part = static_cast<int>(parts_.size()) + 1;; ++part) {
        std::error_code ec;
        const std::filesystem::path path = TinMatchPartPath(target_, part);
        if (!std::filesystem::exists(path, ec))
            return earlier;
        earlier.push_back(path);
    }
}

} // namespace impmap
