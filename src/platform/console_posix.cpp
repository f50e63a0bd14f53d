#include "platform/console.h"

namespace qz {

std::vector<std::string> program_arguments(int argc, char** argv) {
    return argc > 1 ? std::vector<std::string>(argv + 1, argv + argc) : std::vector<std::string>{};
}

bool output_in_cp932() { return false; }

}  // namespace qz
