#include "../TestSupport.h"
#include "schema/FormCatalogue.h"

#include <gtest/gtest.h>
#include <sstream>

namespace impmap {
namespace {

std::vector<std::string> Schema(int formIndex)
{
    std::vector<std::string> list;
    BuildFormSchema(formIndex, list);
    return list;
}

TEST(FormCatalogue, EveryLayoutHasItsFieldsInOrderWithCodesAndCaptions)
{
    // Each line: FormIndex, name, position, type code, caption.
    std::istringstream table(test::ReadFile(test::DataPath("catalogue/layouts.tsv")));
    std::vector<std::vector<std::string>> expected(kFormCount);
    std::string line;
    while (std::getline(table, line)) {
        std::vector<std::string> cells;
        std::istringstream row(line);
        for (std::string cell; std::getline(row, cell, '\t');)
            cells.push_back(cell);
        ASSERT_EQ(cells.size(), 5u) << line;
        const int form = std::stoi(cells[0]);
        ASSERT_EQ(FormNames[static_cast<size_t>(form)], cells[1]);
        ASSERT_EQ(expected[static_cast<size_t>(form)].size() + 1, std::stoul(cells[2]));
        expected[static_cast<size_t>(form)].push_back(cells[3] + cells[4]);
    }
    size_t total = 0;
    for (int form = 0; form < kFormCount; ++form) {
        const auto definitions = Schema(form);
        EXPECT_EQ(definitions, expected[static_cast<size_t>(form)]) << FormNames[form];
        EXPECT_EQ(static_cast<int>(definitions.size()), FormFieldCount(form));
        total += definitions.size();
    }
    EXPECT_EQ(total, 1434u);
}

TEST(FormCatalogue, FieldCountsByForm)
{
    const int counts[kFormCount] = {135, 15, 6,  72, 39, 22, 79, 22, 41, 32, 19,  25, 26,
                                    23,  49, 26, 21, 42, 32, 38, 44, 32, 40, 28,  36, 33,
                                    27,  48, 26, 24, 26, 25, 41, 19, 25, 64, 100, 32};
    for (int form = 0; form < kFormCount; ++form)
        EXPECT_EQ(Schema(form).size(), static_cast<size_t>(counts[form])) << FormNames[form];
}

TEST(FormCatalogue, NamesInCatalogueOrder)
{
    const char* names[kFormCount] = {
        "Clients",   "Sponsors",  "ALE Group", "1094-C",   "1095-B",    "1095-B CI", "1095-C",
        "1095-C CI", "1098",      "1098-C",    "1098-E",   "1098-F",    "1098-T",    "1099-A",
        "1099-B",    "1099-C",    "1099-CAP",  "1099-DIV", "1099-G",    "1099-INT",  "1099-K",
        "1099-LTC",  "1099-MISC", "1099-NEC",  "1099-OID", "1099-PATR", "1099-Q",    "1099-R",
        "1099-S",    "1099-SA",   "3921",      "3922",     "5498",      "5498-ESA",  "5498-SA",
        "W-2",       "W-2C",      "W-2G"};
    for (int form = 0; form < kFormCount; ++form)
        EXPECT_EQ(FormNames[static_cast<size_t>(form)], names[form]);
}

TEST(FormCatalogue, IndexOutsideTheCatalogueAddsNothing)
{
    for (int form : {-1, 38, 1000}) {
        std::vector<std::string> list{"kept"};
        BuildFormSchema(form, list);
        EXPECT_EQ(list, std::vector<std::string>{"kept"});
        EXPECT_EQ(FormFieldCount(form), 0);
    }
}

TEST(FormCatalogue, ClientsTailAndSharedBlockQuirks)
{
    const auto clients = Schema(0);
    EXPECT_EQ(clients[35], "$State #1");
    EXPECT_EQ(clients[36], "$State #1 ID");
    EXPECT_EQ(clients[133], "$State #50");
    EXPECT_EQ(clients[134], "$State #50 ID");
    EXPECT_EQ(clients[27], "$E-mail address");
    EXPECT_EQ(Schema(22).back(), "$Client ID");
    EXPECT_EQ(Schema(22)[38], "$E-Mail address");
    EXPECT_EQ(Schema(8)[10], "$Apartment number");
    EXPECT_EQ(Schema(8)[11], "TTIN Type");
    EXPECT_EQ(Schema(37)[9], "TTIN Type");
    EXPECT_EQ(Schema(36).front().front(), 'Y');
}

TEST(FormCatalogue, FindFormIgnoresCaseAndFileNamePartDropsHyphens)
{
    EXPECT_EQ(FindFormIndex("ale group"), 2);
    EXPECT_EQ(FindFormIndex("1099-misc"), 22);
    EXPECT_EQ(FindFormIndex("1099MISC"), -1);
    EXPECT_EQ(FindFormIndex(""), -1);
    EXPECT_EQ(FormFileNamePart(22), "1099MISC");
    EXPECT_EQ(FormFileNamePart(5), "1095B CI");
    EXPECT_EQ(FormFileNamePart(-1), "");
}

} // namespace
} // namespace impmap
