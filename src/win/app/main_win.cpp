#include <windows.h>

#include "win/app/application_win.h"

namespace {

// The editor reads and writes code page 932 text through the ANSI calls;
// under another code page every caption and line would be garbled and
// typed text could not be stored. Said in UTF-16 so that it reads in any
// code page.
constexpr wchar_t kWrongCodePage[] =
    L"Quizo Editor needs the Japanese code page (932), but this system runs "
    L"programs that do not use Unicode in another code page. Nothing has been "
    L"read or written.\n\n"
    L"On Windows, set \"Language for non-Unicode programs\" (the system locale) "
    L"to Japanese. Under Wine, start it with LC_ALL=ja_JP.UTF-8, for example:\n"
    L"    LC_ALL=ja_JP.UTF-8 wine qzoedit.exe\n\n"
    L"Quizo Editor は日本語のコード ページ (932) で動きますが、このシステムでは"
    L"Unicode 対応でないプログラムが別のコード ページで動いています。"
    L"ファイルは読み書きしていません。\n\n"
    L"Windows では「Unicode 対応ではないプログラムの言語」（システム ロケール）を"
    L"日本語にしてください。Wine では LC_ALL=ja_JP.UTF-8 を付けて起動してください。";

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR command_line, int show_command) {
    if (GetACP() != 932) {
        MessageBoxW(nullptr, kWrongCodePage, L"Quizo Editor", MB_OK | MB_ICONERROR);
        return 1;
    }
    return qz::run_application(instance, command_line, show_command);
}
