#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "resources/resource.h"
#include "win/app/application.h"

namespace {

TEST(Platform, AnsiCodePageAndResourceStringsAre932) {
    EXPECT_EQ(GetACP(), 932u);
    char buf[128] = {};
    const int n = LoadStringA(qz::app().instance, CMD_NEW, buf, sizeof buf);
    EXPECT_EQ(std::string(buf, n), "\x90\x56\x8B\x4B\x8D\xEC\x90\xAC");  // 新規作成
}

}  // namespace
