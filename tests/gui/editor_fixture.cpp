#include "editor_fixture.h"

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <map>

#include "win/base/color_chooser_win.h"
#include "win/app/file_commands_win.h"
#include "win/base/file_dialog_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "win/view/line_list_win.h"

namespace qz::test {

std::string windows_path(std::string unix_path) {
    std::replace(unix_path.begin(), unix_path.end(), '/', '\\');
    return "Z:" + unix_path;
}

std::string source_path(const std::string& relative) {
    return windows_path(QZ_SOURCE_DIR "/" + relative);
}

// Paths are UTF-8, as in the program.
std::string read_file(const std::string& path) {
    std::string bytes;
    if (FILE* in = _wfopen(wide_path(path).c_str(), L"rb")) {
        char buffer[65536];
        for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) bytes.append(buffer, n);
        std::fclose(in);
    }
    return bytes;
}

void write_file(const std::string& path, const std::string& bytes) {
    if (FILE* out = _wfopen(wide_path(path).c_str(), L"wb")) {
        std::fwrite(bytes.data(), 1, bytes.size(), out);
        std::fclose(out);
    }
}

bool file_exists(const std::string& path) {
    return GetFileAttributesW(wide_path(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::vector<std::string> files_in(const std::string& dir, const char* pattern) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(wide_path(dir + "\\" + pattern).c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(utf8_path(data.cFileName));
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
}

// Wine starts Unix programs but gives no handle to wait on or read from, so
// the output goes to a file that is renamed once it is complete.
std::string run_unix(const std::string& dir, const std::string& command) {
    std::string line = "/bin/sh -c \"(" + command + ") >shell.tmp 2>&1; mv shell.tmp shell.out\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::wstring wide_line = wide_path(line);
    if (!CreateProcessW(L"Z:\\bin\\sh", wide_line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        wide_path(dir).c_str(), &startup, &info))
        return "cannot start /bin/sh";
    unique_file process(info.hProcess), thread(info.hThread);
    const std::string out = dir + "\\shell.out";
    for (int i = 0; i < 6000 && !file_exists(out); ++i)
        Sleep(10);
    std::string text = read_file(out);
    DeleteFileW(wide_path(out).c_str());
    return text;
}

void pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) continue;
        if (preprocess_message(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
}

RECT placed(HWND hwnd) {
    RECT r;
    GetWindowRect(hwnd, &r);
    MapWindowPoints(nullptr, GetParent(hwnd), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

void set_clipboard(const void* data, std::size_t size, UINT format) {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    if (data) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, size);
        std::memcpy(GlobalLock(mem), data, size);
        GlobalUnlock(mem);
        SetClipboardData(format, mem);
    }
    CloseClipboard();
}

void click(HWND window, int id) {
    SendMessageW(GetDlgItem(window, id), BM_CLICK, 0, 0);
    pump();
}

void press_key(BYTE key, BYTE modifier) {
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[modifier] = 0x80;
    SetKeyboardState(keys);
    PostMessageW(GetFocus(), WM_KEYDOWN, key, 1);
    PostMessageW(GetFocus(), WM_KEYUP, key, 0xC0000001);
    pump();
    keys[modifier] = 0;
    SetKeyboardState(keys);
}

namespace {

std::map<std::string, std::function<void(HWND)>> dialog_actions;

void CALLBACK act_on_dialogs(HWND, UINT, UINT_PTR, DWORD) {
    for (auto it = dialog_actions.begin(); it != dialog_actions.end(); ++it) {
        HWND dialog = FindWindowW(nullptr, wide(it->first).c_str());
        if (!dialog || !IsWindowEnabled(dialog)) continue;
        auto act = std::move(it->second);
        dialog_actions.erase(it);
        act(dialog);
        return;
    }
}

}  // namespace

void when_dialog(const char* caption, std::function<void(HWND)> act) {
    dialog_actions[caption] = std::move(act);
    static UINT_PTR timer = 0;
    if (!timer) timer = SetTimer(nullptr, 0, 50, act_on_dialogs);
}

namespace {

std::string make_temp_dir() {
    static std::atomic<int> counter{0};
    // Unique across runs in other prefixes too, where process ids repeat:
    // print jobs are told apart by the folder in their title.
    static const unsigned run = [] {
        LARGE_INTEGER now{};
        QueryPerformanceCounter(&now);
        return static_cast<unsigned>(now.QuadPart ^ (now.QuadPart >> 32)) ^ GetCurrentProcessId();
    }();
    wchar_t base[MAX_PATH];
    GetTempPathW(MAX_PATH, base);
    std::string dir = utf8_path(base) + "qzotest-" + std::to_string(run) + "-" +
                      std::to_string(counter++);
    CreateDirectoryW(wide_path(dir).c_str(), nullptr);
    return dir;
}

void remove_tree(const std::string& dir) {
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(wide_path(dir + "\\*").c_str(), &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = utf8_path(data.cFileName);
            if (name == "." || name == "..") continue;
            std::string path = dir + "\\" + name;
            SetFileAttributesW(wide_path(path).c_str(), FILE_ATTRIBUTE_NORMAL);
            if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                remove_tree(path);
            else
                DeleteFileW(wide_path(path).c_str());
        } while (FindNextFileW(find, &data));
        FindClose(find);
    }
    RemoveDirectoryW(wide_path(dir).c_str());
}

}  // namespace

void EditorTest::SetUp() {
    dir_ = make_temp_dir();
    reset_custom_colors();
    set_message_box_hook([this](HWND, const char* text, UINT type) {
        messages_.push_back({text ? text : "", type});
        if (!answers_.empty()) {
            int answer = answers_.front();
            answers_.pop_front();
            return answer;
        }
        if ((type & MB_TYPEMASK) != MB_OK) ADD_FAILURE() << "unanswered question: " << text;
        return (type & MB_TYPEMASK) == MB_OK ? IDOK : IDCANCEL;
    });
    set_file_dialog_hook([this](HWND, bool save, const std::string& proposed) -> std::optional<std::string> {
        dialogs_shown_.push_back(std::string(save ? "save:" : "open:") + proposed);
        if (dialog_answers_.empty()) return std::nullopt;
        std::string answer = dialog_answers_.front();
        dialog_answers_.pop_front();
        if (answer.empty()) return std::nullopt;
        return answer;
    });
}

void EditorTest::start(const std::string& command_line) {
    started_ = true;
    ASSERT_TRUE(initialize_application());
    app().settings_path = dir_ + "\\QZOEDIT.INI";
    app().help_path = dir_ + "\\QZOEDIT.CHM";
    load_preferences();
    app().prefs.RecoveryInterval = recovery_interval_;
    ASSERT_NE(create_main_window(SW_SHOWNORMAL), nullptr);
    open_command_line(command_line.c_str());
    pump();
}

void EditorTest::shut_down() {
    if (shut_down_ || !started_) return;
    shut_down_ = true;
    if (main_window()) {
        app().editor.mark_saved();
        DestroyWindow(main_window());
        pump();
    }
    shutdown_application();
}

void EditorTest::restart() {
    if (started_) shut_down();
    started_ = shut_down_ = false;
    DeleteFileW(wide_path(dir_ + "\\QZOEDIT.INI").c_str());
    messages_.clear();
    answers_.clear();
    dialog_answers_.clear();
    dialogs_shown_.clear();
}

void EditorTest::TearDown() {
    shut_down();
    set_message_box_hook(nullptr);
    set_file_dialog_hook(nullptr);
    set_help_hook(nullptr);
    remove_tree(dir_);
}

void EditorTest::open(const std::string& body, const char* version) {
    std::string path = dir_ + "\\data.qzf";
    write_file(path, std::string("QUIZODATA V") + version + "\r\n" + body);
    start("\"" + path + "\"");
}

void EditorTest::focus_line(int index) {
    set_item_state(index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    pump();
}

void EditorTest::select_only(const std::vector<int>& items) {
    set_item_state(-1, 0, LVIS_SELECTED);
    for (int i : items) set_item_state(i, LVIS_SELECTED, LVIS_SELECTED);
    pump();
}

std::string EditorTest::field(int id) const {
    return window_text(control(id));
}

int EditorTest::selection(int id) const {
    return static_cast<int>(SendMessageW(control(id), CB_GETCURSEL, 0, 0));
}

void EditorTest::type(int id, const std::string& text) {
    ASSERT_NE(control(id), nullptr) << id;
    SetFocus(control(id));
    SendMessageW(control(id), EM_SETSEL, 0, -1);
    const std::wstring typed = wide(text);
    SendMessageW(control(id), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(typed.c_str()));
}

void EditorTest::leave_pane() {
    SetFocus(list());
    pump();
}

std::string EditorTest::joined_lines() const {
    std::string joined;
    for (const DataLine& line : doc()) {
        joined += line.has_text() ? line.text() : "_";
        joined += '|';
    }
    return joined;
}

std::vector<std::string> EditorTest::message_texts() const {
    std::vector<std::string> texts;
    for (const ShownMessage& m : messages_) texts.push_back(m.text);
    return texts;
}

std::string EditorTest::item_text(int item, int column, HWND view) const {
    wchar_t buf[1024] = {};
    LVITEMW lv{};
    lv.iSubItem = column;
    lv.pszText = buf;
    lv.cchTextMax = static_cast<int>(std::size(buf));
    SendMessageW(view ? view : list(), LVM_GETITEMTEXTW, item, reinterpret_cast<LPARAM>(&lv));
    return narrow(buf);
}

std::string EditorTest::status_text(int part) const {
    // SB_GETTEXTW has no size: room for the longest text a part shows.
    wchar_t buf[1024] = {};
    SendMessageW(app().status_bar, SB_GETTEXTW, part, reinterpret_cast<LPARAM>(buf));
    return narrow(buf);
}

UINT EditorTest::menu_state(int id) const {
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_STATE;
    GetMenuItemInfoW(GetMenu(main_window()), id, FALSE, &info);
    return info.fState;
}

void EditorTest::command(int id) {
    SendMessageW(main_window(), WM_COMMAND, id, 0);
    pump();
}

std::string EditorTest::copy_to_temp(const std::string& relative, const std::string& name) {
    std::string target = dir_ + "\\" + name;
    write_file(target, read_file(source_path(relative)));
    return target;
}

}  // namespace qz::test
