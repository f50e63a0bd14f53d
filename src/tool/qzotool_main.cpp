#include <iostream>
#include <string>
#include <vector>

#include "tool/qzotool.h"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    return qz::tool::run(args, std::cout, std::cerr);
}
