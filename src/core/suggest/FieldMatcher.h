#pragma once

#include "suggest/HeaderWords.h"

#include <string>
#include <vector>

// How well one column header fits each field of a layout: by the same name, another name of the
// field, its box number, or similar words; never across a number or a federal/state difference.
namespace impmap::suggest {

// The best a header reaches for one field.
struct FieldScore
{
    int row = -1;
    int confidence = 0;   // 0 to 100
    double closeness = 0; // how close the words are, to order equal confidences
    std::string reason;
};

class FieldMatcher
{
public:
    // The matcher of a layout, prepared once and kept for the life of the program.
    static const FieldMatcher& ForForm(int formIndex);

    int FormIndex() const { return formIndex_; }
    const Roles& FormRoles() const { return roles_; }
    size_t FieldCount() const { return fields_.size(); }
    const std::string& Caption(size_t row) const { return fields_[row].caption; }
    // The row whose caption reads as text does (case and possessives aside); -1 when none.
    int RowReadingAs(std::string_view text) const;
    // The row with exactly this caption; -1 when none.
    int RowOf(std::string_view caption) const;
    // The caption's words as read.
    const HeaderWords& CaptionWords(size_t row) const { return fields_[row].alternatives[0].words; }

    // Appends, for each field the header may fill, its score (confidence 30 and above). Each of
    // the readings is tried; a field keeps its best.
    void Score(const std::vector<HeaderWords>& readings, std::vector<FieldScore>& out) const;

private:
    explicit FieldMatcher(int formIndex);

    struct Words
    {
        std::vector<int> ids; // into vocabulary_
        std::vector<double> weights;
        double total = 0;
    };
    struct Alternative
    {
        HeaderWords words;
        Words ids;
        bool synonym = false;
        bool weak = false;
        bool sibling = false; // a name of the first line of a series, for line 2 when it says 2
    };
    struct Field
    {
        std::string caption;
        char typeCode = '$';
        std::vector<Alternative> alternatives; // the caption first
        std::string box;                       // its box label, from the caption or the table
        std::string boxLine;                   // the check box within the box
    };
    struct HeaderIds;

    void AddSynonyms();
    void AddNames(int row, std::string_view names, std::string_view month);
    int SecondLineOf(int row) const;
    void AddBoxes();
    void AddMonthNames();
    Words Intern(const std::vector<std::string>& words);
    HeaderIds Prepare(const HeaderWords& header) const;
    double Similarity(const HeaderIds& header, const Words& words, bool& exact, bool& fuzzy,
                      bool& subset) const;
    static bool CoversSomeName(const HeaderWords& header, const Field& field);
    FieldScore ScoreField(const HeaderWords& header, const HeaderIds& ids, size_t row,
                          int boxCandidates) const;
    FieldScore ScoreWords(const HeaderWords& header, const HeaderIds& ids, size_t row) const;
    FieldScore ScoreBox(const HeaderWords& header, const HeaderIds& ids, size_t row,
                        int boxCandidates) const;

    int formIndex_;
    Roles roles_;
    std::string formName_;
    std::vector<Field> fields_;
    std::vector<std::string> vocabulary_; // the words of every caption and other name
};

} // namespace impmap::suggest
