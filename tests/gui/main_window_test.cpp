#include <windows.h>

#include <objbase.h>

#include <string>

#include "core/document/line_labels.h"
#include "editor_fixture.h"
#include "resources/about_ids.h"
#include "resources/resource.h"
#include "win/app/commands_win.h"
#include "win/base/help_win.h"
#include "win/base/wide_win.h"
#include "win/base/separator_win.h"
#include "win/base/handles_win.h"
#include "win/view/line_list_win.h"
#include "win/view/main_layout_win.h"
#include "core/layout/layout.h"

// itss.dll's storage factory, as far as opening a file needs it. Outside the
// unnamed namespace: there the compiler would know every class that derives
// from it (none) and take its calls for unreachable.
struct HelpFileItStorage : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(ILockBytes*, DWORD, DWORD, IStorage**) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(ILockBytes*) = 0;
    virtual HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, IStorage*, DWORD, SNB, DWORD, IStorage**) = 0;
};

namespace qz::test {
namespace {

using MainWindowTest = EditorTest;

TEST_F(MainWindowTest, ShowsTheSampleTheContextMenuSelectsTheClickedItemAndHelpFindsTopics) {
    const std::string sample = source_path("samples/sample.qzf");
    start("\"" + sample + "\"");
    ASSERT_EQ(doc().count(), 59);
    EXPECT_EQ(SendMessageA(list(), LVM_GETITEMCOUNT, 0, 0), 59);
    for (int i = 0; i < doc().count(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(item_text(i, 0), std::to_string(i + 2));
        EXPECT_EQ(item_text(i, 1), line_label(doc(), i));
        EXPECT_EQ(item_text(i, 2), doc().line_at(i)->text());
    }
    EXPECT_EQ(app().editor.current(), 0);
    EXPECT_EQ(status_text(1), "\t2/60");
    EXPECT_EQ(status_text(0), kF1Hint);
    EXPECT_EQ(window_text(main_window()), sample + " - Quizo Editor");
    EXPECT_EQ(focused_item(), 0);
    EXPECT_EQ(selected_items(), std::vector<int>{0});

    // The context menu focuses and selects the clicked item.
    RECT item{};
    item.left = LVIR_BOUNDS;
    ASSERT_TRUE(SendMessageA(list(), LVM_GETITEMRECT, 3, reinterpret_cast<LPARAM>(&item)));
    POINT p{item.left + 20, (item.top + item.bottom) / 2};
    ClientToScreen(list(), &p);
    SetTimer(nullptr, 0, 100, [](HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        EndMenu();
    });
    SendMessageA(main_window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), MAKELPARAM(p.x, p.y));
    pump();
    EXPECT_EQ(focused_item(), 3);
    EXPECT_EQ(app().editor.current(), 3);
    EXPECT_EQ(selected_items(), (std::vector<int>{0, 3}));  // item 0 keeps its selection

    // Help opens the topic of the line shown or of the menu.
    command(CMD_HELP_CONTENTS);  // no help file here
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_NE(messages_[0].text.find("QZOEDIT.CHM"), std::string::npos);
    EXPECT_EQ(messages_[0].type & MB_ICONMASK, static_cast<UINT>(MB_ICONERROR));

    std::vector<DWORD> topics;
    set_help_hook([&](UINT command, DWORD topic) {
        EXPECT_EQ(command, kHelpContext);
        topics.push_back(topic);
    });
    // Lines: 0 comment, 4 group names, 5 time limit, 6 message, 14 title, 15 question.
    for (int line : {0, 4, 5, 6, 14, 15}) {
        focus_line(line);
        HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, list(), 0, {}};
        SendMessageA(main_window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    }
    HELPINFO menu{sizeof menu, HELPINFO_MENUITEM, CMD_OPEN, nullptr, 0, {}};
    SendMessageA(main_window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&menu));
    EXPECT_EQ(topics, (std::vector<DWORD>{2001, 2004, 2003, 2005, 2002, 2001, 2000}));
}

TEST_F(MainWindowTest, EditMenuFollowsTheListFocusAndSelection) {
    struct Case {
        const char* body;
        const char* version;
        std::vector<int> selected;
        bool clipboard_text;
        std::vector<int> enabled, grayed;
    };
    const char kThree[] = "#t,000000\r\nq,a,<00\r\n'c\r\n";
    const Case cases[] = {
        {"q,a,<00\r\n", "1.4", {0}, false, {CMD_COPY, CMD_SELECT_ALL},
         {CMD_UNDO, CMD_CUT, CMD_DELETE, CMD_PASTE, CMD_MOVE_UP, CMD_MOVE_DOWN}},
        {kThree, "1.4", {1}, true,
         {CMD_CUT, CMD_COPY, CMD_PASTE, CMD_DELETE, CMD_SELECT_ALL, CMD_MOVE_UP, CMD_MOVE_DOWN,
          CMD_SORT, CMD_GROUP_CHANGE, CMD_SWAP_QUESTION_ANSWER, CMD_INSERT_GROUP, CMD_INSERT_FONT_COMMENT},
         {CMD_UNDO, CMD_INSERT_IMAGE}},
        {kThree, "1.4", {}, false, {CMD_SELECT_ALL},
         {CMD_CUT, CMD_COPY, CMD_DELETE, CMD_PASTE, CMD_SORT, CMD_GROUP_CHANGE, CMD_SWAP_QUESTION_ANSWER}},
        {kThree, "1.3", {1}, false, {CMD_COPY},
         {CMD_INSERT_GROUP, CMD_INSERT_MESSAGE, CMD_INSERT_FONT_TITLE, CMD_INSERT_FONT_QUESTION,
          CMD_INSERT_FONT_ANSWER, CMD_INSERT_FONT_GROUP, CMD_INSERT_FONT_COMMENT, CMD_INSERT_IMAGE}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.version << " " << c.body << c.selected.size());
        restart();
        open(c.body, c.version);
        SetFocus(list());
        select_only(c.selected);
        set_clipboard(c.clipboard_text ? "abc" : nullptr, 4);
        SendMessageA(main_window(), WM_INITMENU, reinterpret_cast<WPARAM>(GetMenu(main_window())), 0);
        for (int id : c.enabled) EXPECT_FALSE(menu_state(id) & MFS_GRAYED) << "item " << id;
        for (int id : c.grayed) EXPECT_TRUE(menu_state(id) & MFS_GRAYED) << "item " << id;
        // The toolbar's Edit buttons follow the same bits.
        for (int id : {CMD_UNDO, CMD_CUT, CMD_COPY, CMD_PASTE, CMD_DELETE}) {
            const LRESULT state = SendMessageA(app().toolbar, TB_GETSTATE, id, 0);
            EXPECT_EQ((state & TBSTATE_ENABLED) != 0, !(menu_state(id) & MFS_GRAYED)) << "button " << id;
        }
    }
}

TEST_F(MainWindowTest, TheToolbarShowsPicturesDrawnForTheDisplayScale) {
    start();
    const auto picture_size = [] {
        int width = 0, height = 0;
        auto images = reinterpret_cast<HIMAGELIST>(SendMessageW(app().toolbar, TB_GETIMAGELIST, 0, 0));
        EXPECT_TRUE(ImageList_GetIconSize(images, &width, &height));
        EXPECT_EQ(ImageList_GetImageCount(images), 11);
        EXPECT_EQ(width, height);
        return width;
    };
    const int dpi = window_dpi(main_window());
    EXPECT_EQ(picture_size(), toolbar_image_size(dpi));
    // Moved to a screen of 200 % and back.
    RECT box;
    GetWindowRect(main_window(), &box);
    for (const int screen : {192, dpi}) {
        SendMessageW(main_window(), WM_DPICHANGED, MAKEWPARAM(screen, screen), reinterpret_cast<LPARAM>(&box));
        EXPECT_EQ(picture_size(), toolbar_image_size(screen)) << screen;
        EXPECT_GE(placed(list()).top, placed(app().toolbar).bottom) << screen;
    }
}

TEST_F(MainWindowTest, BarsAndSeparatorShareTheRoomWithTheListAndAboutShowsTheVersion) {
    start();
    const RECT before = placed(list()), toolbar = placed(app().toolbar), status = placed(app().status_bar);
    command(CMD_TOGGLE_TOOLBAR);
    const RECT after = placed(list());
    EXPECT_FALSE(IsWindowVisible(app().toolbar));
    EXPECT_FALSE(menu_state(CMD_TOGGLE_TOOLBAR) & MFS_CHECKED);
    EXPECT_EQ(after.top, before.top - (toolbar.bottom - toolbar.top));
    EXPECT_EQ(placed(app().separator).top, after.top);
    command(CMD_TOGGLE_STATUS_BAR);
    const RECT no_bars = placed(list());
    EXPECT_FALSE(IsWindowVisible(app().status_bar));
    EXPECT_EQ(no_bars.bottom - no_bars.top, (after.bottom - after.top) + (status.bottom - status.top));
    EXPECT_EQ(app().prefs.Flags, 0);
    command(CMD_TOGGLE_TOOLBAR);
    command(CMD_TOGGLE_STATUS_BAR);
    EXPECT_EQ(placed(list()).top, before.top);
    EXPECT_TRUE(menu_state(CMD_TOGGLE_STATUS_BAR) & MFS_CHECKED);
    EXPECT_EQ(app().prefs.Flags, 3);

    // The separator's drags are clamped and end with the right button. The
    // list's width is kept in 96-dpi units and laid out at the window's.
    RECT client;
    GetClientRect(main_window(), &client);
    const int dpi = window_dpi(main_window());
    const auto kept = [dpi](int pixels) { return unscale_for_dpi(pixels, dpi); };
    const auto shown = [dpi](int pixels) { return scale_for_dpi(unscale_for_dpi(pixels, dpi), dpi); };
    // (The clamping arithmetic is the layout's.)
    const int drags[][2] = {
        {5000, static_cast<int>(client.right) - scale_for_dpi(kMinListWidth, dpi)},
        {206, 206 - scale_for_dpi(kSeparatorWidth, dpi)}};
    for (const auto& [reported, width] : drags) {
        SendMessageW(main_window(), kSeparatorMoved, IDC_MAIN_SEPARATOR, reported);
        EXPECT_EQ(placed(list()).right - placed(list()).left, shown(width)) << reported;
        EXPECT_EQ(app().prefs.ListWidth, kept(width));
        EXPECT_EQ(placed(app().separator).left, shown(width));
    }
    HWND bar = app().separator;
    RECT r;
    GetWindowRect(bar, &r);
    SetCursorPos(r.left + 3, r.top + 50);
    SendMessageW(bar, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(3, 50));
    POINT p{r.left + 43, r.top + 50};
    SetCursorPos(p.x, p.y);
    SendMessageW(bar, WM_MOUSEMOVE, MK_LBUTTON, 0);
    ScreenToClient(main_window(), &p);
    EXPECT_EQ(app().prefs.ListWidth, kept(p.x - 3));
    SendMessageW(bar, WM_RBUTTONDOWN, MK_RBUTTON, 0);
    SetCursorPos(r.left + 83, r.top + 50);
    SendMessageW(bar, WM_MOUSEMOVE, 0, 0);
    EXPECT_EQ(app().prefs.ListWidth, kept(p.x - 3));

    std::string seen;
    when_dialog("バージョン情報", [&](HWND box) {
        for (int id : {IDC_ABOUT_NAME, IDC_ABOUT_VERSION, IDC_ABOUT_LINK})
            seen += window_text(GetDlgItem(box, id)) + "|";
        SendMessageA(box, WM_COMMAND, IDOK, 0);
    });
    command(CMD_ABOUT);
    EXPECT_EQ(seen.rfind("Quizo Editor|Version " QZ_PROJECT_VERSION "|https://", 0), 0u) << seen;
}

TEST(Platform, ResourceStringsReadAsTheirJapaneseTexts) {
    wchar_t buf[128] = {};
    const int n = LoadStringW(app().instance, CMD_NEW, buf, 128);
    EXPECT_EQ(std::wstring(buf, n), L"新規作成");
}

// The program itself, started under a code page other than 932 (as on an
// English Windows): it starts on the file, shows its name and writes
// nothing it was not asked to.
TEST_F(MainWindowTest, UnderAnotherCodePageTheProgramStartsOnTheFile) {
    const std::string exe = dir_ + "\\qzoedit.exe", data = dir_ + "\\data.qzf";
    ASSERT_TRUE(CopyFileW(wide_path(windows_path(QZ_EDITOR_EXE)).c_str(), wide_path(exe).c_str(), FALSE));
    const std::string bytes = "QUIZODATA V1.4\r\n#t,000000\r\nq,a,<00\r\n";
    write_file(data, bytes);
    // Wine takes the code page from the locale it is started in, which only
    // a Unix shell can set.
    run_unix(dir_, "LC_ALL=C.UTF-8 wine qzoedit.exe data.qzf >/dev/null 2>&1 &");
    HWND main = nullptr;
    for (int i = 0; i < 300 && !main; ++i) {
        Sleep(100);
        EnumWindows(
            [](HWND window, LPARAM found) -> BOOL {
                DWORD owner = 0;
                GetWindowThreadProcessId(window, &owner);
                wchar_t title[256] = {};
                GetWindowTextW(window, title, 256);
                if (owner == GetCurrentProcessId() || !IsWindowVisible(window) ||
                    std::wstring(title).find(L"data.qzf") == std::wstring::npos)
                    return TRUE;
                *reinterpret_cast<HWND*>(found) = window;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&main));
    }
    ASSERT_TRUE(main) << "no main window";
    DWORD id = 0;
    GetWindowThreadProcessId(main, &id);
    unique_file process(OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, id));
    PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(process);
    ASSERT_EQ(WaitForSingleObject(process.get(), 30000), WAIT_OBJECT_0);
    DWORD code = 0;
    GetExitCodeProcess(process.get(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_EQ(read_file(data), bytes);
}

// The help file built beside the program: every topic the program opens is
// in the file's context map and leads to a page inside the file. The file
// is read through itss.dll, the storage the help viewer itself reads with.
const CLSID kItStorageClass = {0x5d02926a, 0x212e, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};
const IID kClassFactory = {0x00000001, 0x0000, 0x0000, {0xc0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
const IID kItStorageInterface = {0x88cc31de, 0x27ab, 0x11d0, {0x9d, 0xf9, 0x00, 0xa0, 0xc9, 0x22, 0xe6, 0xec}};

// The whole stream `name` of the file, or nothing when it is missing.
std::string read_stream(IStorage* storage, const std::wstring& name) {
    std::string bytes;
    IStream* stream = nullptr;
    if (FAILED(storage->OpenStream(name.c_str(), nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, &stream)))
        return bytes;
    char buffer[4096];
    ULONG got = 0;
    while (SUCCEEDED(stream->Read(buffer, sizeof buffer, &got)) && got > 0) bytes.append(buffer, got);
    stream->Release();
    return bytes;
}

TEST(HelpFileTest, EveryTopicTheProgramOpensLeadsToAPageOfTheFile) {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring file(path, length);
    file = file.substr(0, file.find_last_of(L"\\/") + 1) + L"QZOEDIT.CHM";

    HMODULE itss = LoadLibraryA("itss.dll");
    ASSERT_NE(itss, nullptr);
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    auto get_class_object =
        reinterpret_cast<GetClassObject>(reinterpret_cast<void*>(GetProcAddress(itss, "DllGetClassObject")));
    ASSERT_NE(get_class_object, nullptr);
    IClassFactory* factory = nullptr;
    ASSERT_EQ(get_class_object(kItStorageClass, kClassFactory, reinterpret_cast<void**>(&factory)), S_OK);
    HelpFileItStorage* its = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, kItStorageInterface, reinterpret_cast<void**>(&its)), S_OK);
    factory->Release();
    IStorage* storage = nullptr;
    ASSERT_EQ(its->StgOpenStorage(file.c_str(), nullptr, STGM_READ | STGM_SHARE_DENY_WRITE, nullptr, 0, &storage), S_OK)
        << "the help file is missing beside the program";

    // #IVB: its size, then pairs of (topic number, offset of the page's
    // name in #STRINGS).
    const std::string map = read_stream(storage, L"#IVB");
    const std::string strings = read_stream(storage, L"#STRINGS");
    ASSERT_GE(map.size(), 4u);
    std::vector<DWORD> words((map.size() - 4) / 4);
    memcpy(words.data(), map.data() + 4, words.size() * 4);
    for (DWORD topic : kHelpTopics) {
        std::string page;
        for (size_t i = 0; i + 1 < words.size(); i += 2)
            if (words[i] == topic && words[i + 1] < strings.size()) page = strings.c_str() + words[i + 1];
        ASSERT_FALSE(page.empty()) << "topic " << topic << " is not in the context map";
        const std::wstring name(page.begin(), page.end());
        EXPECT_NE(read_stream(storage, name).find("<h1>"), std::string::npos)
            << "topic " << topic << " leads to " << page << ", which is no page of the file";
    }
    storage->Release();
    its->Release();
    FreeLibrary(itss);
}

}  // namespace
}  // namespace qz::test
