#include "help/Help.h"

#include <map>

// The pop-up texts of the what's-this help, one per context number.
namespace impmap::gui {

namespace {

const std::map<int, const char*>& Texts()
{
    static const std::map<int, const char*> texts{
        {90, "The Import Mapping Utility: map the fields of your own delimited text file onto a "
             "Vellorum import layout and build the import file."},
        {120, "Mapping builds the mapping; Source shows the whole source file; Output shows the "
              "result of the last run."},
        {140, "Open a saved mapping, or save the current one to a map file."},
        {141, "Opens a saved map file and restores its form, settings, source file and field "
              "assignments."},
        {142, "Saves the current mapping to a map file. Available once the mapping has changed."},
        {160, "Choose the form or record layout the import file is made for. The destination "
              "list shows its fields."},
        {170, "Loads the file named in the source file box, or reloads it from disk."},
        {180, "The name of your source file. Type it, or use the locate button to browse for "
              "it."},
        {190, "The character that separates the fields of your source file: Tab, Comma or "
              "Pipe."},
        {200, "The form, the mapping, the source file and the settings for reading it."},
        {210, "The fields of the record on display."},
        {8, "The fields of the record on display. Drag one onto a destination field to assign it, "
            "or onto another source field to merge the two."},
        {220, "The fields of the chosen form with the values they receive."},
        {10, "The fields of the chosen form, the values they receive and the source fields "
             "assigned to them. Double-click to assign or unassign; right-click for a fixed "
             "value."},
        {230, "Moves between records and runs the utility's commands."},
        {240, "The number of the record on display. Click it to go to another record."},
        {260, "The number of records in the source file."},
        {270, "Shows the first record (Home)."},
        {280, "Shows the previous record (Page Up)."},
        {290, "Shows the next record (Page Down)."},
        {300, "Shows the last record (End)."},
        {320, "Click here, then click any control to see what it does."},
        {330, "Runs the mapping over every record and builds the import file."},
        {340, "Saves the output of the last run and shows how to import it into Vellorum."},
        {350, "Opens the help contents."},
        {360, "Map by name, reset the mapping, or create a header file for the chosen form."},
        {370, "Closes the utility, asking first whether to save a changed mapping."},
        {420, "Deletes the record on display from the source."},
        {470, "The record on display, exactly as it stands in the source file."},
        {480, "The whole source file, one record per line. Click a line to show that record."},
        {500, "The output of the last run: one comma-separated line per record."},
        {510, "Names the source file, loads it, and saves your corrections to it."},
        {520, "Browse for the source file and load it."},
        {530, "Saves your corrections to the source file."},
        {600, "Normal: amounts are taken as written. Implied: amounts without a decimal point are "
              "read in cents."},
        {610, "Read: the first line is a record. Skip: the first line holds column names and is "
              "left out."},
        {700, "Checks every record without stopping at the first bad value and lists every "
              "problem in a report."},
        {710, "For every amount field: the records with an amount and the sum written by the last "
              "run or check."},
        {720, "Joins the records that a cell with a line break cut in two, keeping the file as it "
              "was beside it."},
        {730, "Every mouse action on the two field lists has a key; the Tools menu lists them."},
        {740, "Ctrl+Z takes back the last change of the mapping or the source; Ctrl+Y makes it "
              "again."},
        {750, "Open map files with Ctrl+O, from the list of recent maps, by dropping them on the "
              "window or by double-clicking them in your file manager."},
    };
    return texts;
}

} // namespace

QString WhatsThisText(int context)
{
    const auto found = Texts().find(context);
    return found == Texts().end() ? QString() : QString::fromLatin1(found->second);
}

} // namespace impmap::gui
