// Stands in for the application in the demo archive: it says that it started, and with what.
#include <cstdio>

int main(int argc, char** argv) {
    if (argc > 1)
        std::printf("Vendora started with argument \"%s\"\n", argv[1]);
    else
        std::printf("Vendora started without argument\n");
    return 0;
}
