// Makes a damaged copy of a payload archive for the installer's failure test: the zlib header's method
// byte is spoilt, so inflating fails with a data error.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: damage_payload SOURCE DESTINATION\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (bytes.size() < 8) {
        std::fprintf(stderr, "damage_payload: %s is too short\n", argv[1]);
        return 1;
    }
    bytes[4] = static_cast<char>(0x77); // after the 4-byte size: CMF 0x78 becomes an unknown method
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return out ? 0 : 1;
}
