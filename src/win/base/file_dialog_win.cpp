#include "win/base/file_dialog_win.h"

#include <commdlg.h>

#include <cstring>

#include "win/base/message_box_win.h"

namespace qz {
namespace {

constexpr DWORD kDialogBufferSize = 4096;

FileDialogHook& file_dialog_hook() {
    static FileDialogHook hook;
    return hook;
}

// Runs the open or save dialog; the chosen path, or nothing when cancelled.
std::optional<std::string> run_file_dialog(HWND owner, bool save, const char* title, const char* filter,
                                           const char* default_extension, const std::string& proposed) {
    if (file_dialog_hook()) return file_dialog_hook()(owner, save, proposed);
    // Room for a longer choice than fits, so that it is refused by name
    // rather than by a dialog error.
    std::string path = proposed;
    path.resize(kDialogBufferSize);
    OPENFILENAMEA ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrTitle = title;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = path.data();
    ofn.nMaxFile = kDialogBufferSize;
    ofn.lpstrDefExt = default_extension;
    ofn.Flags = save ? OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST
                     : OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
    BOOL chosen = save ? GetSaveFileNameA(&ofn) : GetOpenFileNameA(&ofn);
    if (!chosen) {
        if (CommDlgExtendedError())
            show_error(owner, save ? "「ファイル名を付けて保存」でエラーが発生しました。"
                                   : "「ファイルを開く」でエラーが発生しました。");
        return std::nullopt;
    }
    path.resize(std::strlen(path.c_str()));
    return path;
}

}  // namespace

void set_file_dialog_hook(FileDialogHook hook) { file_dialog_hook() = std::move(hook); }

std::optional<std::string> choose_open_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension, const std::string& proposed) {
    return run_file_dialog(owner, false, title, filter, default_extension, proposed);
}

std::optional<std::string> choose_save_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension, const std::string& proposed) {
    return run_file_dialog(owner, true, title, filter, default_extension, proposed);
}

}  // namespace qz
