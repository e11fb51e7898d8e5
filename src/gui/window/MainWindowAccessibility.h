#pragma once

// Names and descriptions for assistive technology, and the order of the Tab key.
namespace impmap::gui {

struct MainWindowUi;

// Gives every control, list and pane of the main window an accessible name and description, and
// chains the Tab key through the settings groups, the two lists and the bottom strip in reading
// order. Call once the layout is built.
void ApplyAccessibility(MainWindowUi& ui);

} // namespace impmap::gui
