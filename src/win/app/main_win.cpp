#include <windows.h>

#include <shlwapi.h>

#include "win/app/application_win.h"
#include "win/base/wide_win.h"

// The command line is taken in UTF-16, so that a file name any code page
// cannot hold still reaches the editor, which keeps paths as UTF-8.
int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int show_command) {
    const std::string arguments = qz::utf8_path(PathGetArgsW(GetCommandLineW()));
    return qz::run_application(instance, arguments.c_str(), show_command);
}
