// Scrambles a plain S-record package into the form the updater carries (the routine is its
// own inverse, so it also unscrambles one).
//
//   qv-scramble-package INPUT OUTPUT

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

#include "image/descramble.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: qv-scramble-package INPUT OUTPUT\n");
        return 2;
    }
    std::ifstream in(argv[1], std::ios::binary);
    if (!in) {
        std::fprintf(stderr, "qv-scramble-package: cannot read %s\n", argv[1]);
        return 1;
    }
    std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    qv::Descramble(bytes);
    std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "qv-scramble-package: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
