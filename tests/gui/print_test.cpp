// Printing to a real printer: the cups-pdf queue "PDF", whose jobs become
// PDF files that poppler's tools read back; and the page setup dialog.
#include <windows.h>

#include <commdlg.h>

#include <cstring>
#include <set>

#include "editor_fixture.h"
#include "resources/page_setup_ids.h"
#include "resources/print_preview_ids.h"
#include "resources/printing_ids.h"
#include "resources/resource.h"
#include "win/base/color_chooser_win.h"
#include "win/base/help_win.h"
#include "win/base/page_setup_win.h"
#include "win/operations/page_setup_dialog_win.h"
#include "win/operations/print_job_win.h"
#include "win/operations/print_progress_win.h"
#include "win/operations/print_preview_win.h"

namespace qz::test {
namespace {

class PrintTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        // The test command starts the scheduler and the queue; this makes sure.
        std::string folder = run_unix(dir_, std::string(QZ_SOURCE_DIR) + "/scripts/printer-setup.sh 2>/dev/null");
        folder.erase(folder.find_last_not_of("\r\n") + 1);
        folder = folder.substr(folder.find_last_of('\n') + 1);
        ASSERT_EQ(folder.front(), '/') << folder;
        pdf_dir_ = folder;
        known_ = initial_ = pdfs();
        set_print_dialog_function([this](PRINTDLGW& request) {
            offered_ = request.nMaxPage;
            auto* mode = static_cast<DEVMODEW*>(GlobalLock(request.hDevMode));
            mode->dmFields |= DM_COPIES | DM_COLLATE;
            mode->dmCopies = static_cast<short>(copies_);
            mode->dmCollate = DMCOLLATE_TRUE;
            request.hDC = CreateDCW(L"WINSPOOL", L"PDF", nullptr, mode);
            GlobalUnlock(request.hDevMode);
            if (range_[0]) {
                request.Flags |= PD_PAGENUMS;
                request.nFromPage = static_cast<WORD>(range_[0]);
                request.nToPage = static_cast<WORD>(range_[1]);
            }
            return answer_;
        });
    }
    void TearDown() override {
        set_print_dialog_function(nullptr);
        for (const std::string& name : pdfs())
            if (!initial_.count(name)) DeleteFileW(wide_path(windows_path(pdf_dir_) + "\\" + name).c_str());
        EditorTest::TearDown();
    }

    // The PDFs of this test's jobs. The queue names a PDF after the job's
    // title, the document's path, whose folder is this test's own: jobs of
    // other runs on the machine are never taken.
    std::set<std::string> pdfs() const {
        const std::string folder = dir_.substr(dir_.find_last_of('\\') + 1);
        std::set<std::string> own;
        for (const std::string& name : files_in(windows_path(pdf_dir_), "*.pdf"))
            if (name.find(folder) != std::string::npos) own.insert(name);
        return own;
    }

    // Waits for the next PDF the queue writes for this test; its Unix
    // path, or "" after a minute.
    std::string next_pdf() {
        for (int i = 0; i < 600; ++i) {
            for (const std::string& name : pdfs()) {
                if (known_.count(name)) continue;
                const std::string path = pdf_dir_ + "/" + name;
                if (run_unix(dir_, "pdfinfo '" + path + "'").find("Pages:") == std::string::npos) break;
                known_.insert(name);
                return path;
            }
            Sleep(100);
        }
        return {};
    }
    int pages_of(const std::string& pdf) {
        const std::string info = run_unix(dir_, "pdfinfo '" + pdf + "'");
        const std::size_t at = info.find("Pages:");
        return at == std::string::npos ? -1 : std::atoi(info.c_str() + at + 6);
    }

    std::string pdf_dir_;
    std::set<std::string> initial_, known_;
    int copies_ = 1;
    int offered_ = -1;
    int range_[2] = {0, 0};  // pages chosen in the dialog; 0: all
    BOOL answer_ = TRUE;
};

TEST_F(PrintTest, NothingToPrintIsSaidBeforeTheDialogOffersNoPageAndNoPreviewOpens) {
    open("'comment\r\n#title,000000\r\n");
    app().print.PrintFlags &= ~PRINT_TITLES;
    answer_ = FALSE;
    command(CMD_PRINT);
    EXPECT_EQ(offered_, 0);
    command(CMD_PRINT_PREVIEW);
    EXPECT_EQ(print_preview_window(), nullptr);
    EXPECT_EQ(message_texts(), std::vector<std::string>(2, "印刷するデータがありません。"));
}

// Text drawn in the printer's own fonts comes back from the PDF as text
// (glyphs of downloaded fonts do not), so these pages use Helvetica.
TEST_F(PrintTest, TitlesNumbersQuestionsAndAnswersStandInOrderAndColumns) {
    open("#Capitals,000000\r\nJapan?,Tokyo,<00\r\n'comment\r\nFrance?,Paris,<00\r\n"
         "#Rivers,000000\r\nLongest?,Nile,<00\r\n");
    for (FontSpec* font : {&app().prefs.Title, &app().prefs.Question, &app().prefs.Answer, &app().prefs.NumTitle,
                           &app().prefs.NumQuestion}) {
        font->face = "Helvetica";
        font->charset = ANSI_CHARSET;
    }
    app().print.PrintFlags |= PRINT_TITLE_NUMBERS;
    for (int answers_left : {0, 1}) {
        app().print.ItemPosition = answers_left;
        command(CMD_PRINT);
        const std::string pdf = next_pdf();
        ASSERT_FALSE(pdf.empty());
        const std::string text = run_unix(dir_, "pdftotext -layout '" + pdf + "' -");
        std::size_t at = 0;
        for (const char* expected : {"1 Capitals", "(1) Japan?", "(2) France?", "2 Rivers", "(1)", "Longest?"}) {
            const std::size_t found = text.find(expected, at);
            EXPECT_NE(found, std::string::npos) << expected << " in\n" << text;
            at = found == std::string::npos ? at : found;
        }
        const std::size_t question = text.find("Japan?"), answer = text.find("Tokyo");
        const std::size_t line = text.rfind('\n', question) + 1;
        EXPECT_EQ(text.find('\n', line), text.find('\n', answer)) << "on one line";
        EXPECT_EQ(answer < question, answers_left == 1) << text;
    }
}

// Twelve questions at 2 x 5: two fronts and two backs; each back row holds
// the answers of its front row right to left.
TEST_F(PrintTest, CardsPrintFrontsAndMirroredBacks) {
    std::string body = "#Cards,000000\r\n";
    for (int i = 1; i <= 12; ++i)
        body += "Q" + std::to_string(i) + "?,A" + std::to_string(i) + ",<00\r\n";
    open(body);
    for (FontSpec* font : {&app().prefs.Question, &app().prefs.Answer, &app().prefs.NumQuestion}) {
        font->face = "Helvetica";
        font->charset = ANSI_CHARSET;
    }
    app().print.Form = PRINT_FORM_CARDS;
    app().print.cards.corner = false;
    command(CMD_PRINT);
    EXPECT_EQ(offered_, 4);
    const std::string pdf = next_pdf();
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pages_of(pdf), 4);
    // Words of a page in reading order, row by row.
    auto page_words = [&](int page) {
        const std::string text = run_unix(dir_, "pdftotext -layout -f " + std::to_string(page) + " -l " +
                                                    std::to_string(page) + " '" + pdf + "' -");
        std::string words;
        for (std::size_t i = 0; i < text.size();) {
            const std::size_t start = text.find_first_not_of(" \n\f", i);
            if (start == std::string::npos) break;
            const std::size_t end = text.find_first_of(" \n\f", start);
            words += (words.empty() ? "" : " ") + text.substr(start, end - start);
            i = end == std::string::npos ? text.size() : end;
        }
        return words;
    };
    EXPECT_EQ(page_words(1), "Q1? Q2? Q3? Q4? Q5? Q6? Q7? Q8? Q9? Q10?");
    EXPECT_EQ(page_words(2), "A2 A1 A4 A3 A6 A5 A8 A7 A10 A9");
    EXPECT_EQ(page_words(3), "Q11? Q12?");
    EXPECT_EQ(page_words(4), "A12 A11");
}

TEST_F(PrintTest, CopiesRepeatPagesAndCancellingStopsTheJob) {
    std::string body = "#copies,000000\r\n";
    for (int i = 0; i < 150; ++i) body += "question " + std::to_string(i) + ",answer,<00\r\n";
    open(body);
    copies_ = 2;
    command(CMD_PRINT);
    const std::string two = next_pdf();
    ASSERT_FALSE(two.empty());
    ASSERT_GE(offered_, 3);
    EXPECT_EQ(pages_of(two), 2 * offered_);

    // Cancel as soon as the dialog shows page 2.
    copies_ = 1;
    const std::set<std::string> before = pdfs();
    static HHOOK hook = nullptr;
    hook = SetWindowsHookExW(
        WH_CALLWNDPROC,
        [](int code, WPARAM wparam, LPARAM lparam) -> LRESULT {
            const auto* msg = reinterpret_cast<const CWPSTRUCT*>(lparam);
            if (code == HC_ACTION && msg->message == WM_SETTEXT && GetDlgCtrlID(msg->hwnd) == IDC_PRINTING_PAGE &&
                printing_dialog() && std::wstring(reinterpret_cast<const wchar_t*>(msg->lParam)) == L"2")
                PostMessageW(printing_dialog(), WM_COMMAND, IDCANCEL, 0);
            return CallNextHookEx(hook, code, wparam, lparam);
        },
        nullptr, GetCurrentThreadId());
    command(CMD_PRINT);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(IsWindowEnabled(main_window()));
    EXPECT_EQ(printing_dialog(), nullptr);
    EXPECT_FALSE(print_job_cancelled());

    // The next job is whole; the cancelled one sent no page after the second.
    command(CMD_PRINT);
    std::set<std::string> added;
    bool whole = false;
    for (int i = 0; i < 600 && !whole; ++i, Sleep(100)) {
        added = pdfs();
        for (const std::string& name : before) added.erase(name);
        for (const std::string& name : added) whole = whole || pages_of(pdf_dir_ + "/" + name) == offered_;
    }
    EXPECT_TRUE(whole);
    EXPECT_LE(added.size(), 2u);
    for (const std::string& name : added) {
        const int pages = pages_of(pdf_dir_ + "/" + name);
        EXPECT_TRUE(pages == offered_ || pages <= 2) << pages;
    }

    // Pages chosen in the dialog.
    known_ = pdfs();
    range_[0] = 2, range_[1] = 3;
    command(CMD_PRINT);
    EXPECT_EQ(pages_of(next_pdf()), 2);
}

// The preview counts as the print command does, follows the page keys and
// the wheel (fitted it turns pages; at actual size the page is larger than
// the window and the wheel scrolls it), gives the main window back and hands
// over to the print command, which prints the pages under the file name.
TEST_F(PrintTest, PreviewShowsThePagesThePrintCommandPrints) {
    for (const char* picture : {"map.bmp", "flag.png"})
        copy_to_temp(std::string("samples/") + picture, picture);
    start("\"" + copy_to_temp("samples/sample.qzf", "sample.qzf") + "\"");
    command(CMD_PRINT_PREVIEW);
    HWND preview = print_preview_window();
    ASSERT_NE(preview, nullptr);
    EXPECT_FALSE(IsWindowEnabled(main_window()));
    HWND number = GetDlgItem(preview, IDC_PREVIEW_PAGE_NUMBER);
    const std::string shown = window_text(number);
    const int count = std::atoi(shown.c_str() + shown.rfind('/') + 1);
    ASSERT_GE(count, 2) << shown;
    const auto page = [count](int n) { return "ページ " + std::to_string(n) + " / " + std::to_string(count); };
    EXPECT_EQ(shown, page(1));
    const struct {
        WPARAM key;
        int page;
    } steps[] = {{VK_NEXT, 2}, {VK_END, count}, {VK_NEXT, count}, {VK_PRIOR, count - 1}, {VK_HOME, 1}, {VK_PRIOR, 1}};
    for (const auto& step : steps) {
        PostMessageW(GetFocus(), WM_KEYDOWN, step.key, 0);
        pump();
        EXPECT_EQ(window_text(number), page(step.page)) << "key " << step.key;
    }
    DWORD topic = 0;
    set_help_hook([&](UINT, DWORD t) { topic = t; });
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, GetFocus(), 0, {}};
    SendMessageW(preview, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(topic, kTopicPrint);
    PostMessageW(GetFocus(), WM_KEYDOWN, VK_ESCAPE, 0);
    pump();
    EXPECT_EQ(print_preview_window(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main_window()));

    command(CMD_PRINT_PREVIEW);
    preview = print_preview_window();
    number = GetDlgItem(preview, IDC_PREVIEW_PAGE_NUMBER);
    HWND view = GetDlgItem(preview, IDC_PREVIEW_PAGE);
    const auto scrolls = [view] { return (GetWindowLongW(view, GWL_STYLE) & WS_VSCROLL) != 0; };
    const auto wheel_down = [view] { SendMessageW(view, WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0); };
    EXPECT_FALSE(scrolls());
    wheel_down();
    EXPECT_EQ(window_text(number), page(2));
    click(preview, IDC_PREVIEW_ACTUAL_SIZE);
    EXPECT_TRUE(scrolls());
    wheel_down();
    EXPECT_GT(GetScrollPos(view, SB_VERT), 0);
    EXPECT_EQ(window_text(number), page(2));
    click(preview, IDC_PREVIEW_FIT);
    EXPECT_FALSE(scrolls());
    click(preview, IDC_PREVIEW_PRINT);
    EXPECT_EQ(print_preview_window(), nullptr);
    EXPECT_EQ(offered_, count);
    const std::string pdf = next_pdf();
    ASSERT_FALSE(pdf.empty());
    EXPECT_EQ(pages_of(pdf), count);
    EXPECT_NE(run_unix(dir_, "pdfinfo '" + pdf + "'").find("sample.qzf"), std::string::npos);
    EXPECT_TRUE(messages_.empty()) << messages_.front().text;
}

// ---------------------------------------------------------------------------
// Page setup

HGLOBAL global_text(const char* text) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, std::strlen(text) + 1);
    std::strcpy(static_cast<char*>(GlobalLock(h)), text);
    GlobalUnlock(h);
    return h;
}

std::string global_string(HGLOBAL h) {
    std::string text = static_cast<const char*>(GlobalLock(h));
    GlobalUnlock(h);
    return text;
}

// What the common page-setup dialog was called with.
struct SetupCall {
    bool on_kept_record;
    DWORD flags;
    HWND owner;
    std::string dev_mode;
};
std::vector<SetupCall> g_setup_calls;

// The default printer "default"; the user then picks "chosen" with a left
// margin of 12.34 mm.
BOOL fake_page_setup(LPPAGESETUPDLGW r) {
    g_setup_calls.push_back({r == &page_setup_record(), r->Flags, r->hwndOwner,
                             r->hDevMode ? global_string(r->hDevMode) : ""});
    if (r->Flags & PSD_RETURNDEFAULT) {
        r->hDevMode = global_text("default");
        r->hDevNames = global_text("names");
        r->rtMargin = {1000, 1000, 1000, 1000};
    } else {
        GlobalFree(r->hDevMode);
        r->hDevMode = global_text("chosen");
        r->rtMargin.left = 1234;
    }
    return TRUE;
}

// The colour dialog picks red and leaves blue among the custom colours.
std::vector<COLORREF> g_custom_first;
BOOL fake_choose_color(CHOOSECOLORW& c) {
    g_custom_first.push_back(c.lpCustColors[0]);
    c.lpCustColors[0] = RGB(0, 0, 255);
    c.rgbResult = RGB(255, 0, 0);
    return (c.Flags & CC_RGBINIT) != 0;
}

bool enabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)); }

class PageSetupTest : public EditorTest {
  protected:
    void SetUp() override {
        EditorTest::SetUp();
        page_setup_record() = PAGESETUPDLGW{};
        g_setup_calls.clear();
        g_custom_first.clear();
        set_page_setup_dialog_function(fake_page_setup);
        set_choose_color_function(fake_choose_color);
    }
    void TearDown() override {
        EditorTest::TearDown();
        PAGESETUPDLGW& r = page_setup_record();
        GlobalFree(r.hDevMode);
        GlobalFree(r.hDevNames);
        r = PAGESETUPDLGW{};
        set_page_setup_dialog_function(nullptr);
        set_choose_color_function(nullptr);
    }
    void set_numbers(const char* width, const char* margin) {
        when_dialog("ページ設定", [this, width, margin](HWND dialog) {
            set_item_text(dialog, IDC_PS_QUESTION_RATE, width);
            set_item_text(dialog, IDC_PS_LINE_SPACE, margin);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            if (IsWindow(dialog)) {
                focus_ = GetDlgCtrlID(GetFocus());
                SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            }
        });
        command(CMD_PAGE_SETUP);
    }
    int focus_ = 0;
};

TEST_F(PageSetupTest, SettingsShowEnableAndStoreBackCancelKeepsOkTakesAndBadNumbersAreRefused) {
    // Title and answer numbers on with titles and answers off.
    write_file(dir_ + "\\QZOEDIT.INI",
               "[Print]\r\nPrintFlags=80\r\nTitlePosition=7\r\nQTStyle=7\r\nQQStyle=1\r\n");
    start();
    DWORD topic = 0;
    set_help_hook([&](UINT, DWORD t) { topic = t; });
    when_dialog("ページ設定", [&](HWND dialog) {
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PS_TITLE_RIGHT), BST_CHECKED);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PS_QT_STYLE, CB_GETCURSEL, 0, 0), 0);
        EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_PS_QQ_STYLE, CB_GETCURSEL, 0, 0), 2);
        EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_PS_TITLE_NUMBERS), BST_CHECKED);
        EXPECT_FALSE(enabled(dialog, IDC_PS_TITLE_NUMBERS));
        EXPECT_FALSE(enabled(dialog, IDC_PS_TITLE_FORMAT));
        EXPECT_FALSE(enabled(dialog, IDC_PS_QUESTION_NUMBERS));
        EXPECT_FALSE(enabled(dialog, IDC_PS_ANSWER_NUMBERS));
        EXPECT_TRUE(enabled(dialog, IDC_PS_QUESTION_FORMAT));  // answer numbers use it
        click(dialog, IDC_PS_TITLES);
        EXPECT_TRUE(enabled(dialog, IDC_PS_TITLE_FORMAT));
        EXPECT_TRUE(enabled(dialog, IDC_PS_TITLE_CENTER));
        click(dialog, IDC_PS_QUESTIONS);
        EXPECT_TRUE(enabled(dialog, IDC_PS_QUESTION_NUMBERS));
        click(dialog, IDC_PS_QUESTION_NUMBERS);
        click(dialog, IDC_PS_QUESTIONS);
        EXPECT_FALSE(enabled(dialog, IDC_PS_QUESTION_NUMBERS));
        SendMessageW(dialog, WM_COMMAND, IDC_HELP_BUTTON, 0);
        EXPECT_EQ(topic, 2010u);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_PAGE_SETUP);
    const PrintSettings& p = app().print;
    EXPECT_EQ(p.PrintFlags, PRINT_TITLES | PRINT_TITLE_NUMBERS | PRINT_QUESTION_NUMBERS |
                                PRINT_ANSWER_NUMBERS);
    EXPECT_EQ(p.TitlePosition, 2);
    EXPECT_EQ(p.QTStyle, PEN_NULL);
    EXPECT_EQ(p.QQStyle, PEN_DASH);
    EXPECT_EQ(p.NumTitle, "%t ");

    // Cancel keeps the colours and the printer, OK takes them.
    const PrintSettings before = app().print;
    for (int button : {IDCANCEL, IDOK}) {
        when_dialog("ページ設定", [button](HWND dialog) {
            click(dialog, IDC_PS_QQ_COLOR);
            click(dialog, IDC_PS_PRINTER);
            EXPECT_EQ(GetDlgCtrlID(GetFocus()), IDOK);
            SendMessageW(dialog, WM_COMMAND, button, 0);
        });
        command(CMD_PAGE_SETUP);
        if (button == IDCANCEL) {
            EXPECT_EQ(app().print.QQColor, before.QQColor);
            EXPECT_EQ(app().print.PrintFlags, before.PrintFlags);
            EXPECT_EQ(global_string(page_setup_record().hDevMode), "default");
            EXPECT_EQ(page_setup_record().rtMargin.left, 1000);
        }
    }
    EXPECT_EQ(app().print.QQColor, static_cast<std::uint32_t>(RGB(255, 0, 0)));
    EXPECT_EQ(app().print.QTColor, 0u);
    const PAGESETUPDLGW& r = page_setup_record();
    EXPECT_EQ(global_string(r.hDevMode), "chosen");
    EXPECT_EQ(global_string(r.hDevNames), "names");
    EXPECT_EQ(r.rtMargin.left, 1234);
    EXPECT_EQ(r.hwndOwner, main_window());
    // Custom colours last from one dialog to the next.
    EXPECT_EQ(g_custom_first, (std::vector<COLORREF>{RGB(255, 255, 255), RGB(0, 0, 255)}));
    // The default printer once, then the common dialog on the working copy only.
    ASSERT_EQ(g_setup_calls.size(), 3u);
    EXPECT_EQ(g_setup_calls[0].flags, static_cast<DWORD>(PSD_RETURNDEFAULT));
    for (int i : {1, 2}) {
        EXPECT_FALSE(g_setup_calls[i].on_kept_record);
        EXPECT_EQ(g_setup_calls[i].flags, 0x0Bu);
        EXPECT_EQ(g_setup_calls[i].dev_mode, "default");
        EXPECT_NE(g_setup_calls[i].owner, main_window());
    }

    // Which numbers are bad is the core's (PageSetupValues); the box the core
    // names gets the focus.
    set_numbers("101", "1000");
    ASSERT_EQ(messages_.size(), 1u);
    EXPECT_EQ(messages_[0].text, "数値が正しくありません。");
    EXPECT_EQ(messages_[0].type, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_EQ(focus_, IDC_PS_LINE_SPACE);
    EXPECT_EQ(app().print.QuestionRate, 50);
    set_numbers("", "999");
    EXPECT_EQ(app().print.QuestionRate, 0);
    EXPECT_EQ(app().print.LineSpace, 999);
}

// A format box left as shown gives back the bytes it was given, though code
// page 932 holds its character twice ("Ⅰ" of the IBM rows is 0xFA4A, its
// usual form 0x8754); a typed box gives what was typed, in the usual form.
TEST_F(PageSetupTest, FormatsLeftAsShownKeepTheirBytes) {
    write_file(dir_ + "\\QZOEDIT.INI", "[Print]\r\nNumTitle=\xFA\x4A%t\r\nNumQuestion=\xFA\x4A%q\r\n");
    start();
    when_dialog("ページ設定", [](HWND dialog) {
        set_item_text(dialog, IDC_PS_QUESTION_FORMAT, qz::item_text(dialog, IDC_PS_QUESTION_FORMAT) + ".");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_PAGE_SETUP);
    EXPECT_EQ(app().print.NumTitle, "\xFA\x4A%t");
    EXPECT_EQ(app().print.NumQuestion, "\x87\x54%q.");
}

}  // namespace
}  // namespace qz::test
