#include "core/exchange/exchange_io.h"
#include "editor_fixture.h"
#include "resources/export_ids.h"
#include "resources/import_ids.h"
#include "resources/resource.h"
#include "win/view/line_list_win.h"

#include <cwchar>
#include <string_view>

namespace qz::test {
namespace {

using ExchangeTest = EditorTest;

void pick(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

int rows(HWND dialog, int list) {
    return static_cast<int>(SendDlgItemMessageW(dialog, list, LVM_GETITEMCOUNT, 0, 0));
}

std::string text_of(HWND dialog, int id) { return window_text(GetDlgItem(dialog, id)); }

// The path an edit box shows, UTF-8.
std::string path_of(HWND dialog, int id) {
    wchar_t text[MAX_PATH * 2];
    return utf8_path(std::wstring_view(text, static_cast<std::size_t>(GetDlgItemTextW(dialog, id, text, MAX_PATH * 2))));
}

// The cards go in after the current line (at the start of a new document),
// selected; one undo takes them all out. In the dialog, a column read as
// nothing leaves no card and OK refuses; its role back, OK takes the cards.
// Another program's answers are text unless the dialog is told to read
// them as answer syntax.
TEST_F(ExchangeTest, ImportInsertsTheCardsAfterTheCurrentLineAsOneUndoableStep) {
    struct Case {
        const char* fixture;
        const char* body;  // null: a new document
        int focus;
        const char* summary;
        const char* expected;
        std::vector<int> inserted;
        const char* status;
        bool answer_syntax = false;
    };
    const Case cases[] = {
        {"gui_plain.tsv", "#t,000000\r\nq1,a,<00\r\nq2,b,<00\r\n", 1, "カード 2 枚（タイトル 0 行）を読み込みます。",
         "#t,000000|q1,a,<00|犬,dog,<00|猫,cat,<00|q2,b,<00|", {2, 3}, "2 枚のカードを挿入しました。"},
        {"gui_decks.tsv", nullptr, 0, "カード 3 枚（タイトル 2 行）を読み込みます。",
         "#動物,000000|犬,dog,<00|猫,[cat|kitty],<00|#果物,000000|林檎,apple,<00|_|", {0, 1, 2, 3, 4},
         "3 枚のカードを挿入しました。", true},
        {"gui_decks.tsv", nullptr, 0, "カード 3 枚（タイトル 2 行）を読み込みます。",
         "#動物,000000|犬,dog,<00|猫,\\[cat\\|kitty\\],<00|#果物,000000|林檎,apple,<00|_|", {0, 1, 2, 3, 4},
         "3 枚のカードを挿入しました。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.fixture);
        restart();
        if (c.body)
            open(c.body);
        else
            start();
        focus_line(c.focus);
        const std::string before = joined_lines();
        dialog_answers_ = {copy_to_temp(std::string("tests/data/exchange/") + c.fixture, c.fixture)};
        when_dialog("インポート", [&](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_IMPORT_FORMAT, CB_GETCURSEL, 0, 0), 0);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_IMPORT_NAMES_ROW), BST_CHECKED);
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_IMPORT_ANSWER_SYNTAX), BST_UNCHECKED);
            if (c.answer_syntax) {
                CheckDlgButton(dialog, IDC_IMPORT_ANSWER_SYNTAX, BST_CHECKED);
                SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_ANSWER_SYNTAX, BN_CLICKED),
                             reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_IMPORT_ANSWER_SYNTAX)));
                EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_IMPORT_ANSWER_SYNTAX), BST_CHECKED);
            }
            EXPECT_EQ(text_of(dialog, IDC_IMPORT_SUMMARY), c.summary);
            EXPECT_EQ(rows(dialog, IDC_IMPORT_PREVIEW), static_cast<int>(c.inserted.size()));
            EXPECT_EQ(item_text(0, 2, GetDlgItem(dialog, IDC_IMPORT_COLUMNS)), "問題");
            pick(dialog, IDC_IMPORT_ROLE, static_cast<int>(ColumnRole::ignore));
            EXPECT_EQ(item_text(0, 2, GetDlgItem(dialog, IDC_IMPORT_COLUMNS)), "（読み込まない）");
            EXPECT_EQ(rows(dialog, IDC_IMPORT_PREVIEW), 0);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            ASSERT_TRUE(IsWindow(dialog));
            EXPECT_EQ(message_texts().back(), "読み込めるカードがありません。");
            pick(dialog, IDC_IMPORT_ROLE, static_cast<int>(ColumnRole::question));
            EXPECT_EQ(text_of(dialog, IDC_IMPORT_SUMMARY), c.summary);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        command(CMD_IMPORT);
        EXPECT_EQ(dialogs_shown_, (std::vector<std::string>{"open:"}));
        EXPECT_EQ(joined_lines(), c.expected);
        EXPECT_EQ(selected_items(), c.inserted);
        EXPECT_EQ(status_text(0), c.status);
        SetFocus(list());
        command(CMD_UNDO);
        EXPECT_EQ(joined_lines(), before);
    }
}

// Nothing changes when the file dialog or the import dialog is cancelled,
// or when the file cannot be read (a message names it).
TEST_F(ExchangeTest, CancelOrAnUnreadableFileChangesNothing) {
    struct Case {
        const char* what;
        bool folder;        // a folder's name for the file
        bool choose;        // the file dialog gives a name
        const char* said;   // the start of the message, or ""
    };
    const Case cases[] = {
        {"file dialog cancelled", false, false, ""},
        {"import dialog cancelled", false, true, ""},
        {"a folder", true, true, "ファイル読み込みに失敗しました。"},
    };
    open("#t,000000\r\nq1,a,<00\r\n");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        focus_line(1);
        messages_.clear();
        const std::string path = c.folder ? dir_ : copy_to_temp("tests/data/exchange/gui_plain.tsv", "cards.tsv");
        dialog_answers_ = {c.choose ? path : ""};
        bool shown = false;
        if (c.choose && !c.folder)
            when_dialog("インポート", [&](HWND dialog) {
                shown = true;
                SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
            });
        command(CMD_IMPORT);
        EXPECT_EQ(shown, c.choose && !c.folder);
        EXPECT_EQ(joined_lines(), "#t,000000|q1,a,<00|");
        EXPECT_FALSE(modified());
        if (*c.said) {
            ASSERT_EQ(messages_.size(), 1u);
            EXPECT_EQ(messages_[0].text.rfind(c.said, 0), 0u) << messages_[0].text;
            EXPECT_NE(messages_[0].text.find(path), std::string::npos) << messages_[0].text;
        } else {
            EXPECT_TRUE(messages_.empty());
        }
    }
}

// A column with values that no role takes is told in the problem list; the
// button makes it the comment, and the cards take it.
TEST_F(ExchangeTest, AColumnWithoutRoleIsToldAndCanBecomeTheComment) {
    restart();
    start();
    dialog_answers_ = {copy_to_temp("tests/data/exchange/foreign/three_columns.tsv", "three.tsv")};
    when_dialog("インポート", [&](HWND dialog) {
        HWND columns = GetDlgItem(dialog, IDC_IMPORT_COLUMNS);
        EXPECT_EQ(item_text(2, 2, columns), "（読み込まない）");
        EXPECT_EQ(text_of(dialog, IDC_IMPORT_SUMMARY), "カード 3 枚（タイトル 0 行）を読み込みます。注意 1");
        HWND problems = GetDlgItem(dialog, IDC_IMPORT_PROBLEMS);
        ASSERT_EQ(rows(dialog, IDC_IMPORT_PROBLEMS), 1);
        EXPECT_EQ(item_text(0, 0, problems), "");
        EXPECT_EQ(item_text(0, 1, problems), "3");
        EXPECT_NE(item_text(0, 2, problems).find("「コメント」"), std::string::npos);
        ASSERT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDC_IMPORT_TO_COMMENT)));
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_IMPORT_TO_COMMENT, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_IMPORT_TO_COMMENT)));
        EXPECT_EQ(item_text(2, 2, columns), "コメント");
        EXPECT_EQ(rows(dialog, IDC_IMPORT_PROBLEMS), 0);
        EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDC_IMPORT_TO_COMMENT)));
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_IMPORT);
    EXPECT_EQ(joined_lines(), "apple,りんご,<00'名詞|run,走る,<00'動詞|quick,速い,<00'形容詞|_|");
}

// An emoji has no Shift-JIS form: OK asks before putting "〓" in its place;
// No leaves the dialog open and the document as it was.
TEST_F(ExchangeTest, ACharacterWithoutShiftJisIsReplacedOnlyWhenTheUserAgrees) {
    for (const int answer : {IDNO, IDYES}) {
        SCOPED_TRACE(answer == IDYES ? "yes" : "no");
        restart();
        open("q1,a,<00\r\n");
        focus_line(0);
        dialog_answers_ = {copy_to_temp("tests/data/exchange/gui_emoji.tsv", "emoji.tsv")};
        answers_ = {answer};
        when_dialog("インポート", [&](HWND dialog) {
            EXPECT_EQ(text_of(dialog, IDC_IMPORT_SUMMARY),
                      "カード 2 枚（タイトル 0 行）を読み込みます。置き換える文字 1");
            HWND problems = GetDlgItem(dialog, IDC_IMPORT_PROBLEMS);
            ASSERT_EQ(rows(dialog, IDC_IMPORT_PROBLEMS), 1);
            EXPECT_EQ(item_text(0, 0, problems), "1");
            EXPECT_EQ(item_text(0, 1, problems), "2");
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
            // Ending the dialog gives the main window back its input at once.
            EXPECT_EQ(IsWindowEnabled(main_window()) == FALSE, answer == IDNO);
            if (answer == IDNO) SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
        });
        command(CMD_IMPORT);
        EXPECT_EQ(message_texts(), (std::vector<std::string>{
                                       "Shift-JIS にない文字が 1 箇所あります。「〓」に置き換えて読み込みますか？"}));
        EXPECT_EQ(joined_lines(), answer == IDYES ? "q1,a,<00|犬,dog 〓,<00|猫,cat,<00|" : "q1,a,<00|");
        EXPECT_EQ(modified(), answer == IDYES);
    }
}

// The file written is what export_cards makes of the same cards, byte for
// byte, for every format, encoding and scope; the dialog starts with the
// last choice and the format's extension follows the format.
TEST_F(ExchangeTest, ExportWritesWhatTheCoreMakesOfTheDocument) {
    struct Case {
        ExchangeFormat format;
        TextEncoding encoding;
        bool selection;
        const char* extension;
    };
    const Case cases[] = {
        {ExchangeFormat::tsv, TextEncoding::utf8, false, ".tsv"},
        {ExchangeFormat::csv, TextEncoding::utf8_bom, false, ".csv"},
        {ExchangeFormat::csv, TextEncoding::cp932, true, ".csv"},
        {ExchangeFormat::gift, TextEncoding::utf8, false, ".txt"},
        {ExchangeFormat::aiken, TextEncoding::utf8, false, ".txt"},
        {ExchangeFormat::tsv, TextEncoding::cp932, true, ".tsv"},
    };
    const std::string sample = copy_to_temp("samples/sample.qzf", "sample.qzf");
    start("\"" + sample + "\"");
    const std::vector<int> chosen = {3, 14, 15, 16, 20};
    ExchangeFormat previous = ExchangeFormat::tsv;
    int number = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(number);
        select_only(c.selection ? chosen : std::vector<int>{15});
        messages_.clear();
        const std::string path = dir_ + "\\out" + std::to_string(number++) + c.extension;
        when_dialog("エクスポート", [&](HWND dialog) {
            EXPECT_EQ(SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_GETCURSEL, 0, 0), static_cast<int>(previous));
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_EXPORT_SELECTION), c.selection ? BST_CHECKED : BST_UNCHECKED);
            pick(dialog, IDC_EXPORT_FORMAT, static_cast<int>(c.format));
            EXPECT_EQ(path_of(dialog, IDC_EXPORT_PATH), dir_ + "\\sample" + c.extension);
            pick(dialog, IDC_EXPORT_ENCODING, static_cast<int>(c.encoding));
            SetDlgItemTextW(dialog, IDC_EXPORT_PATH, wide_path(path).c_str());
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        command(CMD_EXPORT);
        previous = c.format;
        const std::vector<ExchangeCard> cards = cards_from_document(doc(), c.selection ? &chosen : nullptr);
        ExportOptions options;
        options.encoding = c.encoding;
        const ExportResult expected = export_cards(cards, c.format, options);
        ASSERT_GT(expected.cards, 0);
        EXPECT_EQ(read_file(path), expected.bytes);
        EXPECT_EQ(status_text(0), std::to_string(expected.cards) + " 枚のカードを書き出しました。");
        // Lines that are no questions in the selection, and cards the format
        // leaves out, are told.
        EXPECT_EQ(messages_.size(), c.selection || expected.left_out > 0 || expected.undecodable > 0 ? 1u : 0u);
    }
    EXPECT_FALSE(modified());
}

// A file that cannot be written stays as it was, and the message names it;
// a document without questions writes nothing.
TEST_F(ExchangeTest, AFailedOrEmptyExportLeavesTheFileAsItWas) {
    struct Case {
        const char* what;
        const char* body;
        const char* old;  // the file's bytes before, or null for none
        bool read_only;
        const char* folder;  // a folder between dir_ and the file, or ""
        const char* said;
    };
    const Case cases[] = {
        {"read-only", "q1,a,<00\r\n", "old", true, "", "書き込みできません。\n"},
        {"missing folder", "q1,a,<00\r\n", nullptr, false, "\\missing", "書き込みできません。\n"},
        {"no questions", "#t,000000\r\n'comment\r\n", nullptr, false, "", "書き出すカードがありません。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        restart();
        open(c.body);
        const std::string path = dir_ + c.folder + "\\" + c.what + ".tsv";
        if (c.old) write_file(path, c.old);
        if (c.read_only) SetFileAttributesW(wide_path(path).c_str(), FILE_ATTRIBUTE_READONLY);
        if (c.old) answers_ = {IDYES};  // replace the file there
        when_dialog("エクスポート", [&](HWND dialog) {
            pick(dialog, IDC_EXPORT_FORMAT, static_cast<int>(ExchangeFormat::tsv));
            SetDlgItemTextW(dialog, IDC_EXPORT_PATH, wide_path(path).c_str());
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        command(CMD_EXPORT);
        ASSERT_FALSE(messages_.empty());
        const std::string said = messages_.back().text;
        EXPECT_EQ(said.rfind(c.said, 0), 0u) << said;
        if (said.rfind("書き込み", 0) == 0) {
            EXPECT_NE(said.find(path), std::string::npos) << said;
        }
        EXPECT_EQ(file_exists(path), c.old != nullptr);
        if (c.old) {
            EXPECT_EQ(read_file(path), c.old);
        }
        EXPECT_EQ(status_text(0).find("書き出しました"), std::string::npos);
        EXPECT_FALSE(modified());
        if (c.read_only) SetFileAttributesW(wide_path(path).c_str(), FILE_ATTRIBUTE_NORMAL);
    }
}

// A file whose folder code page 932 cannot hold: the export proposes the
// document's own name and writes there; an Aiken import's title is the
// file's name, in the data's code page.
TEST_F(ExchangeTest, PathsOfAnyScriptReachBothDialogsWhole) {
    // UTF-8 (the sources are compiled to code page 932): 한국, 第一回.
    const std::string folder = dir_ + "\\\xED\x95\x9C\xEA\xB5\xAD";
    const std::string name = "\xE7\xAC\xAC\xE4\xB8\x80\xE5\x9B\x9E";
    CreateDirectoryW(wide_path(folder).c_str(), nullptr);
    write_file(folder + "\\" + name + ".qzf", "QUIZODATA V1.4\r\n#t,000000\r\nq1,a,<00\r\n");
    start("\"" + folder + "\\" + name + ".qzf\"");
    ASSERT_EQ(doc().file_name, folder + "\\" + name + ".qzf");
    when_dialog("エクスポート", [&](HWND dialog) {
        pick(dialog, IDC_EXPORT_FORMAT, static_cast<int>(ExchangeFormat::tsv));
        EXPECT_EQ(path_of(dialog, IDC_EXPORT_PATH), folder + "\\" + name + ".tsv");
        pick(dialog, IDC_EXPORT_FORMAT, static_cast<int>(ExchangeFormat::csv));
        EXPECT_EQ(path_of(dialog, IDC_EXPORT_PATH), folder + "\\" + name + ".csv");
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    command(CMD_EXPORT);
    EXPECT_TRUE(file_exists(folder + "\\" + name + ".csv"));

    const std::string aiken = folder + "\\" + name + ".txt";
    write_file(aiken, "Q?\r\nA. x\r\nB. y\r\nANSWER: A\r\n");
    dialog_answers_ = {aiken};
    when_dialog("インポート", [&](HWND dialog) {
        pick(dialog, IDC_IMPORT_FORMAT, static_cast<int>(ExchangeFormat::aiken));
        EXPECT_EQ(path_of(dialog, IDC_IMPORT_FILE), aiken);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    });
    focus_line(1);
    command(CMD_IMPORT);
    EXPECT_NE(joined_lines().find("|#第一回,"), std::string::npos) << joined_lines();
}

// The clipboard's text in one format, as bytes (CF_UNICODETEXT: its UTF-16
// code units, up to the zero).
std::string clipboard_bytes(UINT format) {
    std::string bytes;
    if (!OpenClipboard(nullptr)) return bytes;
    if (HANDLE data = GetClipboardData(format)) {
        if (format == CF_UNICODETEXT) {
            const auto* text = static_cast<const wchar_t*>(GlobalLock(data));
            bytes.assign(reinterpret_cast<const char*>(text), std::wcslen(text) * sizeof(wchar_t));
        } else {
            bytes = static_cast<const char*>(GlobalLock(data));
        }
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

std::string utf16_bytes(std::wstring_view text) {
    return {reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t)};
}

// Another program reads a copied line as the same text in either format,
// and Japanese that arrives only as UTF-16 is pasted as its Shift-JIS bytes,
// whatever code page the system runs other programs in; a character
// Shift-JIS lacks becomes "〓", and the status bar says which.
TEST_F(ExchangeTest, TheClipboardCarriesTheSameTextAsUnicodeAndAsShiftJis) {
    open("問題,答え,<00\r\n表示,ソ,<00\r\n");
    focus_line(1);
    select_only({1});
    SetFocus(list());
    command(CMD_COPY);
    EXPECT_EQ(clipboard_bytes(CF_TEXT), "表示,ソ,<00\r\n");
    EXPECT_EQ(clipboard_bytes(CF_UNICODETEXT), utf16_bytes(L"\u8868\u793a,\u30bd,<00\r\n"));

    struct Case {
        const wchar_t* pasted;
        const char* line;
        const char* status;
    } cases[] = {
        {L"\u8868\u793a,\u2460\uff5e,<00", "表示,①～,<00", ""},
        {L"\uac00\u00e9,x,<00", "〓〓,x,<00", "Shift-JIS にない文字 U+AC00 U+00E9 を「〓」にしました。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(status_text(0));
        focus_line(0);
        SetFocus(list());
        show_status_message("");
        set_clipboard(c.pasted, (std::wcslen(c.pasted) + 1) * sizeof(wchar_t), CF_UNICODETEXT);
        command(CMD_PASTE);
        ASSERT_EQ(doc().count(), 3);
        EXPECT_EQ(doc().line_at(1)->text(), c.line);
        EXPECT_EQ(status_text(0), c.status);
        EXPECT_TRUE(messages_.empty());
        command(CMD_UNDO);
    }
}

}  // namespace
}  // namespace qz::test
