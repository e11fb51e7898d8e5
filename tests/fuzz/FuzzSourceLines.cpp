// Cutting a source file into lines, editing them and moving the store. The input is the file.
#include "FuzzSupport.h"
#include "source/SourceLines.h"

#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap;
    using namespace impmap::fuzz;
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The lines as a reader would cut them: CR LF, LF or CR each end one.
    std::vector<std::string> expected;
    std::string current;
    bool open = false;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            expected.push_back(current);
            current.clear();
            open = false;
            if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
                ++i;
        } else {
            current += c;
            open = true;
        }
    }
    if (open)
        expected.push_back(current);

    // Built on the heap and moved out, so that views into the old object would now dangle.
    auto built = std::make_unique<SourceLines>(bytes);
    SourceLines lines(std::move(*built));
    built.reset();
    const auto same = [&](const SourceLines& got, const char* property) {
        Check(got.Count() == expected.size(), property, Shown(bytes));
        for (size_t i = 0; i < expected.size(); ++i)
            Check(got.Line(i) == expected[i], property, Shown(bytes));
    };
    same(lines, "a moved store keeps its lines");

    // Joined lines cut again give the same lines.
    const std::string joined = lines.Joined();
    std::string expectedJoined;
    for (const auto& line : expected)
        expectedJoined += line + "\r\n";
    Check(joined == expectedJoined, "each line is joined with one CR LF", Shown(bytes));
    same(SourceLines(joined), "joined lines cut into the same lines");

    // Edits, then a move assignment over a store that had lines of its own.
    if (!expected.empty()) {
        lines.Replace(0, "replaced");
        expected[0] = "replaced";
        lines.Insert(expected.size(), "appended");
        expected.push_back("appended");
        lines.Erase(expected.size() / 2);
        expected.erase(expected.begin() + static_cast<long>(expected.size() / 2));
        SourceLines target(std::string("x\r\ny"));
        target = std::move(lines);
        same(target, "an edited store keeps its lines when moved");
    }
    return 0;
}
