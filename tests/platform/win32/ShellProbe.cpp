// Started by the ShellExecute test: writes its arguments and working folder, one a line, to the file its
// first argument names, then signals the event its second argument names.

#include <windows.h>

#include <cstdio>

int main(int argc, char** argv) {
    if (argc < 3)
        return 2;
    FILE* out = std::fopen(argv[1], "wb");
    if (out == nullptr)
        return 1;
    for (int i = 1; i < argc; ++i)
        std::fprintf(out, "%s\n", argv[i]);
    char folder[MAX_PATH];
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    std::fprintf(out, "%s\n", folder);
    std::fclose(out);
    HANDLE done = ::OpenEventA(EVENT_MODIFY_STATE, FALSE, argv[2]);
    if (done == nullptr)
        return 1;
    ::SetEvent(done);
    ::CloseHandle(done);
    return 0;
}
