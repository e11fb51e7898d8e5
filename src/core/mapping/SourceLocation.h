#pragma once

#include <string>

// Where the source file named by a map file's FileSpec is looked for.
namespace impmap {

// The folder of the running program (UTF-8), the second place a relative FileSpec is looked for;
// empty until set. Set once at start-up.
void SetProgramFolder(std::string folder);
const std::string& ProgramFolder();

// The source file that fileSpec, read from the map file at mapPath, names. A relative path is
// taken from the map file's folder when the file is there, else from the program folder when it
// is there; an absolute path, an empty one and a relative one found in neither stay as written.
std::string ResolveFileSpec(const std::string& fileSpec, const std::string& mapPath);

// The source file and sheet that Workspace::OpenMapping loads from the map file at path, without
// a source or sheet of the caller's: both empty when the map file cannot be read.
struct MapSource
{
    std::string path;
    std::string sheet;
};
MapSource SourceOfMapFile(const std::string& path);

} // namespace impmap
