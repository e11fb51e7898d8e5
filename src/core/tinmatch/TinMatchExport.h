#pragma once

#include "execute/Engine.h"
#include "source/SourceFormat.h"
#include "tinmatch/TinMatchFiles.h"
#include "tinmatch/TinMatchLayout.h"

#include <functional>
#include <string>

// The TIN Matching request of a mapping: one line "TIN TYPE;TIN;NAME;ACCOUNT NUMBER" per record,
// made of the values a run converts (the record's "Taxpayer id", "TIN Type" and "Name line 1",
// merges included), with the record number as account number so that every answer finds its
// record again. It takes the records of a check run (ExecuteOptions::checkAll), which goes on past
// values that fail and reports every bad taxpayer number.
namespace impmap {

class Workspace;

// A request line: "2;123456789;John A Doe;7".
std::string TinMatchLine(int tinType, std::string_view tin, std::string_view name, long record);

class TinMatchExport : public ExecuteCallbacks
{
public:
    // Gets each record left out, with its line ("Record 5: left out: bad TIN 000012-34").
    using LeftOutSink = std::function<void(long record, const std::string& line)>;

    // Takes the mapping and the record count as the run begins; the mapping must have passed
    // TinMatchRefusal. The lines go to files.
    TinMatchExport(const Workspace& workspace, TinMatchFiles& files, LeftOutSink leftOut);

    void OutputLine(std::string_view line) override { (void)line; }
    void FieldProblemFound(const FieldProblem& problem) override;
    void RecordValues(long record, RecordViews values, RecordViews sourceFields) override;
    bool WantsSourceFields() const override { return false; }

    // After a completed run: names the NULL records at the end. Throws FileError as
    // TinMatchFiles::Add does.
    void Finish();
    long LeftOutCount() const { return leftOutCount_; }

private:
    void LeaveOut(long record, const std::string& reason);
    void NullRecordsBefore(long record);

    TinMatchRows rows_;
    TextEncoding encoding_;
    long total_;
    TinMatchFiles& files_;
    LeftOutSink leftOut_;
    long lastRecord_ = 0;
    long badTinRecord_ = 0; // the record whose taxpayer number failed, with its value
    std::string badTin_;
    long leftOutCount_ = 0;
    std::string line_;
};

} // namespace impmap
