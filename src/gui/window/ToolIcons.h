#pragma once

#include <QIcon>

// Icons drawn by the program for buttons whose texts name them: the texts speak of the "Red Disk
// Icon" (save the source file) and the "flashlight button" (locate the source file).
namespace impmap::gui {

// A red floppy disk.
QIcon RedDiskIcon();
// A flashlight shining a yellow beam.
QIcon FlashlightIcon();

} // namespace impmap::gui
