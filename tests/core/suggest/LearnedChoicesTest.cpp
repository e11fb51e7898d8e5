// Learning from the user's saved maps: the remembered choice comes first for the same header,
// and the file of learned choices stays bounded and readable whatever happens to it.
#include "suggest/LearnedChoices.h"

#include "../mapping/WorkspaceFixture.h"
#include "io/FileIo.h"
#include "suggest/WorkspaceSuggest.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

using suggest::LearnedChoices;
using suggest::Proposal;
using test::ReadFile;
using test::WriteFile;

class LearnedChoicesTest : public test::WorkspaceFixture
{
protected:
    // The proposal for a caption, as "columns confidence reason".
    std::string ProposalFor(const std::vector<Proposal>& proposals, const std::string& caption)
    {
        for (const Proposal& proposal : proposals) {
            if (proposal.caption == caption)
                return proposal.column == 0
                           ? "none"
                           : suggest::ColumnsText(proposal) + " " +
                                 std::to_string(proposal.confidence) + " " + proposal.reason;
        }
        return "no such field";
    }

    std::filesystem::path LearnedFile() const { return dir.Path() / "settings" / "learned.txt"; }
};

TEST_F(LearnedChoicesTest, ASavedMapTeachesItsUnusualHeadersForTheNextFile)
{
    // Headers that nothing but the user's own map explains; "Amount" would otherwise be the
    // compensation.
    OpenSource("Vorname,Zweiter,Nachname,Steuernr,Amount,Betrag\r\nAl,B,Cy,123456789,5,6\r\n",
               HeaderMode::Skip, "client.csv");
    workspace.ChooseForm(23); // 1099-NEC
    const std::vector<Proposal> before = suggest::SuggestForWorkspace(workspace, nullptr);
    EXPECT_EQ(ProposalFor(before, "Taxpayer id"), "none");
    EXPECT_EQ(ProposalFor(before, "Nonemployee compensation"),
              "5 95 synonym of Nonemployee compensation");
    workspace.AssignSourceField(RowOf("Name line 1"), 1);
    workspace.MergeInto(1, 2);
    workspace.MergeInto(2, 3);
    workspace.AssignSourceField(RowOf("Taxpayer id"), 4);
    workspace.AssignSourceField(RowOf("State 1 income"), 5);
    workspace.AssignSourceField(RowOf("Nonemployee compensation"), 6);
    workspace.SaveMapping(dir.File("CLIENT.MAP"));
    suggest::RememberMapChoices(workspace, LearnedFile());

    // Next year's file: the same headers in another order, and one more.
    Workspace next;
    WriteFile(dir.File("next.csv"),
              "Betrag,Steuernr,Nachname,Extra,Vorname,Zweiter,Amount\r\n1,2,3,4,5,6,7\r\n");
    next.SetHeader(HeaderMode::Skip);
    next.ChooseForm(23);
    next.SetSourcePath(dir.File("next.csv"));
    next.OpenSource();
    const LearnedChoices learned = LearnedChoices::Load(LearnedFile());
    const std::vector<Proposal> after = suggest::SuggestForWorkspace(next, &learned);
    EXPECT_EQ(ProposalFor(after, "Name line 1"), "5+6+3 98 learned from your map CLIENT.MAP");
    EXPECT_EQ(ProposalFor(after, "Taxpayer id"), "2 98 learned from your map CLIENT.MAP");
    EXPECT_EQ(ProposalFor(after, "State 1 income"), "7 98 learned from your map CLIENT.MAP");
    EXPECT_EQ(ProposalFor(after, "Nonemployee compensation"),
              "1 98 learned from your map CLIENT.MAP");

    // The same header saved again with another field replaces the choice; others stay.
    workspace.AssignSourceField(RowOf("State 1 income"), 5); // unassigns
    workspace.AssignSourceField(RowOf("State 1 tax withheld"), 5);
    workspace.SaveMapping(dir.File("OTHER.MAP"));
    suggest::RememberMapChoices(workspace, LearnedFile());
    const LearnedChoices relearned = LearnedChoices::Load(LearnedFile());
    const std::vector<Proposal> again = suggest::SuggestForWorkspace(next, &relearned);
    EXPECT_EQ(ProposalFor(again, "State 1 tax withheld"), "7 98 learned from your map OTHER.MAP");
    EXPECT_EQ(ProposalFor(again, "State 1 income"), "none");
}

TEST_F(LearnedChoicesTest, DamagedLinesArePassedOverAndTheFileIsWrittenClean)
{
    const std::string text = "impmap learned choices 1\r\n"
                             "1099-NEC\tSteuernr\tTaxpayer id\tA.MAP\r\n"
                             "no tabs at all\r\n"
                             "1099-NEC\tonly\tthree\r\n"
                             "\r\n"
                             "1099-NEC\t\tTaxpayer id\tA.MAP\r\n"
                             "1099-NEC\t" +
                             std::string(LearnedChoices::kMaxHeaderBytes + 1, 'x') +
                             "\tCity\tA.MAP\r\n"
                             "W-2\tVorname\t+First name\tB.MAP\n"
                             "1099-NEC\tBetrag\t\tA.MAP";
    const LearnedChoices learned = LearnedChoices::Parse(text);
    EXPECT_EQ(learned.ToText(), "impmap learned choices 1\r\n"
                                "1099-NEC\tSteuernr\tTaxpayer id\tA.MAP\r\n"
                                "W-2\tVorname\t+First name\tB.MAP\r\n");
    ASSERT_EQ(learned.Find("1099-nec", "STEUERNR").size(), 1u);
    EXPECT_TRUE(learned.Find("W-2", "Vorname")[0]->merged);
}

TEST_F(LearnedChoicesTest, TheFileStaysBounded)
{
    OpenSource("H1,H2\r\n");
    workspace.ChooseForm(23);
    workspace.AssignSourceField(RowOf("City"), 1);
    workspace.AssignSourceField(RowOf("State"), 2);
    std::string text;
    for (size_t i = 0; i < LearnedChoices::kMaxChoices + 100; ++i)
        text += "1099-NEC\tOld " + std::to_string(i) + "\tCity\tM.MAP\r\n";
    LearnedChoices learned = LearnedChoices::Parse(text);
    EXPECT_EQ(learned.Choices().size(), LearnedChoices::kMaxChoices);
    EXPECT_EQ(learned.Choices().front().header, "Old 100");
    learned.Remember("1099-NEC", {"Old 100", "x"}, workspace.Rows(), workspace.MergeSources(),
                     "N.MAP");
    EXPECT_EQ(learned.Choices().size(), LearnedChoices::kMaxChoices);
    EXPECT_EQ(learned.Choices().front().header, "Old 102"); // "Old 100" replaced, "Old 101" gone
    EXPECT_EQ(learned.Choices().back().header, "x");
    EXPECT_LE(learned.ToText().size(), LearnedChoices::kMaxFileBytes);

    // A file larger than any it writes is not read, and not written over.
    const std::string huge(LearnedChoices::kMaxFileBytes + 1, 'x');
    std::filesystem::create_directories(LearnedFile().parent_path());
    WriteFile(LearnedFile(), huge);
    std::string problem;
    EXPECT_TRUE(LearnedChoices::Load(LearnedFile(), &problem).Choices().empty());
    EXPECT_EQ(problem, "The file of learned choices \"" + LearnedFile().string() +
                           "\" is larger than any it writes and was not read.");
    EXPECT_THROW(suggest::RememberMapChoices(workspace, LearnedFile()), FileError);
    EXPECT_TRUE(ReadFile(LearnedFile()) == huge);
}

TEST_F(LearnedChoicesTest, AFileThatCannotBeWrittenSaysWhy)
{
    OpenSource("H1\r\n");
    workspace.ChooseForm(23);
    workspace.AssignSourceField(RowOf("City"), 1);
    WriteFile(dir.File("plain"), "a file, no folder");
    try {
        suggest::RememberMapChoices(workspace, dir.Path() / "plain" / "learned.txt");
        ADD_FAILURE() << "no error";
    } catch (const FileError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("Cannot create file \"" + dir.File("plain"), 0),
                  0u)
            << error.what();
    }
}

} // namespace
} // namespace impmap
