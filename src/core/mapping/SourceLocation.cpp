#include "mapping/SourceLocation.h"

#include "io/NativePath.h"

#include <filesystem>

namespace impmap {

namespace {

std::string& ProgramFolderSetting()
{
    static std::string folder;
    return folder;
}

} // namespace

void SetProgramFolder(std::string folder)
{
    ProgramFolderSetting() = std::move(folder);
}

const std::string& ProgramFolder()
{
    return ProgramFolderSetting();
}

std::string ResolveFileSpec(const std::string& fileSpec, const std::string& mapPath)
{
    const std::filesystem::path relative = PathFromUtf8(fileSpec);
    // A name with a root ("\x.csv", "C:x.csv") is not relative to a folder either.
    if (fileSpec.empty() || relative.is_absolute() || relative.has_root_name() ||
        relative.has_root_directory())
        return fileSpec;
    std::error_code ec;
    const std::filesystem::path mapFolder =
        std::filesystem::absolute(PathFromUtf8(mapPath), ec).parent_path();
    for (const std::filesystem::path& folder : {mapFolder, PathFromUtf8(ProgramFolder())}) {
        if (folder.empty())
            continue;
        const std::filesystem::path candidate = (folder / relative).lexically_normal();
        if (std::filesystem::is_regular_file(candidate, ec))
            return Utf8FromPath(candidate);
    }
    return fileSpec;
}

} // namespace impmap
