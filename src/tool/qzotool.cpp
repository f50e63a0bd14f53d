#include "tool/qzotool.h"

namespace qz::tool {

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    err << "usage: qzotool check FILE... | list FILE | normalize FILE OUT | answers FILE\n";
    return 2;
}

}  // namespace qz::tool
