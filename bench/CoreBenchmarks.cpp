// Micro-benchmarks: splitting a record, the value converters, one record through each engine,
// and Suggest Mapping on a wide header.
#include "check/ControlTotals.h"
#include "convert/CommonConversions.h"
#include "convert/Converters.h"
#include "convert/Validators.h"
#include "execute/Engine.h"
#include "execute/FastEngine.h"
#include "execute/RecordConverter.h"
#include "mapping/Workspace.h"
#include "schema/FormCatalogue.h"
#include "source/SplitRecord.h"
#include "suggest/Suggest.h"

#include <benchmark/benchmark.h>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace impmap {
namespace {

// A 1099-MISC payee record of the shape the generator in bench/ writes.
const std::string kRecord =
    "Hollis Galloway,,3783 Orchard Ct,,Pine Hollow,PA,81245,17,,,216-49-1340,ACCT-6711677,,0,0,"
    "\"$28,754.04\",\"18,589.33\",\"$29,152.75\",,,,,,,\"17,707.33\",,\"$9,969.95\","
    "\"$19,705.68\",\"$6,655.28\",PA,,$489.45,,,,N,payee2@example.test";

void BM_SplitRecord(benchmark::State& state)
{
    std::vector<std::string> fields;
    for (auto _ : state) {
        SplitRecord(kRecord, ',', fields);
        benchmark::DoNotOptimize(fields.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kRecord.size()));
}
BENCHMARK(BM_SplitRecord);

const char* const kAmounts[] = {"$28,754.04", "18589.33", "(75.00)", "", "1,234", "0.5"};

void BM_ConvertAmount(benchmark::State& state)
{
    std::string value;
    for (auto _ : state) {
        for (const char* amount : kAmounts) {
            value = amount;
            ConvertAmount(value, 'c', false);
            benchmark::DoNotOptimize(value.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * std::size(kAmounts)));
}
BENCHMARK(BM_ConvertAmount);

void BM_ConvertCommonAmount(benchmark::State& state)
{
    char out[24];
    for (auto _ : state) {
        for (const char* amount : kAmounts)
            benchmark::DoNotOptimize(ConvertCommonAmount(amount, 'c', out));
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * std::size(kAmounts)));
}
BENCHMARK(BM_ConvertCommonAmount);

// One record's values through the control totals of 17 amount rows, as a window's run adds them.
void BM_ControlTotals(benchmark::State& state)
{
    std::vector<DestinationRow> rows;
    for (int i = 0; i < 17; ++i)
        rows.push_back({"Amount " + std::to_string(i), "", i + 1, 'c'});
    ControlTotals totals(rows);
    const std::vector<std::string_view> values = {
        "28754.04", "18589.33", "29152.75", "",        "", "",       "", "", "17707.33",
        "",         "9969.95",  "19705.68", "6655.28", "", "489.45", "", "0"};
    for (auto _ : state)
        totals.Add(values);
    benchmark::DoNotOptimize(totals.Totals().data());
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_ControlTotals);

void BM_ConvertDate(benchmark::State& state)
{
    const char* const dates[] = {"1/5/22", "07/04/1955", "123122", "06302022"};
    const CivilDate today{2022, 6, 1};
    std::string value;
    for (auto _ : state) {
        for (const char* date : dates) {
            value = date;
            ConvertDate(2, value, true, false, "Date", today);
            benchmark::DoNotOptimize(value.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * std::size(dates)));
}
BENCHMARK(BM_ConvertDate);

void BM_NormalizeTaxpayerIds(benchmark::State& state)
{
    const char* const ids[] = {"216-49-1340", "12-3456789", "123456789", "12345"};
    std::string value;
    for (auto _ : state) {
        for (const char* id : ids) {
            value = id;
            NormalizeTaxpayerId(value);
            benchmark::DoNotOptimize(value.data());
            value = id;
            NormalizeSsn(value);
            benchmark::DoNotOptimize(value.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * std::size(ids) * 2));
}
BENCHMARK(BM_NormalizeTaxpayerIds);

// A workspace with kRecord repeated and mapped in full onto 1099-MISC.
class RecordWorkspace
{
public:
    explicit RecordWorkspace(int records)
    {
        folder_ = std::filesystem::temp_directory_path() / "impmap-bench";
        std::filesystem::create_directories(folder_);
        std::ofstream source(folder_ / "src.csv", std::ios::binary);
        for (int i = 0; i < records; ++i)
            source << kRecord << "\r\n";
        source.close();
        std::ofstream(folder_ / "misc.MAP", std::ios::binary)
            << "[Source]\r\nFileSpec=src.csv\r\nDecimal=0\r\nDelimiter=1\r\nHeader=0\r\n"
               "[Destination]\r\nForm=1099-MISC\r\nMap=001002003004005006007008009010000011000"
               "012013014015016017018019020021022023024025026027028029030031032033034035036037"
               "000\r\n[Default]\r\n039=BENCH\r\n";
        workspace.OpenMapping((folder_ / "misc.MAP").string(), (folder_ / "src.csv").string());
    }
    Workspace workspace;

private:
    std::filesystem::path folder_;
};

class NullCallbacks : public ExecuteCallbacks
{
public:
    void OutputLine(std::string_view line) override { benchmark::DoNotOptimize(line.data()); }
};

constexpr int kEngineRecords = 1000;

void BM_EngineRecord(benchmark::State& state)
{
    RecordWorkspace setup(kEngineRecords);
    NullCallbacks callbacks;
    const ExecuteOptions options{CivilDate{2022, 6, 1}, false};
    for (auto _ : state)
        benchmark::DoNotOptimize(Execute(setup.workspace, callbacks, options).lines);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kEngineRecords));
}
BENCHMARK(BM_EngineRecord)->Unit(benchmark::kMicrosecond);

// The fast engine on the caller's thread alone (Arg 0) and with two workers (Arg 2).
void BM_FastEngineRecord(benchmark::State& state)
{
    RecordWorkspace setup(kEngineRecords * 10);
    NullCallbacks callbacks;
    const ExecuteOptions options{CivilDate{2022, 6, 1}, false};
    const FastOptions fast{static_cast<int>(state.range(0)), 1024};
    for (auto _ : state)
        benchmark::DoNotOptimize(ExecuteFast(setup.workspace, callbacks, options, fast).lines);
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * kEngineRecords * 10));
}
BENCHMARK(BM_FastEngineRecord)->Arg(0)->Arg(2)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Suggest Mapping on a 200-column header, for every layout: the words of public templates and
// exports, each with a number so that no two columns read alike. A layout's fields are prepared
// once in a program's life, before the timing.
std::vector<std::string> WideHeader()
{
    const char* const words[] = {"Recipient TIN",
                                 "First Name",
                                 "Last Name",
                                 "Address 1",
                                 "City",
                                 "State",
                                 "Zip",
                                 "Box 1 Amount",
                                 "Fed W/H",
                                 "State Tax Withheld",
                                 "Account Number",
                                 "Email",
                                 "nonemployee_comp",
                                 "Rents",
                                 "Royalties",
                                 "Gross Distribution",
                                 "Medicare Wages",
                                 "SS Tax",
                                 "Box 12a Code",
                                 "Employer EIN",
                                 "Payer State No",
                                 "Vendor Type",
                                 "interestIncome",
                                 "Qualified Dividends",
                                 "Date of Payment",
                                 "Memo",
                                 "FEDTAXWH",
                                 "Box 16(1) Amount",
                                 "Locality Name",
                                 "Jan Payments"};
    std::vector<std::string> header;
    for (size_t i = 0; header.size() < 200; ++i)
        header.push_back(std::string(words[i % std::size(words)]) + " " + std::to_string(i / 30));
    return header;
}

void BM_SuggestMapping(benchmark::State& state)
{
    const auto form = static_cast<int>(state.range(0));
    const std::vector<std::string> header = WideHeader();
    suggest::SuggestMapping({form, header, nullptr, nullptr}); // prepares the layout once
    for (auto _ : state) {
        auto proposals = suggest::SuggestMapping({form, header, nullptr, nullptr});
        benchmark::DoNotOptimize(proposals.data());
    }
}
BENCHMARK(BM_SuggestMapping)->DenseRange(0, kFormCount - 1)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace impmap

BENCHMARK_MAIN();
