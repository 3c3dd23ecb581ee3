// A small program that the platform tests start or keep running: it reports what it received, holds a
// file open, or waits while its own executable is the running program.
//
//   helper ARGS...     with VENDORA_TEST_OUTPUT set: writes there its folder, what the descriptors it
//                      inherited beyond the standard three lead to, and its arguments, one a line
//   helper hold FILE   opens FILE, prints "ready", waits for the end of its input
//   helper wait        prints "ready", waits for the end of its input
//   helper module ROOT prints the module file name that the platform reports under ROOT

#include "base/Cp1252.h"
#include "platform/linux/LinuxPlatform.h"

#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>

namespace {

void WaitForEndOfInput() {
    char c;
    while (::read(STDIN_FILENO, &c, 1) > 0) {
    }
}

// What the descriptors beyond the standard three lead to, separated by ';'.
std::string InheritedDescriptors() {
    std::string targets;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (const dirent* entry = ::readdir(dir)) {
            const int fd = std::atoi(entry->d_name);
            if (fd <= 2 || fd == ::dirfd(dir))
                continue;
            char target[4096];
            const ssize_t size = ::readlink((std::string("/proc/self/fd/") + entry->d_name).c_str(), target,
                                            sizeof target - 1);
            targets += std::string(target, size > 0 ? static_cast<std::size_t>(size) : 0) + ";";
        }
        ::closedir(dir);
    }
    return targets;
}

int ReportArguments(int argc, char** argv) {
    const char* output = std::getenv("VENDORA_TEST_OUTPUT");
    char folder[4096];
    if (::getcwd(folder, sizeof folder) == nullptr)
        return 2;
    const std::string temporary = std::string(output) + ".part";
    {
        std::ofstream out(temporary, std::ios::binary);
        out << folder << '\n' << InheritedDescriptors() << '\n';
        for (int i = 1; i < argc; ++i)
            out << argv[i] << '\n';
    }
    // Renamed when complete, so that the test never reads half a report.
    return std::rename(temporary.c_str(), output) == 0 ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    if (std::getenv("VENDORA_TEST_OUTPUT") != nullptr)
        return ReportArguments(argc, argv);
    if (mode == "hold" && argc > 2) {
        const int fd = ::open(argv[2], O_RDONLY);
        if (fd < 0)
            return 2;
        std::cout << "ready" << std::endl;
        WaitForEndOfInput();
        ::close(fd);
        return 0;
    }
    if (mode == "wait") {
        std::cout << "ready" << std::endl;
        WaitForEndOfInput();
        return 0;
    }
    if (mode == "module" && argc > 2) {
        vendora::LinuxPlatformOptions options;
        options.Root = argv[2];
        options.User = "vendora";
        vendora::LinuxPlatform platform(options);
        std::cout << vendora::AnsiToUtf8(platform.ModuleFileName()) << std::endl;
        return 0;
    }
    std::cerr << "usage: helper ARGS... | hold FILE | wait | module ROOT\n";
    return 2;
}
