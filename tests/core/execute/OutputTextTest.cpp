#include "convert/Text.h"
#include "execute/ImportInstructions.h"
#include "execute/OutputLine.h"
#include "mapping/HeaderLine.h"

#include <gtest/gtest.h>

namespace impmap {
namespace {

TEST(OutputLine, QuotesOnlyWhatNeedsIt)
{
    using Values = std::vector<std::string>;
    const std::pair<Values, const char*> cases[] = {
        {{"plain", "123", ""}, "plain,123,"},
        {{"a b", "a,b", "say \"hi\""}, "\"a b\",\"a,b\",\"say \"\"hi\"\"\""},
        {{"tab\there", "\xE9t\xE9"}, "\"tab\there\",\xE9t\xE9"},
        {{""}, "\"\""},
        {{"", ""}, ","},
        {{"(5) NOT ALLOCATED?"}, "\"(5) NOT ALLOCATED?\""},
    };
    for (const auto& [values, expected] : cases) {
        std::string line = "kept:";
        AppendOutputLine(values, line);
        EXPECT_EQ(line, std::string("kept:") + expected);
    }
}

TEST(OutputLine, QuotesByteForByteAsTheSourceLinesOfAnEdit)
{
    for (int b = 0; b < 256; ++b) {
        const std::string value = std::string("a") + static_cast<char>(b) + "b";
        const std::vector<std::string> values = {value, "x", value};
        std::string line;
        AppendOutputLine(values, line);
        EXPECT_EQ(line, CommaText(values)) << b;
        EXPECT_EQ(line.front() == '"', b != 0 && (b <= 32 || b == '"' || b == ',')) << b;
    }
}

TEST(HeaderLine, CaptionsJoinedByDelimiter)
{
    EXPECT_EQ(HeaderLine(2, Delimiter::Pipe),
              "Client ID|Name line 1|Name line 2|Employer id|Name control|Average employee count");
    EXPECT_EQ(HeaderLine(2, Delimiter::Comma),
              "\"Client ID\",\"Name line 1\",\"Name line 2\","
              "\"Employer id\",\"Name control\",\"Average employee count\"");
    EXPECT_EQ(HeaderLine(2, Delimiter::Tab).substr(0, 22), "Client ID\tName line 1\t");
    EXPECT_EQ(HeaderLine(2, Delimiter::None), "");
    EXPECT_EQ(HeaderLine(-1, Delimiter::Comma), "");
    EXPECT_EQ(ProposedHeaderFileName(22, Delimiter::Comma), "1099MISC_2022_Header_Comma");
    EXPECT_EQ(ProposedHeaderFileName(2, Delimiter::Comma), "ALE Group_2022_Header_Comma");
    EXPECT_EQ(ProposedHeaderFileName(35, Delimiter::Tab), "W2_2022_Header_Tab");
}

const char* const kHead = "Destination has been saved in\r\n\r\nFILE:  OUT.TXT\r\nPATH:  /data/"
                          "\r\n\r\nTo import this file\r\n\r\n1) Start VELLORUM\r\n2) From the "
                          "'Module' menu, select 'Client (Filer, Entity) Management'\r\n";

TEST(ImportInstructions, TextByFormFamily)
{
    const std::pair<int, const char*> cases[] = {
        {0, "3) From the 'Import/Export' sidebar menu, select 'Import Text File'\r\n"
            "4) Open the FILE in the PATH specified above."},
        {1, "3) Select the client to be used\r\n4) Select Form 1095-B\r\n5) From the 'File' "
            "menu, select 'Sponsor Management'\r\n6) Import the FILE in the PATH specified above."},
        {2, "3) Select the client to be used\r\n4) Select Form 1095-C\r\n5) From the 'File' "
            "menu, select 'ALE Group Member Management'\r\n6) Import the FILE in the PATH "
            "specified above."},
        {3, "3) Select the client to be used\r\n4) Select Form 1095-C\r\n5) From the 'File' "
            "menu, select 'Transmittal 1094-C Options'\r\n6) Import the FILE in the PATH "
            "specified above."},
        {5, "3) Select the client to be used\r\n4) Select Form 1095-B\r\n5) From the 'File' "
            "menu, select 'Import ASCII Text File'\r\n6) Open the FILE in the PATH specified "
            "above."},
        {22, "3) Select the client to be used\r\n4) Select Form 1099-MISC\r\n5) From the 'File' "
             "menu, select 'Import ASCII Text File'\r\n6) Open the FILE in the PATH specified "
             "above."},
        {35, "3) Select the client to be used\r\n4) Select Form W-2\r\n5) From the 'File' "
             "menu, select 'Import ASCII Text File'\r\n6) Open the FILE in the PATH specified "
             "above."},
    };
    for (const auto& [form, steps] : cases)
        EXPECT_EQ(ImportInstructions(form, "OUT.TXT", "/data/"), std::string(kHead) + steps);
}

} // namespace
} // namespace impmap
