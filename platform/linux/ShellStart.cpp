#include "platform/linux/ShellStart.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace vendora {

namespace {

// Runs in the grandchild: only calls that are safe after fork.
[[noreturn]] void Exec(const char* program, char* const* argv, const char* folder, int report) {
    int err = 0;
    if (::chdir(folder) != 0) {
        err = errno;
    } else {
        // The program gets standard output and error, nothing else of ours: a descriptor left open
        // would make it look as if the program held our files.
        ::close_range(3, ~0U, CLOSE_RANGE_CLOEXEC);
        const int null = ::open("/dev/null", O_RDONLY);
        if (null >= 0) {
            ::dup2(null, STDIN_FILENO);
            if (null != STDIN_FILENO)
                ::close(null);
        }
        ::execve(program, argv, environ);
        err = errno;
    }
    [[maybe_unused]] const ssize_t written = ::write(report, &err, sizeof err);
    ::_exit(127);
}

} // namespace

int StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                  const std::string& folder) {
    // Everything the children need is built before fork.
    std::vector<std::string> texts;
    texts.push_back(program);
    texts.insert(texts.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& text : texts)
        argv.push_back(text.data());
    argv.push_back(nullptr);

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const int err = errno;
        ::close(pipeFds[0]);
        ::close(pipeFds[1]);
        return err;
    }
    if (child == 0) {
        ::close(pipeFds[0]);
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild < 0) {
            const int err = errno;
            [[maybe_unused]] const ssize_t written = ::write(pipeFds[1], &err, sizeof err);
            ::_exit(127);
        }
        if (grandchild == 0)
            Exec(program.c_str(), argv.data(), folder.c_str(), pipeFds[1]);
        ::_exit(0);
    }
    ::close(pipeFds[1]);
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    // The pipe closes at the exec (close-on-exec), or carries the reason the start failed.
    int err = 0;
    ssize_t got;
    do {
        got = ::read(pipeFds[0], &err, sizeof err);
    } while (got < 0 && errno == EINTR);
    ::close(pipeFds[0]);
    return got == static_cast<ssize_t>(sizeof err) ? err : 0;
}

std::optional<std::string> FindOnPath(const std::string& name) {
    const char* path = std::getenv("PATH");
    std::string folders = path != nullptr ? path : "/usr/local/bin:/usr/bin:/bin";
    std::size_t start = 0;
    while (start <= folders.size()) {
        const std::size_t end = std::min(folders.find(':', start), folders.size());
        const std::string folder = folders.substr(start, end - start);
        const std::string candidate = (folder.empty() ? "." : folder) + "/" + name;
        struct stat info {};
        if (::stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
            ::access(candidate.c_str(), X_OK) == 0)
            return candidate;
        start = end + 1;
    }
    return std::nullopt;
}

bool IsNativeProgram(const std::string& hostPath) {
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    // Looking at the file must not change its last-access time (the installer has just stamped it).
    int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOATIME);
    if (fd < 0 && errno == EPERM)
        fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char magic[4] = {};
    const ssize_t got = ::read(fd, magic, sizeof magic);
    ::close(fd);
    return (got == 4 && std::memcmp(magic,
                                    "\x7f"
                                    "ELF",
                                    4) == 0) ||
           (got >= 2 && magic[0] == '#' && magic[1] == '!');
}

bool MakeRunnable(const std::string& hostPath) {
    if (::access(hostPath.c_str(), X_OK) == 0)
        return true;
    struct stat info {};
    if (::stat(hostPath.c_str(), &info) != 0)
        return false;
    const mode_t read = info.st_mode & (S_IRUSR | S_IRGRP | S_IROTH);
    return ::chmod(hostPath.c_str(), info.st_mode | (read >> 2)) == 0;
}

} // namespace vendora
