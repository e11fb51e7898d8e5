#include "io/NativePath.h"

#include <cstdlib>

#ifdef _WIN32
#include "io/WindowsApi.h"

#include <climits>
#include <stdexcept>
#endif

namespace impmap {

#ifdef _WIN32

namespace {

int CheckedLength(size_t size)
{
    if (size > static_cast<size_t>(INT_MAX))
        throw std::length_error("File name too long");
    return static_cast<int>(size);
}

// Empty when text is not valid in codePage under flags.
std::wstring Widen(std::string_view text, UINT codePage, DWORD flags)
{
    const int length = CheckedLength(text.size());
    const int wideLength = MultiByteToWideChar(codePage, flags, text.data(), length, nullptr, 0);
    if (wideLength <= 0)
        return {};
    std::wstring wide(static_cast<size_t>(wideLength), L'\0');
    MultiByteToWideChar(codePage, flags, text.data(), length, wide.data(), wideLength);
    return wide;
}

} // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    std::wstring wide = Widen(utf8, CP_UTF8, MB_ERR_INVALID_CHARS);
    if (wide.empty())
        wide = Widen(utf8, CP_ACP, 0);
    return std::filesystem::path(std::move(wide));
}

std::string Utf8FromWide(std::wstring_view wide)
{
    if (wide.empty())
        return {};
    const int length = CheckedLength(wide.size());
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return {};
    std::string utf8(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, utf8.data(), size, nullptr, nullptr);
    return utf8;
}

std::string Utf8FromPath(const std::filesystem::path& path)
{
    return Utf8FromWide(path.native());
}

std::filesystem::path UserSettingsFolder()
{
    const wchar_t* local = _wgetenv(L"LOCALAPPDATA");
    return local != nullptr && *local != L'\0' ? std::filesystem::path(local)
                                               : std::filesystem::path();
}

#else

std::filesystem::path PathFromUtf8(std::string_view utf8)
{
    return std::filesystem::path(utf8);
}

std::string Utf8FromPath(const std::filesystem::path& path)
{
    return path.string();
}

std::filesystem::path UserSettingsFolder()
{
    const char* config = std::getenv("XDG_CONFIG_HOME");
    if (config != nullptr && *config == '/')
        return std::filesystem::path(config);
    const char* home = std::getenv("HOME");
    return home != nullptr && *home != '\0' ? std::filesystem::path(home) / ".config"
                                            : std::filesystem::path();
}

#endif

} // namespace impmap
