#include "document/data_file_win.h"

#include <shlwapi.h>

#include <new>

#include "app/application.h"
#include "app/file_commands.h"
#include "app/message_box.h"
#include "app/win_handle.h"
#include "document/data_file.h"
#include "document/line_list_win.h"

namespace qz {

std::optional<std::string> read_whole_file(HWND owner, const std::string& path) {
    unique_file file(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    LARGE_INTEGER size{};
    if (file && GetFileSizeEx(file.get(), &size) && size.QuadPart < (1LL << 31)) {
        std::string bytes(static_cast<std::size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (bytes.empty() ||
            (ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
             read == bytes.size()))
            return bytes;
    }
    if (owner) show_error(owner, "ファイル読み込みに失敗しました。");
    return std::nullopt;
}

bool replace_file_contents(const std::string& path, const std::string& bytes) {
    char folder[MAX_PATH] = ".";
    if (path.size() < MAX_PATH) {
        lstrcpynA(folder, path.c_str(), MAX_PATH);
        PathRemoveFileSpecA(folder);
        if (!folder[0]) lstrcpyA(folder, ".");
    }
    char temp[MAX_PATH];
    if (!GetTempFileNameA(folder, "qzo", 0, temp)) return false;
    bool written = false;
    {
        unique_file file(CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                     FILE_ATTRIBUTE_NORMAL, nullptr));
        DWORD done = 0;
        written = file &&
                  (bytes.empty() || (WriteFile(file.get(), bytes.data(),
                                               static_cast<DWORD>(bytes.size()), &done, nullptr) &&
                                     done == bytes.size())) &&
                  FlushFileBuffers(file.get());
    }
    if (written &&
        MoveFileExA(temp, path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    DeleteFileA(temp);
    return false;
}

bool load_data_file(HWND owner) {
    CardDocument& doc = app().doc;
    // Nothing may be committed into the lines of the file being read.
    doc.current = -1;
    doc.clear();
    NulBytes nul;
    try {
        std::optional<std::string> bytes = read_whole_file(owner, doc.file_name);
        if (!bytes) return false;
        LoadResult result = read_data_file(std::move(*bytes), doc);
        if (result.magic_matched) add_recent_file(owner, doc.file_name);
        if (result.status != LoadStatus::ok) {
            if (owner) show_error(owner, load_status_message(result.status));
            doc.clear();
            return false;
        }
        nul = result.nul_bytes;
    } catch (const std::bad_alloc&) {
        doc.clear();
        if (owner) show_error(owner, "メモリが足りません。");
        return false;
    }
    // The NUL bytes are gone from the document, not yet from the file.
    if (nul.count > 0) doc.modified = true;
    update_title();
    fill_line_list();
    if (nul.count > 0 && owner)
        message_box(owner, nul_bytes_message(nul.first_line).c_str(), MB_OK | MB_ICONWARNING);
    return true;
}

bool save_data_file(HWND owner) {
    CardDocument& doc = app().doc;
    if (doc.file_name == UNTITLED_NAME) return save_as(owner);
    // Leaving the editing pane commits its pending edit.
    if (app().line_list) SetFocus(app().line_list);

    DWORD attributes = GetFileAttributesA(doc.file_name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY)) {
        std::string question = doc.file_name + " は読み込み専用ファイルです。保存しますか？";
        if (message_box(owner, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES)
            return false;
        SetFileAttributesA(doc.file_name.c_str(), FILE_ATTRIBUTE_NORMAL);
    }
    if (!replace_file_contents(doc.file_name, write_data_file(doc))) {
        show_error(owner, "書き込みできません。");
        return false;
    }
    doc.modified = false;
    update_title();
    return true;
}

}  // namespace qz
