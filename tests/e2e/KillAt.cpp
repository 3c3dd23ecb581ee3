// Preloaded into the installer by the kill test (LD_PRELOAD): counts the calls that change the disk, per
// call, and kills the process (SIGKILL, at once, without any clean-up) on entering the one that
// VENDORA_KILL_AT names ("renameat:2": the second renameat). VENDORA_KILL_LOG names a file that receives
// one line per call: its name, its number, the flags of a call that opens in hexadecimal (else 0) and the
// name it acts on ("-" for a descriptor).
//
// The calls go through the C library's own entry points, so the library catches the program's calls and
// the C++ library's, not those the C library makes inside itself (which only read: directory listings).

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/uio.h>
#include <unistd.h>

namespace {

using SyscallFunction = long (*)(long, ...);

SyscallFunction RealSyscall() {
    static auto real = reinterpret_cast<SyscallFunction>(dlsym(RTLD_NEXT, "syscall"));
    return real;
}

struct Target {
    char Name[32] = {};
    long Invocation = 0;
    int LogFd = -1;
    bool Ready = false;
};

Target& Settings() {
    static Target target = [] {
        Target t;
        if (const char* at = std::getenv("VENDORA_KILL_AT")) {
            const char* colon = std::strchr(at, ':');
            if (colon != nullptr && static_cast<std::size_t>(colon - at) < sizeof t.Name) {
                std::memcpy(t.Name, at, static_cast<std::size_t>(colon - at));
                t.Invocation = std::strtol(colon + 1, nullptr, 10);
            }
        }
        if (const char* log = std::getenv("VENDORA_KILL_LOG"))
            t.LogFd = static_cast<int>(
                RealSyscall()(SYS_openat, AT_FDCWD, log, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644));
        t.Ready = true;
        return t;
    }();
    return target;
}

// One counter per call name, in the order of the names below.
constexpr const char* Names[] = {"write",    "pwrite64",  "writev",   "open",      "openat",    "openat2",
                                 "creat",    "rename",    "renameat", "renameat2", "unlink",    "unlinkat",
                                 "fsync",    "fdatasync", "fchmod",   "fchmodat",  "ftruncate", "utimensat",
                                 "futimens", "fsetxattr", "setxattr", "mkdir",     "mkdirat"};
std::atomic<long> counters[sizeof Names / sizeof Names[0]];

std::size_t IndexOf(const char* name) {
    for (std::size_t i = 0; i < sizeof Names / sizeof Names[0]; ++i)
        if (std::strcmp(Names[i], name) == 0)
            return i;
    std::abort();
}

// The C library's own function of that name.
template <class Function> Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}

// Counts a call about to be made, logs it and kills the process when it is the one named.
void Enter(const char* name, long flags = -1, const char* path = nullptr) {
    Target& target = Settings();
    const long number = ++counters[IndexOf(name)];
    if (target.LogFd >= 0) {
        char line[512];
        int size = std::snprintf(line, sizeof line, "%s %ld %lx %s\n", name, number, flags < 0 ? 0 : flags,
                                 path != nullptr ? path : "-");
        if (size < 0 || size >= static_cast<int>(sizeof line))
            size = std::snprintf(line, sizeof line, "%s %ld %lx -\n", name, number, flags < 0 ? 0 : flags);
        RealSyscall()(SYS_write, target.LogFd, line, static_cast<long>(size));
    }
    if (target.Invocation == number && std::strcmp(target.Name, name) == 0)
        RealSyscall()(SYS_kill, static_cast<long>(getpid()), static_cast<long>(SIGKILL));
}

} // namespace

extern "C" {

long syscall(long number, ...) {
    va_list args;
    va_start(args, number);
    long a[6];
    for (long& value : a)
        value = va_arg(args, long);
    va_end(args);
    if (number == SYS_openat2 && a[2] != 0)
        Enter("openat2", static_cast<long>(*reinterpret_cast<const unsigned long long*>(a[2])),
              reinterpret_cast<const char*>(a[1]));
    return RealSyscall()(number, a[0], a[1], a[2], a[3], a[4], a[5]);
}

ssize_t write(int fd, const void* buffer, size_t size) {
    Enter("write");
    static auto real = Real<ssize_t (*)(int, const void*, size_t)>("write");
    return real(fd, buffer, size);
}

ssize_t pwrite64(int fd, const void* buffer, size_t size, off_t offset) {
    Enter("pwrite64");
    static auto real = Real<ssize_t (*)(int, const void*, size_t, off_t)>("pwrite64");
    return real(fd, buffer, size, offset);
}

ssize_t writev(int fd, const struct iovec* vector, int count) {
    Enter("writev");
    static auto real = Real<ssize_t (*)(int, const struct iovec*, int)>("writev");
    return real(fd, vector, count);
}

#define VENDORA_OPEN(function, counted)                                                                      \
    int function(const char* path, int flags, ...) {                                                         \
        va_list args;                                                                                        \
        va_start(args, flags);                                                                               \
        const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(args, mode_t) : 0;                 \
        va_end(args);                                                                                        \
        Enter(counted, flags, path);                                                                         \
        static auto real = Real<int (*)(const char*, int, ...)>(#function);                                  \
        return real(path, flags, mode);                                                                      \
    }
VENDORA_OPEN(open, "open")
VENDORA_OPEN(open64, "open")

#define VENDORA_OPENAT(function)                                                                             \
    int function(int folder, const char* path, int flags, ...) {                                             \
        va_list args;                                                                                        \
        va_start(args, flags);                                                                               \
        const mode_t mode = (flags & (O_CREAT | O_TMPFILE)) != 0 ? va_arg(args, mode_t) : 0;                 \
        va_end(args);                                                                                        \
        Enter("openat", flags, path);                                                                        \
        static auto real = Real<int (*)(int, const char*, int, ...)>(#function);                             \
        return real(folder, path, flags, mode);                                                              \
    }
VENDORA_OPENAT(openat)
VENDORA_OPENAT(openat64)

// The remaining calls take their arguments through unchanged.
#define VENDORA_PASS(result, function, parameters, arguments, path)                                          \
    result function parameters {                                                                             \
        Enter(#function, -1, path);                                                                          \
        static auto real = Real<result(*) parameters>(#function);                                            \
        return real arguments;                                                                               \
    }
VENDORA_PASS(int, creat, (const char* path, mode_t mode), (path, mode), path)
VENDORA_PASS(int, rename, (const char* from, const char* to), (from, to), to)
VENDORA_PASS(int, renameat, (int fromFolder, const char* from, int toFolder, const char* to),
             (fromFolder, from, toFolder, to), to)
VENDORA_PASS(int, renameat2,
             (int fromFolder, const char* from, int toFolder, const char* to, unsigned int flags),
             (fromFolder, from, toFolder, to, flags), to)
VENDORA_PASS(int, unlink, (const char* path), (path), path)
VENDORA_PASS(int, unlinkat, (int folder, const char* path, int flags), (folder, path, flags), path)
VENDORA_PASS(int, fsync, (int fd), (fd), nullptr)
VENDORA_PASS(int, fdatasync, (int fd), (fd), nullptr)
VENDORA_PASS(int, fchmod, (int fd, mode_t mode), (fd, mode), nullptr)
VENDORA_PASS(int, fchmodat, (int folder, const char* path, mode_t mode, int flags),
             (folder, path, mode, flags), path)
VENDORA_PASS(int, ftruncate, (int fd, off_t length), (fd, length), nullptr)
VENDORA_PASS(int, utimensat, (int folder, const char* path, const struct timespec times[2], int flags),
             (folder, path, times, flags), path)
VENDORA_PASS(int, futimens, (int fd, const struct timespec times[2]), (fd, times), nullptr)
VENDORA_PASS(int, fsetxattr, (int fd, const char* name, const void* value, size_t size, int flags),
             (fd, name, value, size, flags), nullptr)
VENDORA_PASS(int, setxattr, (const char* path, const char* name, const void* value, size_t size, int flags),
             (path, name, value, size, flags), path)
VENDORA_PASS(int, mkdir, (const char* path, mode_t mode), (path, mode), path)
VENDORA_PASS(int, mkdirat, (int folder, const char* path, mode_t mode), (folder, path, mode), path)

} // extern "C"
