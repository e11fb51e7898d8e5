#pragma once

#include <filesystem>
#include <string>
#include <string_view>

// File names cross the program as UTF-8 text. These turn that text into the file system's own
// names and back: on Windows through the wide-character (UTF-16) names, elsewhere unchanged.
namespace impmap {

// The path named by utf8. On Windows, text that is not valid UTF-8 (a name stored by an older
// program in the system's code page) is read in that code page instead.
std::filesystem::path PathFromUtf8(std::string_view utf8);

// The path's name as UTF-8 (elsewhere than on Windows, its bytes unchanged).
std::string Utf8FromPath(const std::filesystem::path& path);

// The folder of the user's own settings: %LOCALAPPDATA% on Windows, elsewhere $XDG_CONFIG_HOME
// or, without it, ~/.config (the folder the window's settings use). Empty when the environment
// names none.
std::filesystem::path UserSettingsFolder();

#ifdef _WIN32
// UTF-16 text as UTF-8; unpaired surrogates become U+FFFD.
std::string Utf8FromWide(std::wstring_view wide);
#endif

} // namespace impmap
