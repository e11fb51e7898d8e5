// The fast engine against the plain one: every callback in order, the result and the workspace
// afterwards must be the same, whichever way the records are cut into chunks.
#include "../TestSupport.h"
#include "EngineRuns.h"
#include "convert/CommonConversions.h"
#include "execute/RecordConverter.h"

#include <gtest/gtest.h>
#include <random>

namespace impmap {
namespace {

using test::CompareEngines;
using test::RunSetup;

// A map file onto form: fields lists the source field of rows 1, 2, ... (0 for none); defaults
// and merges are the [Default] and [Merge] lines ("039=BENCH", "001=2").
std::string MapText(const std::string& form, const std::vector<int>& fields,
                    const std::string& defaults = "", const std::string& merges = "",
                    const std::string& settings = "Decimal=0\r\nDelimiter=1\r\nHeader=0\r\n")
{
    std::string map;
    for (int field : fields) {
        const std::string digits = std::to_string(field);
        map += std::string(3 - digits.size(), '0') + digits;
    }
    return "[Source]\r\nFileSpec=src.csv\r\n" + settings + "[Destination]\r\nForm=" + form +
           "\r\nMap=" + map + "\r\n[Default]\r\n" + defaults + "[Merge]\r\n" + merges;
}

std::vector<FastOptions> Cuts()
{
    return {{0, 1}, {2, 1}, {2, 3}, {1, 2}, {0, 8192}, {3, 8192}};
}

struct Scenario
{
    const char* name;
    RunSetup setup;
};

// 1099-MISC rows: 1 name, 2 name line 2, 8 delivery point, 9 foreign indicator, 11 TIN type,
// 12 taxpayer id, 18 rents, 19 royalties.
std::vector<int> Misc(std::initializer_list<std::pair<int, int>> rowFields)
{
    std::vector<int> fields(40, 0);
    for (const auto& [row, field] : rowFields)
        fields[static_cast<size_t>(row - 1)] = field;
    return fields;
}

TEST(FastEngine, BehavesAsThePlainEngine)
{
    const std::string ids = "Ann,123-45-6789,5\r\nBo,12-3456789,6\r\nCy,123456789,7\r\n"
                            "Di,,8\r\nEd,123456789,9\r\nFy,12-34,1\r\nGu,987654321,2\r\n";
    const Scenario cases[] = {
        {"TIN type carried from the record that set it",
         {MapText("1099-MISC", Misc({{1, 1}, {12, 2}, {18, 3}})), ids}},
        {"TIN type carried from before the run",
         {MapText("1099-MISC", Misc({{1, 1}, {12, 2}})), "a,123456789\r\nb,987654321\r\n", 0}},
        {"TIN type fixed", {MapText("1099-MISC", Misc({{1, 1}, {12, 2}}), "010=S\r\n"), ids}},
        {"TIN type mapped", {MapText("1099-MISC", Misc({{1, 1}, {11, 3}, {12, 2}})), ids}},
        {"fixed taxpayer id", {MapText("1099-MISC", Misc({{1, 1}}), "011=12-3456789\r\n"), ids}},
        {"fixed values of every kind",
         {MapText("1099-MISC", Misc({{1, 1}}),
                  "001=fixed name\r\n008=yes\r\n017=$1,000.50\r\n018=(5)\r\n039=DEMO\r\n"),
          ids}},
        {"fixed value failing its rule",
         {MapText("1099-MISC", Misc({{1, 1}}), "017=12A\r\n"), ids}},
        {"fixed delivery point failing", {MapText("1099-MISC", Misc({{1, 1}}), "007=x\r\n"), ids}},
        {"merges: chain, self, past the end",
         {MapText("1099-MISC", Misc({{1, 1}, {2, 3}, {3, 5}}), "",
                  "001=2\r\n002=4\r\n004=7\r\n003=3\r\n005=9\r\n"),
          "a,b,c,d,e,f,g\r\n\"x, y\",\xA0q\xA0,r\r\n1,2,3,4,5,6,7,8,9\r\n"}},
        {"UTF-8: non-breaking spaces are byte pairs, a lone 0xA0 is part of a letter",
         {MapText("1099-MISC", Misc({{1, 1}, {2, 2}, {3, 3}})),
          "\xC3\xA0 la,\xC2\xA0\"b\"\xC2\xA0,\"c\xC3\xA0\",\r\n"}},
        {"NULL records and missing fields",
         {MapText("1099-MISC", Misc({{1, 1}, {2, 4}, {12, 3}})), "a\r\n\r\nb,c\r\n\r\n"}},
        {"rows of empty cells and short rows: TIN types, amounts, dates and the carry",
         {MapText("1099-MISC", Misc({{1, 1}, {7, 5}, {12, 2}, {18, 3}, {19, 4}})),
          "Ann,12-3456789,5,6,7\r\n,,,,\r\n\"\",\" \",\xA0\r\nBo,123456789\r\n"
          "Cy\r\n,123-45-6789\r\nDi,987654321,,,x\r\n"}},
        {"short rows in check mode",
         {MapText("1099-MISC", Misc({{1, 1}, {9, 4}, {12, 2}, {18, 3}})),
          "a,101234567,5,y\r\nb\r\n,,,\r\nc,12-34\r\n", 1, 0, true}},
        {"failure in a later chunk",
         {MapText("1099-MISC", Misc({{1, 1}, {18, 2}})),
          "a,1\r\nb,2\r\nc,3\r\nd,4\r\ne,x5\r\nf,6y\r\n"}},
        {"failure on record one with the header hint",
         {MapText("1099-MISC", Misc({{18, 1}})), "Rents\r\n12\r\n"}},
        {"bad taxpayer id on record one",
         {MapText("1099-MISC", Misc({{12, 1}})), "12-34\r\n1\r\n"}},
        {"warnings, then a failure in the same record",
         {MapText("1099-MISC", Misc({{12, 1}, {18, 2}})), "1\r\n12-34,1\r\n12-345,x\r\n"}},
        {"check mode",
         {MapText("1099-MISC", Misc({{9, 3}, {12, 2}, {18, 1}})),
          "12A,1,maybe\r\n5,2,y\r\nB,12-34,7.5\r\n", 1, 0, true}},
        {"check mode: bad taxpayer ids in merged fields, records broken inside quotes",
         {MapText("1099-MISC", Misc({{1, 1}, {12, 2}}), "", "001=3\r\n002=2\r\n"),
          "a,1,x\r\n\"b,12-34,y\r\nc\",5\r\n\r\nd,12-345,\"z\r\n", 1, 0, true}},
        {"cancel", {MapText("1099-MISC", Misc({{1, 1}, {12, 2}})), ids, 3, 4}},
        {"values not wanted",
         {MapText("1099-MISC", Misc({{1, 1}, {12, 2}, {18, 3}})), ids, 1, 0, true, false}},
        {"amounts of every shape",
         {MapText("1099-MISC", Misc({{18, 1}, {19, 1}})),
          "$1,234.50\r\n(75.00)\r\n-12\r\n\r\n$\r\n.5\r\n5.\r\n0.0000\r\n007.10\r\n12.34567\r\n"
          "1e3\r\n1 2\r\n99999999999999\r\n999999999999999\r\n+-5\r\n\"(1,000)\"\r\n"}},
        {"implied decimal",
         {MapText("1099-MISC", Misc({{18, 1}}), "", "", "Decimal=1\r\nDelimiter=1\r\nHeader=1\r\n"),
          "h\r\n1234\r\n12.5\r\n\r\n0\r\n"}},
        {"W-2 social security numbers",
         {MapText("W-2", {3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 2}),
          "123-45-6789,$5,a\r\n12345,1,b\r\n1234567890,2,c\r\n"}},
        {"pipes and a header",
         {MapText("1099-MISC", Misc({{1, 2}, {18, 1}}), "", "",
                  "Decimal=0\r\nDelimiter=2\r\nHeader=1\r\n"),
          "h|h\r\n1|a,b\r\n\"2|3\"|c\r\n"}},
        {"empty source", {MapText("1099-MISC", Misc({{1, 1}})), "", 0}},
    };
    test::TempDir dir;
    for (const Scenario& c : cases) {
        for (const FastOptions& cut : Cuts()) {
            EXPECT_EQ(CompareEngines(dir.Path().string(), c.setup, cut), "")
                << c.name << " (threads " << cut.threads << ", chunks of " << cut.chunkRecords
                << ")";
        }
    }
}

TEST(FastEngine, LongRecordsAndMergeChains)
{
    // A record of 200,000 fields, and a chain merging fields 1 to 999 and 100,000 into field 1.
    std::string chain;
    for (int k = 1; k < 999; ++k)
        chain += std::to_string(1000 + k).substr(1) + "=" + std::to_string(k + 1) + "\r\n";
    chain += "999=100000\r\n";
    std::string wide = "first";
    for (int i = 2; i <= 200000; ++i)
        wide += "," + std::to_string(i % 97);
    // Three fields of n MB merged 1 <- 2 <- 3 and mapped: 3 MB fits, 2 MB each is too large by
    // the mapped values, 3 MB each by the merges alone.
    auto merged = [](size_t megabytes) {
        const std::string field(megabytes << 20, 'x');
        return RunSetup{MapText("1099-MISC", Misc({{1, 1}, {2, 3}}), "", "001=2\r\n002=3\r\n"),
                        "a,b,c\r\n" + field + "," + field + "," + field + "\r\nd,e\r\n"};
    };
    const std::pair<const char*, RunSetup> cases[] = {
        {"wide record with a merge chain",
         {MapText("1099-MISC", Misc({{1, 1}, {2, 999}, {18, 998}}), "", chain),
          wide + "\r\nshort,1\r\n" + wide + "\r\n"}},
        {"merged values that fit", merged(1)},
        {"mapped values too large", merged(2)},
        {"merges too large", merged(3)},
        // Merged with itself, the field holds 2n + 2 bytes, and with the merge's n + 1 the record
        // needs one byte more than 8 MB.
        {"field merged with itself, one byte too large",
         {MapText("1099-MISC", Misc({{1, 1}}), "", "001=1\r\n"),
          "a\r\n" + std::string(((8 << 20) - 2) / 3, 'x') + "\r\n"}},
    };
    test::TempDir dir;
    for (const auto& [name, setup] : cases) {
        for (const FastOptions& cut : {FastOptions{0, 1}, FastOptions{2, 1}})
            EXPECT_EQ(CompareEngines(dir.Path().string(), setup, cut), "") << name;
    }
}

// Random sources and maps over forms that between them use every type code.
TEST(FastEngine, BehavesAsThePlainEngineOnRandomInput)
{
    const char* const forms[] = {"1099-MISC", "W-2",    "Clients",  "ALE Group",
                                 "1098",      "1095-B", "1098-C",   "W-2C",
                                 "1099-R",    "1099-B", "Sponsors", "1099-NEC"};
    const char* const values[] = {"",
                                  " 12 ",
                                  "$1,234.50",
                                  "(75.00)",
                                  "-5",
                                  "1e3",
                                  "12A",
                                  "abc",
                                  "yes",
                                  "N",
                                  "123-45-6789",
                                  "12-3456789",
                                  "123456789",
                                  "12-34",
                                  "1/5/22",
                                  "2/30/22",
                                  "2021",
                                  "22",
                                  "\"a,b\"",
                                  "x\xA0",
                                  "\xA0y\xA0",
                                  "Q",
                                  "F",
                                  "3.14",
                                  "1,234",
                                  "0",
                                  "NULL",
                                  "\"\"",
                                  "a\"b",
                                  "T",
                                  "07041955",
                                  "NOT ALLOCATED",
                                  "1 2",
                                  ".",
                                  "99999999999999999999"};
    std::mt19937 random(12345);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    test::TempDir dir;
    for (int round = 0; round < 300; ++round) {
        const char delimiters[] = {'\t', ',', '|'};
        const int delimiter = pick(3);
        std::vector<int> fields(140, 0);
        std::string defaults, merges;
        for (size_t row = 0; row < fields.size(); ++row) {
            if (pick(3) == 0)
                fields[row] = 1 + pick(10);
            else if (pick(8) == 0)
                defaults += std::to_string(100 + row).substr(1) + "=" + values[pick(35)] + "\r\n";
        }
        for (int k = pick(4); k > 0; --k)
            merges +=
                "00" + std::to_string(1 + pick(9)) + "=" + std::to_string(1 + pick(12)) + "\r\n";
        RunSetup setup;
        setup.mapText = MapText(forms[pick(12)], fields, defaults, merges,
                                "Decimal=" + std::to_string(pick(2)) +
                                    "\r\nDelimiter=" + std::to_string(delimiter) +
                                    "\r\nHeader=" + std::to_string(pick(2)) + "\r\n");
        const int records = pick(25);
        for (int r = 0; r < records; ++r) {
            const int count = pick(6) == 0 ? 0 : 1 + pick(10);
            for (int f = 0; f < count; ++f) {
                if (f > 0)
                    setup.source += delimiters[delimiter];
                setup.source += values[pick(35)];
            }
            setup.source += pick(10) == 0 ? "\n" : "\r\n";
        }
        setup.showRecord = pick(records + 2);
        setup.cancelAt = pick(6) == 0 ? 1 + pick(records + 1) : 0;
        setup.checkAll = pick(3) == 0;
        setup.wantsValues = pick(4) != 0;
        setup.wantsFields = pick(3) != 0;
        const FastOptions cut{pick(3), 1 + pick(4)};
        ASSERT_EQ(CompareEngines(dir.Path().string(), setup, cut), "")
            << "round " << round << "\n"
            << setup.mapText << "\n--- source:\n"
            << setup.source;
    }
}

struct AmountCase
{
    const char* text;
    char typeCode;
    const char* converted; // empty: left to the general conversion
};

TEST(FastEngine, CommonAmountShapesInOnePass)
{
    const AmountCase cases[] = {
        {"$1,234.50", 'c', "1234.5"},
        {"(75.00)", 'c', "75"},
        {"(75.00)", 'C', "-75"},
        {"-0.00", 'C', "0"},
        {"", 'c', "0"},
        {"$", 'c', "0"},
        {"-", 'c', "0"},
        {"-", 'C', ""},
        {".5", 'c', "0.5"},
        {"5.", 'c', "5"},
        {"12-34", 'c', "1234"},
        {"12-34", 'C', ""},
        {"1.23456", 'c', ""},
        {"1 2", 'c', ""},
        {"1e3", 'c', ""},
        {".", 'c', ""},
        {"12345678901234", 'c', "12345678901234"},
        {"123456789012345", 'c', ""},
        {"0.0001", 'c', "0.0001"},
        {"+-5", 'C', "-5"},
    };
    for (const AmountCase& c : cases) {
        char out[24];
        const size_t length = ConvertCommonAmount(c.text, c.typeCode, out);
        EXPECT_EQ(std::string(out, length), c.converted) << c.text << " " << c.typeCode;
    }
}

TEST(FastEngine, CommonIndicatorWordsDirectly)
{
    const std::pair<const char*, const char*> cases[] = {
        {"", ""},       {"no", ""},    {"False", ""},  {"null", ""}, {"0", ""},
        {"x", "X"},     {"yes", "X"},  {"TRUE", "X"},  {"t", "X"},   {"1", "X"},
        {"maybe", "?"}, {"yess", "?"}, {"nulls", "?"}, {"2", "?"},
    };
    for (const auto& [text, expected] : cases) {
        std::string_view written;
        const bool direct = ConvertCommonIndicator(text, written);
        EXPECT_EQ(direct ? std::string(written) : "?", expected) << text;
    }
}

} // namespace
} // namespace impmap
