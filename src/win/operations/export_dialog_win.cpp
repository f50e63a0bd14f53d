#include "win/operations/export_dialog_win.h"

#include <shlwapi.h>

#include <iterator>

#include "resources/export_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "core/exchange/text_encoding.h"
#include "win/base/window_text_win.h"
#include "win/operations/import_dialog_win.h"

namespace qz {
namespace {

// The encodings a file is written in (their order is TextEncoding's).
constexpr TextEncoding kEncodings[] = {TextEncoding::utf8, TextEncoding::utf8_bom, TextEncoding::cp932};

struct ExportDialog {
    explicit ExportDialog(const ExportDialogRequest& r) : request(r) {}
    const ExportDialogRequest& request;
    ExportChoice choice;
    // The path the save dialog gave (it asked about replacing the file).
    std::string browsed;
};

ExportDialog* state_of(HWND dialog) {
    return reinterpret_cast<ExportDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

ExchangeFormat chosen_format(HWND dialog) {
    const int f = static_cast<int>(SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0));
    return f < 0 ? ExchangeFormat::tsv : static_cast<ExchangeFormat>(f);
}

// The path typed in (UTF-8), and one shown there.
std::string path_text(HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_EXPORT_PATH);
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(edit)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(edit, text.data(), static_cast<int>(text.size()))));
    return utf8_path(text);
}

void show_path(HWND dialog, const std::string& path) {
    SetDlgItemTextW(dialog, IDC_EXPORT_PATH, wide_path(path).c_str());
}

// A combo box's item given as code page 932.
void add_item(HWND dialog, int id, const char* cp932) {
    SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(cp932).c_str()));
}

// Pictures go beside a TSV or CSV file; the other formats have no place
// for them (Moodle XML carries its own inside).
bool takes_media(ExchangeFormat format) { return format == ExchangeFormat::tsv || format == ExchangeFormat::csv; }

void enable_media(HWND dialog) {
    EnableWindow(GetDlgItem(dialog, IDC_EXPORT_MEDIA), takes_media(chosen_format(dialog)));
}

INT_PTR on_init(HWND dialog, ExportDialog& d) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&d));
    center_dialog(dialog);
    for (int f = 0; f <= static_cast<int>(ExchangeFormat::moodle_xml); ++f)
        add_item(dialog, IDC_EXPORT_FORMAT, exchange_format_label(static_cast<ExchangeFormat>(f)));
    for (TextEncoding e : kEncodings)
        add_item(dialog, IDC_EXPORT_ENCODING, encoding_name(e));
    const ExportDialogRequest& r = d.request;
    SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_SETCURSEL, static_cast<WPARAM>(r.format), 0);
    int encoding = 0;
    for (int i = 0; i < static_cast<int>(std::size(kEncodings)); ++i)
        if (kEncodings[i] == r.encoding) encoding = i;
    SendDlgItemMessageW(dialog, IDC_EXPORT_ENCODING, CB_SETCURSEL, static_cast<WPARAM>(encoding), 0);
    EnableWindow(GetDlgItem(dialog, IDC_EXPORT_SELECTION), r.selected_lines > 0);
    enable_media(dialog);
    CheckRadioButton(dialog, IDC_EXPORT_WHOLE, IDC_EXPORT_SELECTION,
                     r.selected_lines > 1 ? IDC_EXPORT_SELECTION : IDC_EXPORT_WHOLE);
    // The document's name with the format's extension.
    std::wstring name = wide_path(r.document_name);
    name.resize(static_cast<std::size_t>(PathFindExtensionW(name.c_str()) - name.c_str()));
    SetDlgItemTextW(dialog, IDC_EXPORT_PATH, (name + wide(export_extension(r.format))).c_str());
    return TRUE;
}

void on_format(HWND dialog) {
    const std::string path = path_text(dialog);
    const std::string changed = with_export_extension(path, chosen_format(dialog));
    if (changed != path) show_path(dialog, changed);
    enable_media(dialog);
}

// The full path of a file's name, as the system resolves it.
std::string full_path_of(const std::string& path) {
    const std::wstring name = wide_path(path);
    const DWORD size = GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = GetFullPathNameW(name.c_str(), size, full.data(), nullptr);
    return length > 0 && length < size ? utf8_path(full.substr(0, length)) : path;
}

void on_browse(HWND dialog, ExportDialog& d) {
    if (!d.request.browse) return;
    const std::optional<std::string> chosen = d.request.browse(dialog, chosen_format(dialog), path_text(dialog));
    if (!chosen) return;
    show_path(dialog, *chosen);
    d.browsed = *chosen;
}

void on_ok(HWND dialog, ExportDialog& d) {
    HWND edit = GetDlgItem(dialog, IDC_EXPORT_PATH);
    const std::string path = path_text(dialog);
    if (path.empty()) {
        message_box(dialog, "ファイル名を入力してください。", MB_OK | MB_ICONINFORMATION);
        SetFocus(edit);
        return;
    }
    if (d.request.path_fits && !d.request.path_fits(dialog, path)) {
        SetFocus(edit);
        return;
    }
    const std::string full = full_path_of(path);
    const DWORD attributes = GetFileAttributesW(wide_path(full).c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && path != d.browsed) {
        if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
            show_error(dialog, (utf8_to_cp932(full) + " はフォルダーです。").c_str());
            SetFocus(edit);
            return;
        }
        const std::string question = utf8_to_cp932(full) + " は既にあります。\n上書きしますか？";
        if (message_box(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) {
            SetFocus(edit);
            return;
        }
    }
    d.choice.format = chosen_format(dialog);
    const int encoding = static_cast<int>(SendDlgItemMessageW(dialog, IDC_EXPORT_ENCODING, CB_GETCURSEL, 0, 0));
    d.choice.encoding = kEncodings[encoding < 0 ? 0 : encoding];
    d.choice.selection = IsDlgButtonChecked(dialog, IDC_EXPORT_SELECTION) == BST_CHECKED;
    d.choice.media = takes_media(d.choice.format) && IsDlgButtonChecked(dialog, IDC_EXPORT_MEDIA) == BST_CHECKED;
    d.choice.path = full;
    EndDialog(dialog, IDOK);
}

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_INITDIALOG) return on_init(dialog, *reinterpret_cast<ExportDialog*>(lparam));
    ExportDialog* d = state_of(dialog);
    if (!d) return FALSE;
    switch (msg) {
    case WM_HELP: show_help(dialog, kHelpContext, kTopicExport); return TRUE;
    case WM_COMMAND:
        switch (LOWORD(wparam)) {
        case IDOK: on_ok(dialog, *d); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicExport); return TRUE;
        case IDC_EXPORT_BROWSE: on_browse(dialog, *d); return TRUE;
        case IDC_EXPORT_FORMAT:
            if (HIWORD(wparam) == CBN_SELCHANGE) on_format(dialog);
            return TRUE;
        }
        break;
    }
    return FALSE;
}

}  // namespace

const char* export_extension(ExchangeFormat format) {
    switch (format) {
    case ExchangeFormat::tsv: return ".tsv";
    case ExchangeFormat::csv: return ".csv";
    case ExchangeFormat::gift:
    case ExchangeFormat::aiken: return ".txt";
    case ExchangeFormat::moodle_xml: return ".xml";
    }
    return ".txt";
}

std::string with_export_extension(const std::string& path, ExchangeFormat format) {
    const std::wstring wide_name = wide_path(path);
    const wchar_t* name = PathFindFileNameW(wide_name.c_str());
    if (!*name) return path;
    const std::size_t dot = static_cast<std::size_t>(PathFindExtensionW(name) - wide_name.c_str());
    const std::wstring extension = wide_name.substr(dot);
    bool known = extension.empty();
    for (const wchar_t* own : {L".tsv", L".csv", L".txt", L".gift", L".xml"})
        known = known || lstrcmpiW(extension.c_str(), own) == 0;
    return known ? utf8_path(wide_name.substr(0, dot)) + export_extension(format) : path;
}

std::optional<ExportChoice> ask_export(HWND owner, const ExportDialogRequest& request) {
    ExportDialog d(request);
    if (DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_EXPORT), owner, guarded_dialog_proc<procedure>,
                        reinterpret_cast<LPARAM>(&d)) != IDOK)
        return std::nullopt;
    return d.choice;
}

}  // namespace qz
