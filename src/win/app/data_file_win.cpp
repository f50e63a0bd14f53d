#include "win/app/data_file_win.h"
#include "win/base/wide_win.h"
#include "core/exchange/text_encoding.h"

#include <new>

#include "core/document/data_file.h"
#include "core/document/file_check.h"
#include "platform/file_read.h"
#include "win/base/message_box_win.h"

namespace qz {

std::optional<std::string> read_whole_file(HWND owner, const std::string& path) {
    std::string bytes;
    const ReadResult read = read_file_bytes(path, bytes, kMaxDataFileBytes);
    if (read.ok()) return bytes;
    // A refusal's reason and the file follow the message.
    if (owner)
        show_error(owner, read.refusal == FileRefusal::none
                              ? kReadFailedMessage
                              : (kReadFailedMessage + ("\r\n" + read.message + "\r\n" + utf8_to_cp932(path))).c_str());
    return std::nullopt;
}

ReadOutcome read_data_file_at(HWND owner, const std::string& path, CardDocument& into) {
    ReadOutcome outcome;
    try {
        std::optional<std::string> bytes = read_whole_file(owner, path);
        if (!bytes) return outcome;
        const std::string first(*bytes, 0, 3);
        into.file_name = path;
        outcome.result = read_data_file(std::move(*bytes), into);
        outcome.magic_matched = outcome.result.magic_matched;
        if (outcome.result.status != LoadStatus::ok) {
            if (owner)
                show_error(owner,
                           (std::string(load_status_message(outcome.result.status)) + utf8_hint(first)).c_str());
            into.clear();
            return outcome;
        }
    } catch (const std::bad_alloc&) {
        into.clear();
        if (owner) show_error(owner, "メモリが足りません。");
        return outcome;
    }
    outcome.ok = true;
    return outcome;
}

bool write_data_file_at(HWND owner, const CardDocument& doc, const std::string& path) {
    DWORD attributes = GetFileAttributesW(wide_path(path).c_str());
    const bool read_only =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    if (read_only) {
        std::string question = utf8_to_cp932(path) + " は読み込み専用ファイルです。保存しますか？";
        if (message_box(owner, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    }
    if (DWORD error = replace_file_contents(path, write_data_file(doc), read_only)) {
        std::string text = "書き込みできません。\n" + utf8_to_cp932(path) + "\n" + system_error_text(error);
        show_error(owner, text.c_str());
        return false;
    }
    return true;
}

}  // namespace qz
