#include "win/app/insert_image_win.h"

#include "win/base/app_state_win.h"
#include "win/base/file_dialog_win.h"
#include "win/base/message_box_win.h"
#include "win/view/pane_common_win.h"
#include "core/exchange/picture_path.h"
#include "core/exchange/text_encoding.h"
#include "core/image/image_path.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

constexpr char kImageFilter[] =
    "画像ファイル\0*.bmp;*.png\0ビットマップ (*.bmp)\0*.bmp\0PNG (*.png)\0*.png\0すべてのファイル (*.*)\0*.*\0";

}  // namespace

void insert_image_reference(HWND main_window) {
    HWND target = GetFocus();
    std::optional<std::string> chosen = choose_open_file(main_window, "画像を挿入", kImageFilter, "bmp");
    if (!chosen) return;
    const CardDocument& doc = document();
    // Both paths are UTF-8; the drive letters are ASCII.
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (!chosen->empty() && !doc.file_name.empty() && lower((*chosen)[0]) == lower(doc.file_name[0]) &&
        message_box(main_window, "相対パスにしますか？", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        if (std::optional<std::string> relative = relative_image_path(doc.file_name, *chosen))
            chosen = std::move(relative);
    }
    // The line holds the reference in code page 932.
    const std::optional<std::string> held = reference_path(*chosen);
    if (!held) {
        show_error(main_window, (std::string(kPictureNameNotHeld) + "\n" + utf8_to_cp932(*chosen)).c_str());
        return;
    }
    const std::wstring reference = wide(image_reference(*held));
    if (target) {
        // The dialog may have left the focus elsewhere: the field's change
        // notice would not count as an edit, so the edit is marked here.
        SendMessageW(target, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(reference.c_str()));
        mark_pane_changed();
        SetFocus(target);
    }
}

}  // namespace qz
