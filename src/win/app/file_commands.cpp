#include "win/app/file_commands.h"

#include <commdlg.h>

#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include "core/prefs/settings_file.h"
#include "resources/resource.h"
#include "win/app/application.h"
#include "win/app/data_file_win.h"
#include "win/base/message_box.h"
#include "win/view/line_list_win.h"
#include "win/view/pane_host.h"

namespace qz {
namespace {

constexpr DWORD kDialogBufferSize = 4096;

constexpr char kFileFilter[] =
    "Quizo データファイル(*.qzf)\0*.QZF\0すべてのファイル(*.*)\0*.*\0";

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

// The open or save dialog for data files, starting from the document's name.
std::optional<std::string> choose_file(HWND owner, bool save) {
    return run_file_dialog(owner, save, nullptr, kFileFilter, "qzf", app().doc.file_name);
}

std::string full_path(const std::string& path) {
    char full[MAX_PATH];
    const DWORD length = GetFullPathNameA(path.c_str(), MAX_PATH, full, nullptr);
    return length > 0 && length < MAX_PATH ? std::string(full, length) : path;
}

HMENU file_menu(HWND main_window) {
    HMENU bar = GetMenu(main_window);
    return bar ? GetSubMenu(bar, 0) : nullptr;
}

}  // namespace

void set_file_dialog_hook(FileDialogHook hook) { file_dialog_hook() = std::move(hook); }

std::optional<std::string> choose_open_file(HWND owner, const char* title, const char* filter,
                                            const char* default_extension) {
    return run_file_dialog(owner, false, title, filter, default_extension, "");
}

void update_title() {
    if (!app().main_window) return;
    std::string title = app().doc.file_name + " - " + kAppCaption;
    SetWindowTextA(app().main_window, title.c_str());
}

bool confirm_discard(HWND owner) {
    CardDocument& doc = app().doc;
    if (!app().editor.modified()) return true;
    std::string question = doc.file_name + " は変更されています。保存しますか？";
    switch (message_box(owner, question.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return save_data_file(owner);
    case IDNO: return true;
    default: return false;
    }
}

bool new_document(HWND owner) {
    if (!confirm_discard(owner)) return false;
    CardDocument& doc = app().doc;
    app().editor.reset();
    doc.current = -1;
    doc.clear();
    doc.file_name = UNTITLED_NAME;
    doc.version = 14;
    doc.append(DataLine(LINE_TEXT, ""));
    update_title();
    fill_line_list();
    return true;
}

bool path_fits(HWND owner, const std::string& path) {
    if (path.size() <= kMaxPathLength) return true;
    std::string text = "ファイル名が長すぎます（259 バイトまで）。\n" + path;
    show_error(owner, text.c_str());
    return false;
}

void open_document(HWND owner, const std::string& path) {
    if (!path_fits(owner, path)) return;
    CardDocument& doc = app().doc;
    app().editor.reset();
    doc.file_name = path;
    // Nothing of the file that was open stays in view behind a message about
    // this one.
    doc.current = -1;
    destroy_pane();
    doc.clear();
    empty_line_list();
    if (!load_data_file(owner)) new_document(owner);
}

void open_file_command(HWND owner) {
    if (!confirm_discard(owner)) return;
    if (std::optional<std::string> chosen = choose_file(owner, false))
        open_document(owner, *chosen);
}

bool save_as(HWND owner) {
    std::optional<std::string> chosen = choose_file(owner, true);
    if (!chosen || !path_fits(owner, *chosen)) return false;
    app().doc.file_name = *chosen;
    return save_data_file(owner);
}

void add_recent_file(HWND owner, const std::string& path) {
    // One file is one entry however its path was written: entries are full
    // paths without "." or ".." steps (and letter case is compared ignoring
    // case), those read from the settings file too.
    auto& recent = app().prefs.recent_files;
    for (std::string& entry : recent) entry = full_path(entry);
    add_recent_file(recent, full_path(path));
    if (owner && app().main_window) rebuild_recent_menu(app().main_window);
}

void open_recent_file(HWND owner, int entry) {
    const auto& recent = app().prefs.recent_files;
    if (entry < 0 || entry >= static_cast<int>(recent.size())) return;
    std::string path = recent[entry];
    if (!confirm_discard(owner)) return;
    open_document(owner, path);
}

void clear_recent_files(HWND main_window) {
    app().prefs.recent_files.clear();
    rebuild_recent_menu(main_window);
}

void rebuild_recent_menu(HWND main_window) {
    HMENU menu = file_menu(main_window);
    if (!menu) return;
    for (int id = CMD_RECENT_FIRST; DeleteMenu(menu, id, MF_BYCOMMAND); ++id) {
    }
    const auto& recent = app().prefs.recent_files;
    for (std::size_t i = 0; i < recent.size(); ++i) {
        std::string text = "&" + std::to_string((i + 1) % 10) + " " + recent[i];
        InsertMenuA(menu, CMD_CLEAR_RECENT, MF_BYCOMMAND | MF_STRING,
                    CMD_RECENT_FIRST + i, text.c_str());
    }
    EnableMenuItem(menu, CMD_CLEAR_RECENT,
                   MF_BYCOMMAND | (recent.empty() ? MF_GRAYED | MF_DISABLED : MF_ENABLED));
    DrawMenuBar(main_window);
}

}  // namespace qz
