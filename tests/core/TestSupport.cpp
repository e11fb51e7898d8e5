#include "TestSupport.h"

#include <fstream>
#include <random>
#include <sstream>

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

} // namespace impmap::test
