#include "win/app/insert_image_win.h"

#include <shlwapi.h>

#include "win/base/app_state_win.h"
#include "win/base/file_dialog_win.h"
#include "win/base/message_box_win.h"
#include "win/view/pane_common_win.h"
#include "core/image/image_path.h"

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
    if (!chosen->empty() && !doc.file_name.empty() && ChrCmpIA(static_cast<unsigned char>((*chosen)[0]), static_cast<unsigned char>(doc.file_name[0])) == 0 &&
        message_box(main_window, "相対パスにしますか？", MB_YESNO | MB_ICONQUESTION) == IDYES) {
        if (std::optional<std::string> relative = relative_image_path(doc.file_name, *chosen))
            chosen = std::move(relative);
    }
    const std::string reference = image_reference(*chosen);
    if (target) {
        // The dialog may have left the focus elsewhere: the field's change
        // notice would not count as an edit, so the edit is marked here.
        SendMessageA(target, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(reference.c_str()));
        mark_pane_changed();
        SetFocus(target);
    }
}

}  // namespace qz
