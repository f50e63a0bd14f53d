// GUI tests run the real main window in this process under Wine.
#include <windows.h>

#include <gtest/gtest.h>

#include "win/app/application_win.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    qz::app().instance = GetModuleHandleA(nullptr);
    if (!qz::register_window_classes(qz::app().instance)) return 2;
    return RUN_ALL_TESTS();
}
