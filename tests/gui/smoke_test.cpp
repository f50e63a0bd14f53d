#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/application.h"
#include "resources/resource.h"

namespace {

TEST(Platform, AnsiCodePageIs932) { EXPECT_EQ(GetACP(), 932u); }

TEST(Platform, JapaneseResourceStringLoadsAsCp932) {
    char buf[128] = {};
    int n = LoadStringA(qz::app().instance, CMD_NEW, buf, sizeof buf);
    // "新規作成" in code page 932.
    EXPECT_EQ(std::string(buf, n), "\x90\x56\x8B\x4B\x8D\xEC\x90\xAC");
    EXPECT_EQ(std::string(buf, n), "新規作成");
}

TEST(MainWindow, HasClassAndCaption) {
    HWND hwnd = qz::create_main_window(SW_SHOWNORMAL);
    ASSERT_NE(hwnd, nullptr);
    char cls[64] = {}, caption[64] = {};
    GetClassNameA(hwnd, cls, sizeof cls);
    GetWindowTextA(hwnd, caption, sizeof caption);
    EXPECT_STREQ(cls, "QuizoEditor");
    EXPECT_STREQ(caption, "Quizo Editor");
    EXPECT_TRUE(IsWindowVisible(hwnd));
    DestroyWindow(hwnd);
    EXPECT_FALSE(IsWindow(hwnd));
}

}  // namespace
