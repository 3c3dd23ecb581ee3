/* Stands in for the application in the Windows build's demo archive: it says that it started, with what
 * argument and in which working folder, the way the native stand-in does, and exits.
 *
 * A windowed program has no console, so the record goes to the file named by VENDORA_STANDIN_LOG
 * (appended, one run after the other) and to the standard output when the parent handed one down.
 *
 * "--stay SECONDS" keeps it running that long while it holds its own executable open without write
 * sharing, as the running application does: an installer that opens the executable for writing is
 * refused until it exits. */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static void AppendRecord(const char* record) {
    const DWORD length = (DWORD)strlen(record);
    DWORD written = 0;
    char log[MAX_PATH];
    const DWORD logLength = GetEnvironmentVariableA("VENDORA_STANDIN_LOG", log, sizeof log);
    if (logLength > 0 && logLength < sizeof log) {
        HANDLE file = CreateFileA(log, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL,
                                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
        if (file != INVALID_HANDLE_VALUE) {
            WriteFile(file, record, length, &written, NULL);
            CloseHandle(file);
        }
    }
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (out != NULL && out != INVALID_HANDLE_VALUE)
        WriteFile(out, record, length, &written, NULL);
}

static void Record(int argc, char** argv) {
    char folder[MAX_PATH] = "";
    const DWORD folderLength = GetCurrentDirectoryA(sizeof folder, folder);
    if (folderLength == 0 || folderLength >= sizeof folder)
        strcpy(folder, "?");
    char record[3 * MAX_PATH];
    if (argc > 1)
        snprintf(record, sizeof record, "Vendora started with argument \"%s\"\r\nWorking folder \"%s\"\r\n",
                 argv[1], folder);
    else
        snprintf(record, sizeof record, "Vendora started without argument\r\nWorking folder \"%s\"\r\n",
                 folder);
    AppendRecord(record);
}

/* Holds the own executable for the given number of seconds. */
static void Stay(const char* secondsText) {
    char* end = NULL;
    const unsigned long seconds = strtoul(secondsText, &end, 10);
    if (end == secondsText || *end != '\0' || seconds > 24UL * 3600UL)
        return;
    char self[MAX_PATH];
    const DWORD selfLength = GetModuleFileNameA(NULL, self, sizeof self);
    HANDLE held = INVALID_HANDLE_VALUE;
    if (selfLength > 0 && selfLength < sizeof self)
        held = CreateFileA(self, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                           NULL);
    Sleep((DWORD)(seconds * 1000UL));
    if (held != INVALID_HANDLE_VALUE)
        CloseHandle(held);
}

int main(int argc, char** argv) {
    Record(argc, argv);
    if (argc > 2 && strcmp(argv[1], "--stay") == 0)
        Stay(argv[2]);
    return 0;
}
