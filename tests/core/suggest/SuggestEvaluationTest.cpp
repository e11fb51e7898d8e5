// Suggest Mapping on header rows of public import templates and exports (tests/data/suggest):
// of the columns a careful preparer maps, at least 85% are applied at the default confidence,
// and at most 2% of the applied pairs are wrong, in every row.
#include "../TestSupport.h"
#include "schema/FormCatalogue.h"
#include "suggest/Suggest.h"

#include <algorithm>
#include <cstdio>
#include <gtest/gtest.h>
#include <sstream>

using namespace impmap;
using namespace impmap::suggest;

namespace {

struct Column
{
    std::string header;
    std::vector<std::string> answers; // captions, "+caption" for a merge, "-" for none
};

struct HeaderSet
{
    std::string name;
    int formIndex = -1;
    std::vector<Column> columns;
};

std::vector<std::string> SplitAt(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::stringstream stream(text);
    std::string part;
    while (std::getline(stream, part, separator))
        parts.push_back(part);
    return parts;
}

HeaderSet ReadSet(const std::string& fileName)
{
    HeaderSet set;
    set.name = fileName;
    std::stringstream lines(test::ReadFile(test::DataPath("suggest/" + fileName)));
    std::string line;
    while (std::getline(lines, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.rfind("# Form: ", 0) == 0)
            set.formIndex = FindFormIndex(line.substr(8));
        if (line.empty() || line[0] == '#')
            continue;
        const size_t tab = line.find('\t');
        set.columns.push_back({line.substr(0, tab), SplitAt(line.substr(tab + 1), '|')});
    }
    return set;
}

struct Figures
{
    int mappable = 0;
    int found = 0;   // mappable columns applied to one of their answers
    int applied = 0; // applied column-field pairs, merged columns included
    int wrong = 0;
    std::string notes;
};

bool Has(const std::vector<std::string>& answers, const std::string& answer)
{
    return std::find(answers.begin(), answers.end(), answer) != answers.end();
}

Figures Evaluate(const HeaderSet& set)
{
    std::vector<std::string> header;
    for (const Column& column : set.columns)
        header.push_back(column.header);
    std::vector<std::string> appliedTo(header.size());
    for (const Proposal& proposal : SuggestMapping({set.formIndex, header, nullptr, nullptr})) {
        if (proposal.column == 0 || proposal.confidence < kHighConfidence)
            continue;
        appliedTo[static_cast<size_t>(proposal.column - 1)] = proposal.caption;
        for (int m : proposal.merged)
            appliedTo[static_cast<size_t>(m - 1)] = "+" + proposal.caption;
    }
    Figures figures;
    for (size_t c = 0; c < header.size(); ++c) {
        const Column& column = set.columns[c];
        const bool mappable = !Has(column.answers, "-");
        const bool right = !appliedTo[c].empty() && Has(column.answers, appliedTo[c]);
        figures.mappable += mappable ? 1 : 0;
        figures.found += mappable && right ? 1 : 0;
        if (!appliedTo[c].empty()) {
            ++figures.applied;
            if (!right) {
                ++figures.wrong;
                figures.notes += "  wrong: " + column.header + " -> " + appliedTo[c] + "\n";
            }
        } else if (mappable) {
            figures.notes += "  missed: " + column.header + " (" + column.answers[0] + ")\n";
        }
    }
    return figures;
}

TEST(SuggestEvaluation, HeaderRowsOfPublicTemplatesAreMappedAndRarelyWrong)
{
    const std::vector<std::string> files = test::FileNames(test::DataPath("suggest"));
    int sets = 0;
    std::vector<int> forms;
    for (const std::string& file : files) {
        if (file.size() < 4 || file.substr(file.size() - 4) != ".tsv")
            continue;
        const HeaderSet set = ReadSet(file);
        ASSERT_GE(set.formIndex, 0) << file << " names no layout";
        const Figures figures = Evaluate(set);
        const double foundShare = 100.0 * figures.found / std::max(1, figures.mappable);
        const double wrongShare = 100.0 * figures.wrong / std::max(1, figures.applied);
        std::printf("%-32s %-9s applied %2d of %2d mappable (%5.1f%%), wrong %d of %2d (%4.1f%%)\n",
                    file.c_str(),
                    std::string(FormNames[static_cast<size_t>(set.formIndex)]).c_str(),
                    figures.found, figures.mappable, foundShare, figures.wrong, figures.applied,
                    wrongShare);
        EXPECT_GE(foundShare, 85.0) << file << "\n" << figures.notes;
        EXPECT_LE(wrongShare, 2.0) << file << "\n" << figures.notes;
        ++sets;
        if (std::find(forms.begin(), forms.end(), set.formIndex) == forms.end())
            forms.push_back(set.formIndex);
    }
    EXPECT_GE(sets, 10);
    EXPECT_GE(forms.size(), 5u);
}

} // namespace
