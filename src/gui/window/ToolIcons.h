#pragma once

#include <QIcon>

// Icons drawn by the program for buttons whose texts name them: the texts speak of the "Red Disk
// Icon" (save the source file) and the "flashlight button" (locate the source file).
namespace impmap::gui {

// A red floppy disk.
QIcon RedDiskIcon();
// A flashlight shining a yellow beam.
QIcon FlashlightIcon();
// A white question mark on a blue disc: plain at every size, where some styles' help icon reads as
// a red cross at small sizes.
QIcon HelpIcon();

} // namespace impmap::gui
