#include "tools/fcc/Fcc.h"

#include <iostream>

int main(int argc, char** argv) {
    return vendora::fcc::Run(std::vector<std::string>(argv + 1, argv + argc), std::cout, std::cerr);
}
