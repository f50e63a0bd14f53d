#include <iostream>
#include <string>
#include <vector>

#include "platform/console.h"
#include "tool/cp932_output.h"
#include "tool/qzotool.h"

int main(int argc, char** argv) {
    qz::tool::set_cp932_output(qz::output_in_cp932());
    const std::vector<std::string> args = qz::program_arguments(argc, argv);
    return qz::tool::run(args, std::cout, std::cerr);
}
