#include "TestSupport.h"

#include "Cli.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#ifdef __linux__
#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>
#endif

namespace impmap::test {

TempDir::TempDir()
{
    std::random_device device;
    path_ = std::filesystem::temp_directory_path() /
            ("impmap-test-" + std::to_string(device()) + "-" + std::to_string(device()));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir()
{
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

namespace {

#ifdef __linux__
bool SetImmutable(const std::filesystem::path& folder, bool on)
{
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0)
        return false;
    int flags = 0;
    bool done = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (done) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        done = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return done;
}
#else
bool SetImmutable(const std::filesystem::path&, bool)
{
    return false;
}
#endif

bool CanCreateIn(const std::filesystem::path& folder)
{
    const std::filesystem::path probe = folder / ".probe";
    const bool created = std::ofstream(probe).good();
    std::error_code ignored;
    std::filesystem::remove(probe, ignored);
    return created;
}

} // namespace

LockedFolder::LockedFolder(std::filesystem::path folder) : folder_(std::move(folder))
{
    namespace fs = std::filesystem;
    std::error_code ec;
    fs::permissions(folder_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove, ec);
    if (!CanCreateIn(folder_)) {
        active_ = true;
        return;
    }
    immutable_ = SetImmutable(folder_, true);
    active_ = immutable_ && !CanCreateIn(folder_);
}

LockedFolder::~LockedFolder()
{
    if (immutable_)
        SetImmutable(folder_, false);
    std::error_code ignored;
    std::filesystem::permissions(folder_, std::filesystem::perms::owner_write,
                                 std::filesystem::perm_options::add, ignored);
}

std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

std::filesystem::path DataPath(const std::string& relative)
{
    return std::filesystem::path(IMPMAP_TEST_DATA) / relative;
}

std::vector<std::string> FileNames(const std::filesystem::path& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

CliRun Cli(const std::vector<std::string>& args)
{
    std::ostringstream out, err;
    const int status = cli::RunCli(args, out, err);
    return {status, out.str(), err.str()};
}

} // namespace impmap::test
