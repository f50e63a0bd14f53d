// GUI tests run the real main window in this process under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "tool/cp932_output.h"
#include "win/app/application_win.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // The tests compare qzotool's output, run in this process, with the
    // editor's code page 932 texts.
    qz::tool::set_cp932_output(true);
    qz::app().instance = GetModuleHandleA(nullptr);
    if (!qz::register_window_classes(qz::app().instance)) return 2;
    return RUN_ALL_TESTS();
}
