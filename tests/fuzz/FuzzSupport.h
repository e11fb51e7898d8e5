#pragma once

// Helpers shared by the fuzz targets: property checks that abort with the values involved, a
// private scratch folder and a parser for output lines.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <unistd.h>
#include <vector>

namespace impmap::fuzz {

// Prints the broken property with the values that broke it and aborts, so that both libFuzzer and
// the replay test stop on it.
[[noreturn]] inline void Broken(const char* property, std::string_view detail)
{
    std::fprintf(stderr, "Broken property: %s\n%.*s\n", property, static_cast<int>(detail.size()),
                 detail.data());
    std::abort();
}

inline void Check(bool holds, const char* property, std::string_view detail = {})
{
    if (!holds)
        Broken(property, detail);
}

// Printable form of bytes for the messages above.
inline std::string Shown(std::string_view bytes)
{
    std::string out = "'";
    for (const char c : bytes) {
        const auto u = static_cast<unsigned char>(c);
        if (u < 32 || u >= 127 || c == '\\') {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", u);
            out += hex;
        } else {
            out += c;
        }
    }
    return out + "'";
}

// A value as a rejection message quotes it: NUL bytes shown as '?'.
inline std::string AsQuoted(std::string_view value)
{
    std::string text(value);
    for (char& c : text) {
        if (c == '\0')
            c = '?';
    }
    return "'" + text + "'";
}

// A folder of this process's own under the temporary folder, made once and removed at exit.
inline const std::filesystem::path& ScratchFolder()
{
    static const std::filesystem::path folder = [] {
        const auto path =
            std::filesystem::temp_directory_path() / ("impmap-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(path);
        std::atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(ScratchFolder(), ignored);
        });
        return path;
    }();
    return folder;
}

inline void WriteScratchFile(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    Check(static_cast<bool>(out), "the scratch file is written", path.string());
}

inline std::string ReadScratchFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    Check(!in.bad(), "the scratch file is read", path.string());
    return bytes;
}

// Splits one output line into its values: values are separated by commas; a value that starts
// with a double quote runs to the next lone double quote, and a doubled one stands for one.
// Nothing when the line is not in that form.
inline std::optional<std::vector<std::string>> ParseOutputLine(std::string_view line)
{
    std::vector<std::string> values;
    size_t i = 0;
    for (;;) {
        std::string value;
        if (i < line.size() && line[i] == '"') {
            ++i;
            for (;;) {
                if (i >= line.size())
                    return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += line[i++];
            }
            if (i < line.size() && line[i] != ',')
                return std::nullopt;
        } else {
            while (i < line.size() && line[i] != ',') {
                if (line[i] == '"')
                    return std::nullopt;
                value += line[i++];
            }
        }
        values.push_back(std::move(value));
        if (i == line.size())
            return values;
        ++i; // the comma
    }
}

} // namespace impmap::fuzz
