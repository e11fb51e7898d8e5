#ifndef _WIN32

#include "ChildProcess.h"

#include "../core/TestSupport.h"

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace impmap::test {
namespace {

void Limit(int resource, long bytes)
{
    if (bytes < 0)
        return;
    const rlimit limit{static_cast<rlim_t>(bytes), static_cast<rlim_t>(bytes)};
    setrlimit(resource, &limit);
}

// In the child: standard output and error as asked, limits, then body.
// Standard error goes through a pipe, which a file-size limit does not cut short.
[[noreturn]] void BecomeChild(const std::function<int()>& body, const ChildOptions& options,
                              const std::string& outPath, const int errPipe[2])
{
    ::close(errPipe[0]);
    ::dup2(errPipe[1], 2);
    ::close(errPipe[1]);
    if (options.output == ChildOptions::Output::Closed) {
        ::close(1);
    } else {
        const char* path =
            options.output == ChildOptions::Output::Full ? "/dev/full" : outPath.c_str();
        const int out = ::open(path, O_WRONLY | O_CREAT | O_TRUNC, 0600);
        ::dup2(out, 1);
        ::close(out);
    }
    std::signal(SIGXFSZ, SIG_IGN);
    Limit(RLIMIT_FSIZE, options.fileSizeLimit);
    Limit(RLIMIT_AS, options.addressSpaceLimit);
    ::_exit(body());
}

} // namespace

ChildResult RunChild(const std::function<int()>& body, const ChildOptions& options)
{
    TempDir streams;
    const std::string outPath = streams.File("out");
    int errPipe[2];
    if (::pipe(errPipe) != 0)
        return {};
    const pid_t pid = ::fork();
    if (pid == 0)
        BecomeChild(body, options, outPath, errPipe);
    ::close(errPipe[1]);
    ::fcntl(errPipe[0], F_SETFL, O_NONBLOCK);
    ChildResult result;
    const auto drain = [&] {
        char chunk[4096];
        ssize_t got = 0;
        while ((got = ::read(errPipe[0], chunk, sizeof chunk)) > 0)
            result.err.append(chunk, static_cast<size_t>(got));
    };
    if (pid < 0) {
        ::close(errPipe[0]);
        return result;
    }
    if (options.whileRunning)
        options.whileRunning(pid);
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::seconds(options.timeoutSeconds);
    int status = 0;
    rusage usage{};
    for (;;) {
        drain();
        const pid_t done = ::wait4(pid, &status, WNOHANG, &usage);
        if (done == pid)
            break;
        if (std::chrono::steady_clock::now() > deadline && !result.timedOut) {
            result.timedOut = true;
            ::kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    if (WIFEXITED(status))
        result.status = WEXITSTATUS(status);
    else if (WIFSIGNALED(status))
        result.signal = WTERMSIG(status);
    result.maxRssKb = usage.ru_maxrss;
    drain();
    ::close(errPipe[0]);
    result.out = ReadFile(outPath);
    return result;
}

ChildResult RunCliChild(const std::vector<std::string>& args, const ChildOptions& options)
{
    return RunChild(
        [&args] {
            std::vector<char*> argv;
            static char program[] = IMPMAP_CLI;
            argv.push_back(program);
            for (const std::string& arg : args)
                argv.push_back(const_cast<char*>(arg.c_str()));
            argv.push_back(nullptr);
            ::execv(program, argv.data());
            return 127;
        },
        options);
}

} // namespace impmap::test

#endif
