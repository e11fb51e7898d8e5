// Runs a map and a source made from the input with the plain engine and the fast one, and stops
// on any difference in callbacks, result or the workspace afterwards.
//
// Input: byte 0 the form, byte 1 the settings (bits 0-1 delimiter, 2 header skipped, 3 implied
// decimal, 4 check mode, 5 a fixed TIN type, 6 no source fields wanted), byte 2 how the fast engine
// cuts the records (threads, records per chunk), bytes 3-34 the source field of rows 1 to 32 (0
// none; unmapped rows with the high bit set take a fixed value), bytes 35-38 two merges, the rest
// the source.
#include "../core/execute/EngineRuns.h"
#include "FuzzSupport.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const char* const kFormNames[] = {"Clients",   "ALE Group", "1098",     "1095-B",
                                  "1098-C",    "W-2C",      "1099-R",   "1099-B",
                                  "1099-MISC", "W-2",       "Sponsors", "1099-NEC"};
const char* const kFixedValues[] = {"yes", "$1,000", "12A", "123-45-6789", "S", "1/5/22", "Q"};

std::string Key(int n)
{
    const std::string digits = std::to_string(n);
    return std::string(3 - digits.size(), '0') + digits;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 39)
        return 0;
    const int settings = data[1];
    std::string map, defaults, merges;
    for (int row = 0; row < 32; ++row) {
        const int byte = data[3 + row];
        const int field = (byte & 0x7F) % 12;
        map += Key(field);
        if (field == 0 && (byte & 0x80))
            defaults += Key(row) + "=" + kFixedValues[(byte >> 4) % 7] + "\r\n";
    }
    if (settings & 0x20)
        defaults += "010=S\r\n";
    for (int i = 0; i < 2; ++i) {
        const int k = data[35 + 2 * i] % 12, m = data[36 + 2 * i] % 14;
        if (k > 0 && m > 0)
            merges += Key(k) + "=" + std::to_string(m) + "\r\n";
    }
    impmap::test::RunSetup setup;
    setup.mapText =
        "[Source]\r\nFileSpec=src.csv\r\nDecimal=" + std::to_string((settings >> 3) & 1) +
        "\r\nDelimiter=" + std::to_string((settings & 3) % 3) +
        "\r\nHeader=" + std::to_string((settings >> 2) & 1) +
        "\r\n[Destination]\r\nForm=" + kFormNames[data[0] % 12] + "\r\nMap=" + map +
        "\r\n[Default]\r\n" + defaults + "[Merge]\r\n" + merges;
    setup.source.assign(reinterpret_cast<const char*>(data + 39), size - 39);
    setup.checkAll = (settings & 0x10) != 0;
    setup.wantsFields = (settings & 0x40) == 0;
    const impmap::FastOptions cut{(data[2] >> 4) % 3, 1 + data[2] % 8};
    const std::string difference =
        impmap::test::CompareEngines(impmap::fuzz::ScratchFolder().string(), setup, cut);
    if (!difference.empty()) {
        std::fprintf(stderr, "engines differ: %s\n", difference.c_str());
        std::abort();
    }
    return 0;
}
