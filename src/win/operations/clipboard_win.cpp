#include "win/operations/clipboard_win.h"

#include <cstdio>
#include <cstring>
#include <cwchar>
#include <new>
#include <string>
#include <vector>

#include "core/operations/clipboard.h"
#include "win/base/app_state_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/operations/line_edit_win.h"
#include "win/view/command_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"

namespace qz {
namespace {

constexpr char kNoMemory[] = "メモリが足りません。";
constexpr char kCannotLock[] = "メモリをロックできません。";

// The clipboard, open for as long as the owner lives.
class OpenedClipboard {
public:
    explicit OpenedClipboard(HWND owner) : open_(OpenClipboard(owner) != FALSE) {}
    OpenedClipboard(const OpenedClipboard&) = delete;
    OpenedClipboard& operator=(const OpenedClipboard&) = delete;
    ~OpenedClipboard() {
        if (open_) CloseClipboard();
    }
    explicit operator bool() const { return open_; }

private:
    bool open_;
};

// Global memory, locked for as long as the owner lives.
class LockedGlobal {
public:
    explicit LockedGlobal(HGLOBAL block) : block_(block), data_(static_cast<char*>(GlobalLock(block))) {}
    LockedGlobal(const LockedGlobal&) = delete;
    LockedGlobal& operator=(const LockedGlobal&) = delete;
    ~LockedGlobal() {
        if (data_) GlobalUnlock(block_);
    }
    char* data() const { return data_; }

private:
    HGLOBAL block_;
    char* data_;
};

// Global memory of `size` bytes holding `bytes`; empty when it cannot be had
// (said over `owner`).
unique_global global_copy(HWND owner, const void* bytes, std::size_t size) {
    unique_global block(GlobalAlloc(GMEM_MOVEABLE, size));
    if (!block) {
        show_error(owner, kNoMemory);
        return block;
    }
    LockedGlobal locked(block.get());
    if (!locked.data()) {
        show_error(owner, kCannotLock);
        block.reset();
        return block;
    }
    std::memcpy(locked.data(), bytes, size);
    return block;
}

// The characters code page 932 cannot hold, as the status bar tells them.
std::string lost_notice(const std::vector<char32_t>& lost) {
    std::string shown;
    for (std::size_t i = 0; i < lost.size() && i < 5; ++i) {
        char code[16];
        std::snprintf(code, sizeof code, "%sU+%04X", i ? " " : "", static_cast<unsigned>(lost[i]));
        shown += code;
    }
    if (lost.size() > 5) shown += " ...";
    return "Shift-JIS にない文字 " + shown + " を「〓」にしました。";
}

// The text on the clipboard as code page 932: its CF_UNICODETEXT converted
// with the code page's own table (characters it cannot hold become "〓",
// added to *lost), else its CF_TEXT bytes; up to its zero and never past the
// block. A failure is said over `owner`.
bool read_clipboard_text(HWND owner, std::string& text, std::vector<char32_t>& lost) {
    OpenedClipboard clipboard(app().main_window);
    const bool unicode = clipboard && IsClipboardFormatAvailable(CF_UNICODETEXT);
    HANDLE data = clipboard ? GetClipboardData(unicode ? CF_UNICODETEXT : CF_TEXT) : nullptr;
    if (!data) {
        show_error(owner, "クリップボードから読みとれません。");
        return false;
    }
    LockedGlobal locked(data);
    if (!locked.data()) {
        show_error(owner, kCannotLock);
        return false;
    }
    if (unicode) {
        const auto* wide_text = reinterpret_cast<const wchar_t*>(locked.data());
        text = narrow(std::wstring_view(wide_text, wcsnlen(wide_text, GlobalSize(data) / sizeof(wchar_t))), &lost);
    } else {
        text.assign(locked.data(), strnlen(locked.data(), GlobalSize(data)));
    }
    return true;
}

}  // namespace

bool copy_lines_to_clipboard(HWND owner) {
    try {
        const std::string text = selected_lines_text(editor());
        const std::wstring unicode = wide(text);
        unique_global block = global_copy(owner, text.c_str(), text.size() + 1);
        if (!block) return false;
        unique_global unicode_block =
            global_copy(owner, unicode.c_str(), (unicode.size() + 1) * sizeof(wchar_t));
        if (!unicode_block) return false;
        // Both forms, so that a program reading either gets the same text
        // whatever code page the system runs it in.
        OpenedClipboard clipboard(app().main_window);
        if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block.get()) ||
            !SetClipboardData(CF_UNICODETEXT, unicode_block.get())) {
            show_error(owner, "クリップボードにコピーできません。");
            return false;
        }
        unicode_block.release();
        block.release();  // the clipboard's now
        return true;
    } catch (const std::bad_alloc&) {
        show_error(owner, kNoMemory);
        return false;
    }
}

void cut_lines(HWND owner) {
    if (copy_lines_to_clipboard(owner)) delete_selected_lines(owner);
}

void paste_lines() {
    HWND list = app().line_list;
    HWND focus = GetFocus();
    if (focus != list) {
        if (focus) SendMessageW(focus, WM_PASTE, 0, 0);
        update_command_state();
        return;
    }
    try {
        std::string text;
        std::vector<char32_t> lost;
        if (!read_clipboard_text(list, text, lost)) return;
        paste_text(editor(), std::move(text));
        if (!lost.empty()) show_status_message(lost_notice(lost).c_str());
    } catch (const std::bad_alloc&) {
        show_error(list, kNoMemory);
        return;
    }
    mirror_model();
    if (editor().current() >= 0) show_line_position(editor().current());
    update_command_state();
}

}  // namespace qz
