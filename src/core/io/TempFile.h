#pragma once

#include <cstdio>

namespace impmap {

// A new, empty temporary file open for reading and writing in binary mode, removed by the system
// when it is closed; nullptr (with errno set) when none can be made. On Windows it lives in the
// user's temporary folder: the C runtime's tmpfile() uses the root of the drive, where ordinary
// users may not create files.
std::FILE* OpenTemporaryFile();

} // namespace impmap
