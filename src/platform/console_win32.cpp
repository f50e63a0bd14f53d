#include "platform/console.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/wide_path_win32.h"

namespace qz {

std::vector<std::string> program_arguments(int, char**) {
    std::vector<std::string> args;
    int count = 0;
    LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &count);
    if (!wide) return args;
    for (int i = 1; i < count; ++i) args.push_back(path_to_utf8(wide[i]));
    LocalFree(wide);
    return args;
}

bool output_in_cp932() {
    UINT page = GetConsoleOutputCP();
    if (page == 0) page = GetOEMCP();
    return page == 932;
}

}  // namespace qz
