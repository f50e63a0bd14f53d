#include <windows.h>

#include "win/app/application.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
    return qz::run_application(instance, command_line, show_command);
}
