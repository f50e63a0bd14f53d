#include "win/operations/clipboard_win.h"

#include <cstring>
#include <new>
#include <string>

#include "core/operations/clipboard.h"
#include "win/base/app_state_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
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

// The CF_TEXT on the clipboard, up to its zero (and never past the block);
// a failure is said over `owner`.
bool read_clipboard_text(HWND owner, std::string& text) {
    OpenedClipboard clipboard(app().main_window);
    HANDLE data = clipboard ? GetClipboardData(CF_TEXT) : nullptr;
    if (!data) {
        show_error(owner, "クリップボードから読みとれません。");
        return false;
    }
    LockedGlobal locked(data);
    if (!locked.data()) {
        show_error(owner, kCannotLock);
        return false;
    }
    text.assign(locked.data(), strnlen(locked.data(), GlobalSize(data)));
    return true;
}

}  // namespace

bool copy_lines_to_clipboard(HWND owner) {
    try {
        const std::string text = selected_lines_text(editor());
        unique_global block(GlobalAlloc(GMEM_MOVEABLE, text.size() + 1));
        if (!block) {
            show_error(owner, kNoMemory);
            return false;
        }
        {
            LockedGlobal locked(block.get());
            if (!locked.data()) {
                show_error(owner, kCannotLock);
                return false;
            }
            std::memcpy(locked.data(), text.c_str(), text.size() + 1);
        }
        OpenedClipboard clipboard(app().main_window);
        if (!clipboard || !EmptyClipboard() || !SetClipboardData(CF_TEXT, block.get())) {
            show_error(owner, "クリップボードにコピーできません。");
            return false;
        }
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
        if (focus) SendMessageA(focus, WM_PASTE, 0, 0);
        update_command_state();
        return;
    }
    try {
        std::string text;
        if (!read_clipboard_text(list, text)) return;
        paste_text(editor(), std::move(text));
    } catch (const std::bad_alloc&) {
        show_error(list, kNoMemory);
        return;
    }
    mirror_model();
    if (editor().current() >= 0) show_line_position(editor().current());
    update_command_state();
}

}  // namespace qz
