// The media check window: its rows, a row leading to its line, and the
// Recycle Bin step behind its question.
#include "editor_fixture.h"

#include <vector>

#include "core/exchange/exchange.h"
#include "resources/export_ids.h"
#include "resources/media_check_ids.h"
#include "resources/resource.h"
#include "win/operations/media_check_win.h"

namespace qz::test {
namespace {

using MediaCheckTest = EditorTest;

HWND rows() { return GetDlgItem(media_check_window(), IDC_MEDIA_LIST); }
int row_count() { return static_cast<int>(SendMessageW(rows(), LVM_GETITEMCOUNT, 0, 0)); }

TEST_F(MediaCheckTest, RowsLeadToLinesAndUnusedFilesGoOnlyWhenTheUserAgrees) {
    write_file(dir_ + "\\used.png", read_file(source_path("samples/flag.png")));
    write_file(dir_ + "\\spare.png", read_file(source_path("samples/flag.png")));
    open("#t,000000\r\nq1,a,<00\r\nq2\\i\"used.png\",b,<00\r\nq3,\\i\"gone.png\",<00\r\n");
    command(CMD_MEDIA_CHECK);
    ASSERT_TRUE(media_check_window());
    ASSERT_EQ(row_count(), 2);
    EXPECT_EQ(item_text(0, 0, rows()) + "|" + item_text(0, 1, rows()) + "|" + item_text(0, 2, rows()),
              "ファイルがない|gone.png|5");
    EXPECT_EQ(item_text(1, 0, rows()) + "|" + item_text(1, 1, rows()), "使われていない|spare.png");

    // A row leads to its line; an unused file's row has none to go to.
    activate_media_row(0);
    EXPECT_EQ(app().editor.current(), 3);
    activate_media_row(1);
    EXPECT_EQ(app().editor.current(), 3);

    // No: the file stays.
    answers_ = {IDNO};
    click(media_check_window(), IDC_MEDIA_RECYCLE);
    ASSERT_EQ(message_texts().size(), 1u);
    EXPECT_NE(message_texts()[0].find("ごみ箱"), std::string::npos);
    EXPECT_TRUE(file_exists(dir_ + "\\spare.png"));
    EXPECT_EQ(row_count(), 2);
    // Yes: it leaves the folder, the used one stays, and the rows are checked again.
    answers_ = {IDYES};
    click(media_check_window(), IDC_MEDIA_RECYCLE);
    EXPECT_FALSE(file_exists(dir_ + "\\spare.png"));
    EXPECT_TRUE(file_exists(dir_ + "\\used.png"));
    EXPECT_EQ(row_count(), 1);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(media_check_window(), IDC_MEDIA_RECYCLE)));
}

// The export dialog's option: the pictures beside the file, after the
// question about the one that cannot be read.
TEST_F(MediaCheckTest, ExportCopiesThePicturesBesideTheFile) {
    write_file(dir_ + "\\map.bmp", read_file(source_path("samples/map.bmp")));
    open("#t,000000\r\nq1\\i\"map.bmp\",a,<00\r\nq2,\\i\"gone.png\",<00\r\n");
    for (const int answer : {IDNO, IDYES}) {
        const std::string path = dir_ + "\\cards.tsv";
        answers_ = {answer};
        when_dialog("エクスポート", [&](HWND dialog) {
            SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_SETCURSEL, static_cast<WPARAM>(ExchangeFormat::tsv), 0);
            SetDlgItemTextW(dialog, IDC_EXPORT_PATH, std::wstring(path.begin(), path.end()).c_str());
            CheckDlgButton(dialog, IDC_EXPORT_MEDIA, BST_CHECKED);
            SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        });
        command(CMD_EXPORT);
        ASSERT_FALSE(message_texts().empty());
        EXPECT_NE(message_texts().back().find("gone.png（4 行目）"), std::string::npos) << message_texts().back();
        EXPECT_EQ(file_exists(path), answer == IDYES);
        EXPECT_EQ(file_exists(dir_ + "\\cards_media\\map.png"), answer == IDYES);
    }
    EXPECT_NE(read_file(dir_ + "\\cards.tsv").find("<img src=\"\"map.png\"\">"), std::string::npos);
}

// The option is there for the delimited formats only, which are the ones
// that leave their pictures beside the file.
TEST_F(MediaCheckTest, ThePictureOptionIsForDelimitedTextOnly) {
    open("#t,000000\r\nq1,a,<00\r\n");
    std::vector<bool> enabled;
    when_dialog("エクスポート", [&](HWND dialog) {
        for (ExchangeFormat f : {ExchangeFormat::gift, ExchangeFormat::csv, ExchangeFormat::aiken,
                                 ExchangeFormat::moodle_xml, ExchangeFormat::tsv}) {
            SendDlgItemMessageW(dialog, IDC_EXPORT_FORMAT, CB_SETCURSEL, static_cast<WPARAM>(f), 0);
            SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDC_EXPORT_FORMAT, CBN_SELCHANGE),
                         reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDC_EXPORT_FORMAT)));
            enabled.push_back(IsWindowEnabled(GetDlgItem(dialog, IDC_EXPORT_MEDIA)));
        }
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    });
    command(CMD_EXPORT);
    EXPECT_EQ(enabled, (std::vector<bool>{false, true, false, false, true}));
}

}  // namespace
}  // namespace qz::test
