#pragma once

#include "execute/Engine.h"
#include "mapping/DestinationRow.h"
#include "source/SourceFormat.h"
#include "tinmatch/TinMatchLayout.h"
#include "tinmatch/TinMatchResults.h"

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

// The answers of TIN Matching as warnings of a check: each record whose answer is not a plain
// match gets one, on "Taxpayer id" for codes 1 to 5 and on "TIN Type" for codes 6 to 8 when that
// says otherwise than the IRS found. An answer whose TIN is no longer the record's is stale and
// noted instead; of several answers for the record's TIN the last one read counts.
namespace impmap {

class Workspace;

class TinMatchCheck
{
public:
    // Takes the mapping's rows (which must have passed TinMatchRefusal) and the answers, whose
    // notes it goes on adding to.
    TinMatchCheck(const std::vector<DestinationRow>& rows, TinMatchResults results,
                  TextEncoding encoding);

    // Appends the record's warning, if any, to out. Records come in ascending order; values are
    // the written values, one per row, and sourceFields the record's fields after merges.
    void Check(long record, RecordViews values, RecordViews sourceFields,
               std::vector<FieldProblem>& out);
    // After the run: notes the answers of records that gave no values (NULL records).
    void Finish();

    long Applied() const { return applied_; }
    const TinMatchNotes& Notes() const { return results_.Notes(); }

private:
    void NoteUnseenBefore(long record);
    std::string Warning(const TinMatchAnswer& answer, RecordViews values, int& row) const;

    std::vector<DestinationRow> rows_;
    TinMatchRows found_;
    TinMatchResults results_;
    TextEncoding encoding_;
    std::vector<TinMatchAnswer>::const_iterator next_;
    long applied_ = 0;
};

// The check of the results files for the workspace's mapping and source. Throws Rejection with
// the text of TinMatchRefusal when the mapping cannot take them, FileError when a file cannot be
// read.
std::unique_ptr<TinMatchCheck> ReadTinMatchCheck(const Workspace& workspace,
                                                 const std::vector<std::filesystem::path>& files);

// "TIN Matching results: 3 answers applied, 1 line not applied", after the run.
std::string TinMatchSummary(const TinMatchCheck& check);

} // namespace impmap
