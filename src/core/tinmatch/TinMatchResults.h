#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The results files of the IRS's bulk TIN Matching: each line a request line as it was sent
// ("TIN TYPE;TIN;NAME;ACCOUNT NUMBER") with the result code appended as a fifth field. The
// account number is the record number the request was made from.
namespace impmap {

// What a line could not give, in notes for the user: the first kListed are kept, the rest
// counted, which bounds the memory on any file.
class TinMatchNotes
{
public:
    static constexpr size_t kListed = 100;

    void Add(std::string note);
    const std::vector<std::string>& Listed() const { return listed_; }
    long Count() const { return count_; }

private:
    std::vector<std::string> listed_;
    long count_ = 0;
};

struct TinMatchAnswer
{
    long record = 0;
    long line = 0; // where it was read: the line of the file-th file read
    int file = 0;
    int tinType = 0;
    int code = 0;
    std::string tin;
    std::string name;
};

// The meaning of a result code 0 to 8 ("name and TIN do not match" for 3).
const char* TinMatchCodeMeaning(int code);

class TinMatchResults
{
public:
    // Larger files are refused: a results file holds at most 100,000 short lines.
    static constexpr std::uintmax_t kMaxFileBytes = std::uintmax_t{64} << 20;

    // Reads a results file for a source of recordCount records. A line that is no answer for
    // one of them is noted and skipped. Throws FileError when the file cannot be read or is too
    // large.
    void Read(const std::filesystem::path& path, long recordCount);
    // The same for the bytes of a file named fileName.
    void ReadBytes(std::string_view bytes, const std::string& fileName, long recordCount);

    // By record number; the answers of one record in the order read.
    const std::vector<TinMatchAnswer>& Answers() const { return answers_; }
    // Where an answer was read: "FILE line N".
    std::string Place(const TinMatchAnswer& answer) const;
    TinMatchNotes& Notes() { return notes_; }
    const TinMatchNotes& Notes() const { return notes_; }

private:
    void ReadLine(std::string_view line, long number, long recordCount);

    std::vector<std::string> files_;
    std::vector<TinMatchAnswer> answers_;
    TinMatchNotes notes_;
};

} // namespace impmap
