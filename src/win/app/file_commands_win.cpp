#include "win/app/file_commands_win.h"
#include "win/base/wide_win.h"
#include "core/exchange/text_encoding.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <new>
#include <optional>

#include "core/prefs/settings_file.h"
#include "platform/file_lock.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/app/data_file_win.h"
#include "win/app/recovery_win.h"
#include "win/base/choice_box_win.h"
#include "win/base/file_dialog_win.h"
#include "win/base/message_box_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_host_win.h"

namespace qz {
namespace {

constexpr char kFileFilter[] =
    "Quizo データファイル(*.qzf)\0*.QZF\0すべてのファイル(*.*)\0*.*\0";

// The open or save dialog for data files, starting from the document's name.
std::optional<std::string> choose_file(HWND owner, bool save) {
    return save ? choose_save_file(owner, nullptr, kFileFilter, "qzf", editor().file_name())
                : choose_open_file(owner, nullptr, kFileFilter, "qzf", editor().file_name());
}

HMENU file_menu(HWND main_window) {
    HMENU bar = GetMenu(main_window);
    return bar ? GetSubMenu(bar, 0) : nullptr;
}

FileReadObserver file_read_observer = nullptr;

// When the file was last written and how large it was, as the document last
// read or wrote it: a save over a file another program changed since asks.
struct FileStamp {
    FILETIME written;
    std::uint64_t size;
    bool operator==(const FileStamp& other) const {
        return CompareFileTime(&written, &other.written) == 0 && size == other.size;
    }
};

// What the open document has of its file beside the model (which holds its
// name and whether it is read-only): the lock, none for an untitled or a
// read-only document, and the stamp it was read or written with.
struct DocumentFile {
    FileLock lock;
    std::optional<FileStamp> stamp;
};
DocumentFile& document_file() {
    static DocumentFile file;
    return file;
}

std::optional<FileStamp> stamp_of(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(wide_path(path).c_str(), GetFileExInfoStandard, &data) ||
        (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return std::nullopt;
    return FileStamp{data.ftLastWriteTime, (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow};
}

// The view of a document the model has just taken: the list filled anew,
// the pane on line 0, the title.
void show_new_document() {
    fill_line_list();
    update_title();
}

// The model's document emptied and nothing of it left in view; its
// recovery file and its lock go with it.
void close_document() {
    remove_recovery_file();
    document_file() = DocumentFile();
    put_away_pane();
    editor().close_document();
    empty_line_list();
}

void start_new_document() {
    close_document();
    editor().new_document();
    show_new_document();
}

}  // namespace

void set_file_read_observer(FileReadObserver observer) { file_read_observer = observer; }

void update_title() {
    if (!app().main_window) return;
    // The name as the system spells it, whatever code page holds it.
    const std::string rest = std::string(editor().read_only() ? " (読み取り専用)" : "") + " - " + kAppCaption;
    const std::wstring title = wide_path(editor().file_name()) + wide(rest);
    SetWindowTextW(app().main_window, title.c_str());
}

bool confirm_discard(HWND owner) {
    const CardDocument& doc = document();
    if (!editor().modified()) return true;
    std::string question = utf8_to_cp932(doc.file_name) + " は変更されています。保存しますか？";
    switch (message_box(owner, question.c_str(), MB_YESNOCANCEL | MB_ICONQUESTION)) {
    case IDYES: return save_document(owner);
    case IDNO:
        // Closed without saving: nothing of it is to be offered again.
        remove_recovery_file();
        return true;
    default: return false;
    }
}

bool new_document(HWND owner) {
    if (!confirm_discard(owner)) return false;
    start_new_document();
    return true;
}

bool path_fits(HWND owner, const std::string& path) {
    // The system's limit counts UTF-16 units.
    if (wide_path(path).size() <= kMaxPathLength) return true;
    std::string text = "ファイル名が長すぎます（259 文字まで）。\n" + utf8_to_cp932(path);
    show_error(owner, text.c_str());
    return false;
}

namespace {

// Whether the file may be opened here: another editor holding it is
// brought to the front instead, or the file is opened read-only. `lock`
// gets the lock taken.
enum class Access { editable, read_only, none };
Access access_to(HWND owner, const std::string& path, FileLock& lock) {
    lock = FileLock::take(full_path(path), app().main_window);
    if (lock.held() || !lock.other()) return Access::editable;
    const std::string text = "このファイルは別のウィンドウで開かれています。\n" + utf8_to_cp932(path);
    switch (choice_box(owner, {text, "切り替え(&S)", "読み取り専用で開く(&R)"})) {
        case Choice::first: bring_to_front(lock.other()); return Access::none;
        case Choice::second: return Access::read_only;
        case Choice::cancel: break;
    }
    return Access::none;
}

// Nothing opened: the document that was open stays; at start-up there is
// none, and an untitled one begins.
void keep_document() {
    if (document().count() == 0) start_new_document();
}

// Reads `path` into the model (a restored recovery file: bound to the
// data file's name, modified); false after the reader's message.
bool load_document(HWND owner, const std::string& path, const std::string& name, bool restored,
                   bool read_only) {
    CardDocument loaded;
    ReadOutcome read = read_data_file_at(owner, path, loaded);
    if (read.magic_matched && !restored) add_recent_file(owner, path);
    if (!read.ok) return false;
    document_file().stamp = name == UNTITLED_NAME ? std::nullopt : stamp_of(name);
    // The NUL bytes are gone from the document, not yet from the file.
    const NulBytes nul = read.result.nul_bytes;
    if (restored)
        editor().restore(loaded, name);
    else
        editor().replace(loaded, {.changed_on_reading = nul.count > 0, .read_only = read_only});
    if (file_read_observer) file_read_observer(read.result);
    show_new_document();
    if (nul.count > 0 && owner)
        message_box(owner, nul_bytes_message(nul.first_line).c_str(), MB_OK | MB_ICONWARNING);
    return true;
}

// Restores the recovery file of the document named `name` (a data file or
// UNTITLED_NAME); one that cannot be read is reported and kept.
bool restore_document(HWND owner, const std::string& recovery, const std::string& name) {
    close_document();
    if (!load_document(owner, recovery, name, true, false)) return false;
    adopt_recovery_file(recovery);
    return true;
}

}  // namespace

void open_document(HWND owner, const std::string& path) {
    if (!path_fits(owner, path)) return;
    FileLock lock;
    const Access access = access_to(owner, path, lock);
    if (access == Access::none) return keep_document();
    std::string recovery;
    const RecoveryOffer offer =
        access == Access::editable ? offer_recovery(owner, path, recovery) : RecoveryOffer::open;
    if (offer == RecoveryOffer::cancel) return keep_document();
    if (offer == RecoveryOffer::restore && restore_document(owner, recovery, path)) {
        add_recent_file(owner, path);
        document_file().lock = std::move(lock);
        return;
    }
    // Nothing of the file that was open stays in view (or in memory) behind
    // a message about this one.
    close_document();
    if (!load_document(owner, path, path, false, access == Access::read_only)) {
        start_new_document();
        return;
    }
    document_file().lock = std::move(lock);
}

void start_document(HWND owner) {
    std::string recovery;
    if (offer_recovery(owner, UNTITLED_NAME, recovery) == RecoveryOffer::restore &&
        restore_document(owner, recovery, UNTITLED_NAME))
        return;
    new_document(owner);
}

namespace {

// Writes the document to `path`, which then is its name; a document that
// could not be written keeps the name it had.
bool save_to(HWND owner, const std::string& path) {
    // Leaving the editing pane commits its pending edit.
    if (app().line_list) SetFocus(app().line_list);
    DocumentFile& file = document_file();
    if (path == editor().file_name() && file.stamp) {
        const std::optional<FileStamp> now = stamp_of(path);
        if (now && !(*now == *file.stamp) &&
            message_box(owner, "ファイルはほかのプログラムで変更されています。上書きしますか？",
                        MB_YESNO | MB_ICONWARNING) != IDYES)
            return false;
    }
    // Another editor has the file open: its work is not overwritten.
    FileLock lock;
    if (path != editor().file_name() || !file.lock.held()) {
        lock = FileLock::take(full_path(path), app().main_window);
        if (!lock.held() && lock.other()) {
            const std::string text = "このファイルは別のウィンドウで開かれています。\n" + utf8_to_cp932(path);
            message_box(owner, text.c_str(), MB_OK | MB_ICONWARNING);
            return false;
        }
    }
    if (!write_data_file_at(owner, document(), path)) return false;
    file.stamp = stamp_of(path);
    remove_recovery_file();
    if (lock.held()) file.lock = std::move(lock);
    editor().mark_saved_as(path);
    update_title();
    return true;
}

}  // namespace

bool save_document(HWND owner) {
    if (editor().file_name() == UNTITLED_NAME || editor().read_only()) return save_as(owner);
    return save_to(owner, editor().file_name());
}

void open_file_command(HWND owner) {
    if (!confirm_discard(owner)) return;
    if (std::optional<std::string> chosen = choose_file(owner, false))
        open_document(owner, *chosen);
}

bool save_as(HWND owner) {
    std::optional<std::string> chosen = choose_file(owner, true);
    if (!chosen || !path_fits(owner, *chosen)) return false;
    return save_to(owner, *chosen);
}

void add_recent_file(HWND owner, const std::string& path) {
    // One file is one entry however its path was written: entries are full
    // paths without "." or ".." steps (and letter case is compared ignoring
    // case), those read from the settings file too.
    auto& recent = app().prefs.recent_files;
    for (std::string& entry : recent) entry = full_path(entry);
    const std::vector<std::string> before = recent;
    add_recent_file(recent, full_path(path));
    // A file opened again from the top of the list leaves the menu as it is.
    if (owner && app().main_window && recent != before) rebuild_recent_menu(app().main_window);
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
        const std::wstring text = wide("&" + std::to_string((i + 1) % 10) + " ") + wide_path(recent[i]);
        InsertMenuW(menu, CMD_CLEAR_RECENT, MF_BYCOMMAND | MF_STRING,
                    CMD_RECENT_FIRST + i, text.c_str());
    }
    EnableMenuItem(menu, CMD_CLEAR_RECENT,
                   MF_BYCOMMAND | (recent.empty() ? MF_GRAYED | MF_DISABLED : MF_ENABLED));
    DrawMenuBar(main_window);
}

}  // namespace qz
