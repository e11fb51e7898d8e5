#include "SafeOutput.h"

#include "io/FileIo.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <ostream>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

namespace impmap::cli {

std::string FlushAndCheck(std::ostream& out)
{
    // A stream that failed earlier keeps the errno of its failing write; a fresh failure sets it.
    if (out.good())
        errno = 0;
    out.flush();
    if (out.good())
        return {};
    const int err = errno != 0 ? errno : EIO;
    return SystemReason(std::error_code(err, std::generic_category()));
}

void RefuseOutputOverInput(const std::string& output, const std::vector<std::string>& inputs)
{
    for (const std::string& input : inputs) {
        std::error_code ec;
        if (!input.empty() && std::filesystem::equivalent(output, input, ec)) {
            throw FileError("Cannot create file \"" + output + "\". It is the input file \"" +
                            input + "\", which the output would replace");
        }
    }
}

namespace {

extern "C" void RemoveTemporaryAndDie(int signalNumber)
{
    for (int slot = 0; slot < kTemporaryFileSlots; ++slot) {
        const char* path = TemporaryFile(slot);
#ifdef _WIN32
        if (path[0] != '\0')
            std::remove(path);
#else
        if (path[0] != '\0')
            ::unlink(path);
#endif
    }
    std::signal(signalNumber, SIG_DFL);
    std::raise(signalNumber);
}

// A signal that was ignored when the program started (nohup, background jobs) stays ignored.
void Handle(int signalNumber)
{
    if (std::signal(signalNumber, RemoveTemporaryAndDie) == SIG_IGN)
        std::signal(signalNumber, SIG_IGN);
}

} // namespace

void ReserveClosedStandardStreams()
{
#ifndef _WIN32
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
            const int placeholder = ::open("/dev/null", O_RDONLY);
            if (placeholder >= 0 && placeholder != fd) {
                ::dup2(placeholder, fd);
                ::close(placeholder);
            }
        }
    }
#endif
}

void RemoveTemporaryFileOnSignals()
{
    Handle(SIGINT);
    Handle(SIGTERM);
#ifndef _WIN32
    Handle(SIGHUP);
    Handle(SIGPIPE);
    // Past the file-size limit a write then fails with its reason instead of ending the program.
    std::signal(SIGXFSZ, SIG_IGN);
#endif
}

} // namespace impmap::cli
