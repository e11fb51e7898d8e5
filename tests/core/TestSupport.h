#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace impmap::test {

// A fresh folder under the system's temporary folder, removed with the object.
class TempDir
{
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

// A folder in which no new file can be created while existing files stay writable: read-only
// rights, or for a user whom rights do not stop (root) the immutable attribute where the system
// offers it. Active() tells whether either worked; the folder is unlocked with the object.
class LockedFolder
{
public:
    explicit LockedFolder(std::filesystem::path folder);
    ~LockedFolder();
    LockedFolder(const LockedFolder&) = delete;
    LockedFolder& operator=(const LockedFolder&) = delete;
    bool Active() const { return active_; }

private:
    std::filesystem::path folder_;
    bool immutable_ = false;
    bool active_ = false;
};

std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);
// The folder of the test data files.
std::filesystem::path DataPath(const std::string& relative);
// The names of the entries of folder, sorted.
std::vector<std::string> FileNames(const std::filesystem::path& folder);

// impmap-cli run in this process: its exit status and what it wrote.
struct CliRun
{
    int status;
    std::string out;
    std::string err;
};
CliRun Cli(const std::vector<std::string>& args);

} // namespace impmap::test
