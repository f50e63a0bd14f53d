#include "win/app/exchange_win.h"
#include "core/exchange/text_encoding.h"

#include <commctrl.h>

#include <algorithm>
#include <new>
#include <numeric>
#include <string>
#include <vector>

#include "core/document/file_check.h"
#include "core/exchange/exchange_io.h"
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
    const std::vector<ExchangeCard> cards =
        cards_from_document(document(), choice->selection ? &selected : nullptr, choice->selection ? &skipped : nullptr);
    ExportOptions options;
    options.encoding = choice->encoding;
    options.picture_bytes = [](const std::string& reference) -> std::optional<std::string> {
        std::string bytes;
        if (!read_file_bytes(resolve_image_path(reference), bytes, kMaxPictureFileBytes).ok()) return std::nullopt;
        return bytes;
    };
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
