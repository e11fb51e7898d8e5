#pragma once

#include <cstddef>
#include <functional>

class QFont;
class QFrame;
class QListView;
class QMainWindow;

// The main window's controls: where they sit, how they look and their starting states.
namespace impmap::gui {

struct MainWindowUi;

// The window's designed size; the size at the first showing becomes its minimum.
inline constexpr int kDesignedWidth = 753;
inline constexpr int kDesignedHeight = 446;

// Initial column widths of the source field list and the destination list.
inline constexpr int kSourceNoWidth = 30;
inline constexpr int kSourceFieldWidth = 190;
inline constexpr int kDestinationFieldWidth = 155;
inline constexpr int kDestinationValueWidth = 130;
inline constexpr int kDestinationNoWidth = 30;
inline constexpr int kDestinationTypeWidth = 20;
// Room kept free beside the columns that follow the lists' widths.
inline constexpr int kColumnSlack = 25;

// Hints stay up this long.
inline constexpr int kHintDisplayMs = 15000;

// Builds every control of the main window into ui and makes the tab widget the window's central
// widget: captions, hints, help context numbers and what's-this texts, fonts, default states.
// Each control's objectName is its member name in MainWindowUi.
void BuildMainWindowLayout(QMainWindow& window, MainWindowUi& ui);

// The lists' initial column widths; call once both lists have their models.
void SetInitialColumnWidths(MainWindowUi& ui);

// Makes the lists' wide columns follow the lists' widths: the source list's "Source Field" takes
// what "No." leaves, the destination list's "Destination Field" and "Source Field" share what
// "No." and "T" leave.
void FitListColumns(MainWindowUi& ui);

// A line view (the Source or the Output view) has rows of one size, so a million lines lay out
// at once; longestLine gives the length of its longest line in characters, so that the rows are
// wide enough for the horizontal scroll bar to reach every character.
void SetLongestLineSource(QListView* view, std::function<std::size_t()> longestLine);

// The list panels' border: the highlight colour while the list has the focus, button face
// otherwise.
void ShowListFocus(QFrame* panel, bool focused);

// Courier New 10 point, or the nearest fixed-pitch font.
QFont FixedPitchFont();

} // namespace impmap::gui
