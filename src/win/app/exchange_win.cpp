#include "win/app/exchange_win.h"
#include "core/exchange/text_encoding.h"

#include <commctrl.h>

#include <algorithm>
#include <functional>
#include <new>
#include <numeric>
#include <string>
#include <vector>

#include "core/document/file_check.h"
#include "core/exchange/exchange_io.h"
#include "core/exchange/media_export.h"
#include "platform/file_write.h"
#include "win/base/wide_win.h"
#include "core/image/picture.h"
#include "core/syntax/scan.h"
#include "win/app/data_file_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/app_state_win.h"
#include "win/base/file_dialog_win.h"
#include "platform/file_read.h"
#include "win/base/message_box_win.h"
#include "win/base/picture_win.h"
#include "win/operations/export_dialog_win.h"
#include "win/operations/import_dialog_win.h"
#include "win/operations/line_edit_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"

namespace qz {
namespace {

constexpr char kImportFilter[] =
    "カードのファイル (*.txt;*.tsv;*.csv;*.gift)\0*.txt;*.tsv;*.csv;*.gift\0すべてのファイル (*.*)\0*.*\0";
constexpr char kTsvFilter[] =
    "タブ区切りテキスト (*.tsv)\0*.tsv\0テキスト (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0";
constexpr char kCsvFilter[] = "CSV (*.csv)\0*.csv\0テキスト (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0";
constexpr char kTextFilter[] = "テキスト (*.txt)\0*.txt\0すべてのファイル (*.*)\0*.*\0";

// Leaving the editing pane commits its pending edit: the document is then
// what the user sees.
void focus_list() {
    if (app().line_list && GetFocus() != app().line_list) SetFocus(app().line_list);
}

// A new document nothing was typed into yet: untitled, only blank lines.
bool is_new_document(const CardDocument& doc) {
    return doc.file_name == UNTITLED_NAME &&
           std::all_of(doc.begin(), doc.end(), [](const DataLine& line) { return is_blank(&line); });
}

void insert_imported(std::vector<DataLine> lines) {
    EditorModel& model = editor();
    const int current = model.current();
    const int position = is_new_document(model.doc()) || current < 0 ? 0 : current + 1;
    const int count = static_cast<int>(lines.size());
    const int cards = static_cast<int>(
        std::count_if(lines.begin(), lines.end(), [](const DataLine& l) { return l.kind() != LINE_TITLE; }));
    insert_lines(position, std::move(lines));
    std::vector<int> inserted(static_cast<std::size_t>(count));
    std::iota(inserted.begin(), inserted.end(), position);
    model.set_selection(inserted, position);
    go_to_line(position, true);
    const std::string said = format_decimal(cards) + " 枚のカードを挿入しました。";
    show_status_message(said.c_str());
}

std::optional<std::string> browse_export(HWND owner, ExchangeFormat format, const std::string& proposed) {
    const char* filter = format == ExchangeFormat::tsv   ? kTsvFilter
                         : format == ExchangeFormat::csv ? kCsvFilter
                                                         : kTextFilter;
    return choose_save_file(owner, "エクスポート", filter, export_extension(format) + 1, proposed);
}

// What the user should know about cards the file does not hold.
std::string export_notes(const ExportResult& result, ExchangeFormat format, int skipped, const AikenLeftOut& why) {
    std::string notes;
    if (result.left_out > 0) {
        notes += "\nこの形式で書き出せない問題 " + format_decimal(result.left_out) + " 問は書き出していません。";
        if (format == ExchangeFormat::aiken) {
            if (why.not_multiple_choice > 0)
                notes += "\n　選択肢数が 2～9 のタイトルにない問題: " + format_decimal(why.not_multiple_choice) + " 問";
            if (why.too_few_answers > 0)
                notes += "\n　タイトルにほかの答えがなく、誤りの選択肢を作れない問題: " +
                         format_decimal(why.too_few_answers) + " 問";
            if (why.unwritable > 0)
                notes += "\n　問題か選択肢が空の問題: " + format_decimal(why.unwritable) + " 問";
        }
    }
    if (result.cut_short > 0)
        notes += "\n答えの組み合わせが多すぎる問題 " + format_decimal(result.cut_short) +
                 " 問は、展開できたところまでの答えだけを書き出しました。";
    if (!result.unread_pictures.empty()) {
        notes += "\n読めない画像 " + format_decimal(static_cast<int>(result.unread_pictures.size())) +
                 " 個は、ファイルを含めずに参照だけを書き出しました。";
        for (const std::string& reference : result.unread_pictures) notes += "\n　" + reference;
    }
    if (skipped > 0)
        notes += "\n選択した行のうち問題でない " + format_decimal(skipped) + " 行は書き出していません。";
    if (result.undecodable > 0)
        notes += "\nShift-JIS として読めないバイトが " + format_decimal(static_cast<int>(result.undecodable)) +
                 " 箇所あり、置換文字 (U+FFFD) として書き出しました。";
    return notes;
}

}  // namespace

void import_cards_command(HWND main_window) {
    focus_list();
    const std::optional<std::string> path = choose_open_file(main_window, "インポート", kImportFilter, "txt");
    if (!path) return;
    std::string bytes;
    const ReadResult read = read_file_bytes(*path, bytes, kMaxImportFileBytes);
    if (!read.ok()) {
        const std::string said = read.refusal == FileRefusal::none
                                     ? kReadFailedMessage + ("\r\n" + utf8_to_cp932(*path))
                                     : kReadFailedMessage + ("\r\n" + read.message + "\r\n" + utf8_to_cp932(*path));
        show_error(main_window, said.c_str());
        return;
    }
    ImportDialogRequest request;
    request.bytes = bytes;
    request.file_name = *path;
    request.groups = document_group_names(document());
    request.version = document().version;
    std::optional<std::vector<DataLine>> lines = ask_import(main_window, request);
    if (!lines || lines->empty()) return;
    insert_imported(std::move(*lines));
}

namespace {

// The pictures of the cards copied into media_folder_of(path) and their
// references rewritten; false when the user stopped or a copy could not be
// written (after a message).
bool write_export_media(HWND owner, std::vector<ExchangeCard>& cards, const std::string& path,
                        const std::function<std::optional<std::string>(const std::string&)>& picture_bytes) {
    const MediaExport media = gather_media(cards, picture_bytes);
    if (!media.unread.empty()) {
        std::string said = "次の画像を読めないため、フォルダーに書き出せません。";
        for (std::size_t i = 0; i < media.unread.size() && i < 10; ++i) {
            said += "\n" + media.unread[i].reference + "（";
            for (std::size_t k = 0; k < media.unread[i].rows.size() && k < 5; ++k)
                said += (k ? "、" : "") + format_decimal(media.unread[i].rows[k]) + " 行目";
            said += "）";
        }
        if (media.unread.size() > 10) said += "\n…";
        said += "\n\n残りを書き出しますか？";
        if (message_box(owner, said.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    }
    if (media.files.empty()) return true;
    const std::string folder = media_folder_of(path);
    if (!CreateDirectoryW(wide_path(folder).c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        const std::string said = "フォルダーを作れません。\n" + utf8_to_cp932(folder) + "\n" + system_error_text(GetLastError());
        show_error(owner, said.c_str());
        return false;
    }
    for (const MediaCopy& copy : media.files) {
        const std::string target = folder + "\\" + copy.name;
        if (const DWORD error = replace_file_contents(target, copy.bytes)) {
            const std::string said = "書き込みできません。\n" + utf8_to_cp932(target) + "\n" + system_error_text(error);
            show_error(owner, said.c_str());
            return false;
        }
    }
    return true;
}

}  // namespace

std::string media_folder_of(const std::string& export_path) {
    const std::size_t slash = export_path.find_last_of("\\/");
    const std::size_t dot = export_path.rfind('.');
    const std::size_t end = dot != std::string::npos && (slash == std::string::npos || dot > slash) ? dot : export_path.size();
    return export_path.substr(0, end) + "_media";
}

void export_cards_command(HWND main_window) {
    focus_list();
    Application& a = app();
    ExportDialogRequest request;
    request.document_name = document().file_name;
    request.selected_lines = editor().selected_count();
    request.format = static_cast<ExchangeFormat>(std::min<int>(a.prefs.ExportFormat, static_cast<int>(ExchangeFormat::moodle_xml)));
    request.encoding = static_cast<TextEncoding>(std::min<int>(a.prefs.ExportEncoding, 2));
    request.browse = browse_export;
    request.path_fits = path_fits;
    const std::optional<ExportChoice> choice = ask_export(main_window, request);
    if (!choice) return;
    a.prefs.ExportFormat = static_cast<std::uint8_t>(choice->format);
    a.prefs.ExportEncoding = static_cast<std::uint8_t>(choice->encoding);

    int skipped = 0;
    const std::vector<int> selected = choice->selection ? editor().selected() : std::vector<int>{};
    std::vector<ExchangeCard> cards =
        cards_from_document(document(), choice->selection ? &selected : nullptr, choice->selection ? &skipped : nullptr,
                            format_needs_alternatives(choice->format));
    ExportOptions options;
    options.encoding = choice->encoding;
    options.picture_bytes = [](const std::string& reference) -> std::optional<std::string> {
        std::string bytes;
        if (!read_file_bytes(resolve_image_path(reference), bytes, kMaxPictureFileBytes).ok()) return std::nullopt;
        return bytes;
    };
    const bool delimited = choice->format == ExchangeFormat::tsv || choice->format == ExchangeFormat::csv;
    if (choice->media && delimited && !write_export_media(main_window, cards, choice->path, options.picture_bytes))
        return;
    AikenLeftOut why;
    const ExportResult result = cards.empty() ? ExportResult{} : export_cards(cards, choice->format, options, &why);
    if (result.cards == 0) {
        const std::string said = "書き出すカードがありません。" + export_notes(result, choice->format, 0, why);
        message_box(main_window, said.c_str(), MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (const DWORD error = replace_file_contents(choice->path, result.bytes)) {
        const std::string said = "書き込みできません。\n" + utf8_to_cp932(choice->path) + "\n" + system_error_text(error);
        show_error(main_window, said.c_str());
        return;
    }
    const std::string done = format_decimal(result.cards) + " 枚のカードを書き出しました。";
    show_status_message(done.c_str());
    const std::string notes = export_notes(result, choice->format, skipped, why);
    if (!notes.empty()) message_box(main_window, (done + notes).c_str(), MB_OK | MB_ICONINFORMATION);
}

}  // namespace qz
