/* Puts another payload into a copy of INSTALL.EXE: the resource "FCC"/1 (French) replaced through
 * Windows' own resource update calls, the program itself untouched. Built and run under Wine by
 * nsis-side-by-side.sh, so that one built program can be timed on several payloads.
 *
 *   replace-payload.exe INSTALL.EXE ARCHIVE.FCC */
#include <windows.h>

#include <stdio.h>
#include <stdlib.h>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: replace-payload INSTALL.EXE ARCHIVE.FCC\n");
        return 2;
    }
    FILE* in = fopen(argv[2], "rb");
    if (in == NULL) {
        fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    fseek(in, 0, SEEK_END);
    const long size = ftell(in);
    fseek(in, 0, SEEK_SET);
    void* bytes = size > 0 ? malloc((size_t)size) : NULL;
    const int read = bytes != NULL && fread(bytes, 1, (size_t)size, in) == (size_t)size;
    fclose(in);
    if (!read) {
        fprintf(stderr, "cannot read %s\n", argv[2]);
        free(bytes);
        return 1;
    }
    HANDLE update = BeginUpdateResourceA(argv[1], FALSE);
    int ok = update != NULL && UpdateResourceA(update, "FCC", MAKEINTRESOURCEA(1),
                                               MAKELANGID(LANG_FRENCH, SUBLANG_FRENCH), bytes, (DWORD)size);
    if (update != NULL)
        ok = EndUpdateResourceA(update, !ok) && ok;
    free(bytes);
    if (!ok) {
        fprintf(stderr, "the resource of %s could not be replaced (error %lu)\n", argv[1], GetLastError());
        return 1;
    }
    return 0;
}
