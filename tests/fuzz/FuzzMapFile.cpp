// The map-file reader: the input is a map file, opened over a fixed source, executed, saved and
// opened again.
#include "FuzzRunSupport.h"
#include "convert/Rejection.h"
#include "convert/Text.h"
#include "io/FileIo.h"
#include "io/IniFile.h"

namespace impmap::fuzz {
namespace {

struct Paths
{
    std::string source, map, saved, again;
};

const Paths& ScratchPaths()
{
    static const Paths paths = [] {
        const auto& folder = ScratchFolder();
        Paths p{(folder / "source.csv").string(), (folder / "fuzzed.map").string(),
                (folder / "saved.map").string(), (folder / "again.map").string()};
        WriteScratchFile(p.source, kFixedSource);
        return p;
    }();
    return paths;
}

std::string SaveAndRead(Workspace& workspace, const std::string& path)
{
    workspace.SaveMapping(path);
    return ReadScratchFile(path);
}

// The two workspaces hold the same mapping: settings, form, rows and merges.
void CheckSameMapping(const Workspace& a, const Workspace& b, const std::string& saved)
{
    const std::string shown = "saved as " + Shown(saved);
    Check(a.FormIndex() == b.FormIndex(), "a reopened mapping has the same form", shown);
    Check(a.Decimal() == b.Decimal() && a.Delimiter() == b.Delimiter() &&
              a.Header() == b.Header() && a.Trace() == b.Trace(),
          "a reopened mapping has the same settings", shown);
    Check(a.Rows().size() == b.Rows().size(), "a reopened mapping has the same rows", shown);
    for (size_t i = 0; i < a.Rows().size(); ++i) {
        const DestinationRow& ra = a.Rows()[i];
        const DestinationRow& rb = b.Rows()[i];
        Check(ra.sourceFieldNo == rb.sourceFieldNo && ra.caption == rb.caption,
              "a reopened row maps the same source field", shown + " row " + std::to_string(i));
        if (ra.sourceFieldNo == 0)
            Check(TrimView(ra.value) == TrimView(rb.value), "a reopened row has the same value",
                  shown + " row " + std::to_string(i) + " " + Shown(ra.value) + " became " +
                      Shown(rb.value));
    }
    Check(a.MergeSources() == b.MergeSources(), "a reopened mapping has the same merges", shown);
}

// Settings read as the INI reader reads integers, a leading byte-order mark skipped. (The
// delimiter is left out: the source may choose another one when it is loaded.)
void CheckSettings(const Workspace& workspace, std::string_view text)
{
    if (text.starts_with("\xEF\xBB\xBF"))
        text.remove_prefix(3);
    const IniFile ini = IniFile::Parse(text);
    const auto radio = [&](const char* key, long fallback, long last) {
        const long value = ini.ReadInteger("Source", key, fallback);
        return value > last ? last : (value < -1 ? -1 : value);
    };
    const std::string shown = Shown(text);
    Check(ChoiceIndex(workspace.Decimal()) == radio("Decimal", 0, 1) &&
              ChoiceIndex(workspace.Header()) == radio("Header", 0, 1) &&
              ChoiceIndex(workspace.Trace()) == radio("Trace", 1, 1),
          "map settings are read as integers", shown);
    Check(workspace.FormIndex() == FindFormIndex(ini.ReadString("Destination", "Form", "")),
          "the form is found by its name", shown);
}

} // namespace
} // namespace impmap::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    using namespace impmap;
    using namespace impmap::fuzz;
    const Paths& paths = ScratchPaths();
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    WriteScratchFile(paths.map, text);

    Workspace opened;
    try {
        opened.OpenMapping(paths.map, paths.source);
    } catch (const Rejection& rejection) {
        Check(std::string_view(rejection.what()).starts_with("The map file "),
              "only a damaged Map entry is refused", rejection.what());
        return 0;
    }
    Check(opened.SourceLoaded() && opened.SourcePath() == paths.source,
          "the fixed source is loaded", Shown(text));
    CheckSettings(opened, text);

    // Saving and opening again gives the same mapping, and saving that gives the same bytes.
    const std::string saved = SaveAndRead(opened, paths.saved);
    Workspace reopened;
    reopened.OpenMapping(paths.saved, paths.source);
    CheckSameMapping(opened, reopened, saved);
    Check(SaveAndRead(reopened, paths.again) == saved, "a reopened mapping saves the same bytes",
          Shown(saved));

    const Execution run = ExecuteFromFirst(opened, false);
    const std::string shown = Shown(text);
    CheckOutputLines(opened, run.collected.lines, shown);
    const ExecuteResult& result = run.result;
    if (result.outcome == ExecuteResult::Outcome::Completed) {
        Check(run.collected.lines.size() ==
                  static_cast<size_t>(result.records - result.nullRecords),
              "a completed run writes one line per record that is not NULL", shown);
    } else {
        Check(result.outcome == ExecuteResult::Outcome::Failed && !result.message.empty(),
              "a run that does not complete fails with a message", shown);
        Check(result.failingRow < static_cast<int>(opened.Rows().size()),
              "a failure marks a destination row", shown);
    }

    // A run leaves the mapping as it found it: the same output again, the same bytes saved.
    const Execution second = ExecuteFromFirst(opened, false);
    Check(second.collected.lines == run.collected.lines &&
              second.result.outcome == result.outcome && second.result.message == result.message,
          "a second run gives the same result", shown);
    const std::string savedAfterRuns = SaveAndRead(opened, paths.again);
    Check(savedAfterRuns == saved, "a run leaves the saved mapping unchanged",
          Shown(saved) + " became " + Shown(savedAfterRuns));
    return 0;
}
