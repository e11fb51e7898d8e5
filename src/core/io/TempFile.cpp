#include "io/TempFile.h"

#ifdef _WIN32
#include "io/WindowsApi.h"

#include <cerrno>
#include <string>
#endif

namespace impmap {

#ifdef _WIN32

std::FILE* OpenTemporaryFile()
{
    wchar_t folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    wchar_t name[MAX_PATH + 1];
    if (length == 0 || length > MAX_PATH || GetTempFileNameW(folder, L"imp", 0, name) == 0) {
        errno = EACCES;
        return nullptr;
    }
    // "T": kept in memory where it can be, "D": deleted when closed.
    std::FILE* file = _wfopen(name, L"w+bTD");
    if (file == nullptr)
        DeleteFileW(name);
    return file;
}

#else

std::FILE* OpenTemporaryFile()
{
    return std::tmpfile();
}

#endif

} // namespace impmap
