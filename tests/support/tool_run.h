// Running qzotool in-process for the tool's tests, and reading a file whole.
#pragma once

#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "tool/qzotool.h"

namespace qz::test {

struct ToolResult {
    int status;
    std::string out, err;
};

inline ToolResult run_tool(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = tool::run(args, out, err);
    return {status, out.str(), err.str()};
}

inline std::string read_bytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace qz::test
