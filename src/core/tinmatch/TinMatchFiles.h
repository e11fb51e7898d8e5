#pragma once

#include "io/FileIo.h"

#include <filesystem>
#include <memory>
#include <string_view>
#include <vector>

// The files of a TIN Matching request: one line per record, each ending in CR LF, at most
// 100,000 lines a file (the most the IRS's bulk program takes). Beyond that the lines go on in
// FILE_2, FILE_3, ... ("tin.txt", "tin_2.txt", ...).
namespace impmap {

inline constexpr long kTinMatchLinesPerFile = 100000;

// The name of part n (1-based) of target: target itself for part 1, else "_n" before its
// extension.
std::filesystem::path TinMatchPartPath(const std::filesystem::path& target, int part);

struct TinMatchPart
{
    std::filesystem::path path;
    long lines = 0;
};

// Writes the parts through temporary files and replaces them all together at Commit, after
// every one of them has reached the disk; a failure before then leaves every earlier file as
// it was and no temporary file behind.
class TinMatchFiles
{
public:
    // Throws FileError when a part would replace one of the inputs (the source or map file).
    TinMatchFiles(std::filesystem::path target, std::vector<std::filesystem::path> inputs,
                  long linesPerFile = kTinMatchLinesPerFile);

    // One line, without its line end. Throws FileError.
    void Add(std::string_view line);
    // Replaces the files and returns them with their line counts. Throws FileError.
    std::vector<TinMatchPart> Commit();

    long Lines() const { return lines_; }
    // After Commit: the files named as further parts that an earlier, longer request left
    // (FILE_3 when this one ends with FILE_2), which must not be sent with these.
    std::vector<std::filesystem::path> EarlierParts() const;

private:
    void StartPart();

    std::filesystem::path target_;
    std::vector<std::filesystem::path> inputs_;
    long linesPerFile_;
    long lines_ = 0;
    std::vector<TinMatchPart> parts_;
    std::vector<std::unique_ptr<AtomicFileWriter>> writers_;
    std::string block_;
};

} // namespace impmap
