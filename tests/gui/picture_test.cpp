#include <utility>

#include "win/view/command_state_win.h"
#include "win/base/handles_win.h"
#include "editor_fixture.h"
#include "win/app/file_commands_win.h"
#include "win/base/file_dialog_win.h"
#include "win/base/picture_win.h"
#include "resources/resource.h"

namespace qz::test {
namespace {

constexpr int kQuestionBox = 1026;
constexpr int kAnswerBox = 1029;
const char kBody[] = "#t,011100\r\nq,a,Z50\r\n";

using PictureTest = EditorTest;

TEST_F(PictureTest, InsertsAReferenceRelativeWhenTheUserSaysYes) {
    const struct {
        std::string chosen;  // empty: cancelled
        int answer;          // 0: not asked
        const char* inserted;
    } cases[] = {
        {"\\img\\p.png", IDYES, "\\i\"img\\p.png\""},
        {"\\img\\p.png", IDNO, nullptr},  // the absolute path
        {"", 0, ""},
    };
    for (const auto& c : cases) {
        open(kBody);
        focus_line(1);
        SetFocus(control(kAnswerBox));
        SendMessageA(control(kAnswerBox), EM_SETSEL, 1, 1);
        update_command_state();
        EXPECT_FALSE(menu_state(CMD_INSERT_IMAGE) & MFS_GRAYED);
        const std::string chosen = c.chosen.empty() ? "" : dir_ + c.chosen;
        dialog_answers_.push_back(chosen);
        if (c.answer) answers_.push_back(c.answer);
        command(CMD_INSERT_IMAGE);
        const std::string expected = "a" + (c.inserted ? std::string(c.inserted) : "\\i\"" + chosen + "\"");
        EXPECT_EQ(field(kAnswerBox), expected) << c.chosen;
        EXPECT_EQ(messages_.size(), c.answer ? 1u : 0u);
        if (c.answer) EXPECT_EQ(messages_[0].text, "相対パスにしますか？");
        EXPECT_EQ(modified(), !c.chosen.empty());
        EXPECT_EQ(GetFocus(), control(kAnswerBox));
        restart();
    }
}

// A real Open dialog gives the focus back to the main window, not to the
// field; the reference it inserts is still the pane's edit and is committed.
TEST_F(PictureTest, AReferenceInsertedWhileTheFocusIsAwayIsCommittedWhenTheLineIsLeft) {
    open(kBody);
    focus_line(1);
    SetFocus(control(kAnswerBox));
    SendMessageA(control(kAnswerBox), EM_SETSEL, 1, 1);
    set_file_dialog_hook([this](HWND, bool, const std::string&) -> std::optional<std::string> {
        SetFocus(list());
        return dir_ + "\\p.png";
    });
    answers_.push_back(IDNO);
    command(CMD_INSERT_IMAGE);
    const std::string reference = "\\i\"" + dir_ + "\\p.png\"";
    ASSERT_EQ(field(kAnswerBox), "a" + reference);
    leave_pane();
    EXPECT_EQ(doc().line_at(1)->text(), "q,a" + reference + ",Z50");
    EXPECT_TRUE(modified());
}

TEST_F(PictureTest, OtherDriveIsAbsoluteAndTheCommandNeedsAFieldOfFormat14) {
    open(kBody);
    focus_line(1);
    SetFocus(control(kQuestionBox));
    SendMessageA(control(kQuestionBox), EM_SETSEL, 0, -1);
    dialog_answers_.push_back("Q:\\pics\\p.png");
    command(CMD_INSERT_IMAGE);
    EXPECT_EQ(field(kQuestionBox), "\\i\"Q:\\pics\\p.png\"");
    EXPECT_TRUE(messages_.empty());
    SetFocus(list());
    update_command_state();
    EXPECT_TRUE(menu_state(CMD_INSERT_IMAGE) & MFS_GRAYED);
    restart();
    open(kBody, "1.3");
    focus_line(1);
    SetFocus(control(kQuestionBox));
    update_command_state();
    EXPECT_TRUE(menu_state(CMD_INSERT_IMAGE) & MFS_GRAYED);
}

// A white 24-bit page of 200 x 300 pixels at 72 dpi to draw on.
class Page {
public:
    Page() : dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), 200, -300, 1, 24, BI_RGB, 0, 0, 0, 0, 0};
        bitmap_.reset(CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0));
        old_ = SelectObject(dc_, bitmap_.get());
        PatBlt(dc_, 0, 0, 200, 300, WHITENESS);
    }
    ~Page() {
        SelectObject(dc_, old_);
        DeleteDC(dc_);
    }
    HDC dc() const { return dc_; }
    COLORREF at(int x, int y) const {
        GdiFlush();
        const std::uint8_t* p = bits_ + y * 600 + x * 3;
        return RGB(p[2], p[1], p[0]);
    }

private:
    HDC dc_;
    unique_bitmap bitmap_;
    HGDIOBJ old_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};

std::string le32(std::uint32_t v) {
    return {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16), static_cast<char>(v >> 24)};
}

// A top-down 24-bit BMP of 4 x 2 pixels: the top row red, the bottom row blue.
std::string two_row_bmp() {
    std::string pixels;
    for (int i = 0; i < 4; ++i) pixels.insert(0, "\0\0\xFF", 3), pixels.append("\xFF\0\0", 3);
    return "BM" + le32(54 + 24) + le32(0) + le32(54) + le32(40) + le32(4) + le32(-2) +
           std::string("\1\0\x18\0", 4) + std::string(24, '\0') + pixels;
}

TEST_F(PictureTest, DrawsPicturesOnLinesOfTheirOwnAndMeasuresThem) {
    open(kBody);
    copy_to_temp("samples/map.bmp", "map.bmp");  // 64 x 48, no resolution: one pixel per point
    write_file(dir_ + "\\up.bmp", two_row_bmp());
    copy_to_temp("samples/flag.png", "flag.png");  // its corners are transparent
    Page page;
    SetBkColor(page.dc(), RGB(0, 255, 0));
    const PictureContext context{main_window(), page.dc(), 72};
    RECT line{0, 0, 200, 300};
    const int text = DrawTextA(page.dc(), "A", 1, &line, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    const RECT all{10, 5, 190, 295};
    const struct {
        const char* text;
        UINT format;
        int height;
        int x, y;  // a pixel of the picture
        COLORREF colour;
    } cases[] = {
        {"A\\i\"map.bmp\"B", DT_LEFT, 2 * text + 2 + 48, 10, 5 + text + 1, RGB(0x3C, 0x78, 0xD8)},
        {"A\\i\"map.bmp\"B", DT_RIGHT, 2 * text + 2 + 48, 189, 5 + text + 1, RGB(0x3C, 0x78, 0xD8)},
        // An empty text before or after a picture takes no room.
        {"\\i\"up.bmp\"", DT_CENTER, 2 + 2, 99, 5 + 1, RGB(255, 0, 0)},
        {"\\i\"up.bmp\"", DT_CENTER, 2 + 2, 100, 5 + 2, RGB(0, 0, 255)},
        {"\\i\"flag.png\"", DT_LEFT, 2 + 32, 10, 5 + 1, RGB(0, 255, 0)},
        {"A\\i\"x.gif\"", DT_LEFT, text, 0, 0, RGB(255, 255, 255)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        PatBlt(page.dc(), 0, 0, 200, 300, WHITENESS);
        EXPECT_EQ(draw_text_with_images(c.text, 128, all, c.format | DT_CALCRECT, context), c.height);
        EXPECT_EQ(page.at(c.x, c.y), RGB(255, 255, 255)) << "measuring draws nothing";
        EXPECT_EQ(draw_text_with_images(c.text, 128, all, c.format, context), c.height);
        EXPECT_EQ(page.at(c.x, c.y), c.colour);
    }
    // A picture wider than its column is cut at the column's edge, and the
    // page's clipping is as before afterwards.
    PatBlt(page.dc(), 0, 0, 200, 300, WHITENESS);
    draw_text_with_images("\\i\"map.bmp\"", 128, RECT{10, 5, 40, 295}, DT_LEFT, context);
    EXPECT_EQ(page.at(39, 6), RGB(0x3C, 0x78, 0xD8));
    EXPECT_EQ(page.at(41, 6), RGB(255, 255, 255));
    PatBlt(page.dc(), 0, 0, 200, 300, BLACKNESS);
    EXPECT_EQ(page.at(100, 100), RGB(0, 0, 0));
    EXPECT_TRUE(messages_.empty());

    EXPECT_EQ(draw_text_with_images("A\\i\"gone.png\"", 128, all, DT_CALCRECT, context), text);
    ASSERT_EQ(message_texts(), std::vector<std::string>{"ファイルが見つかりません。\r\n" + dir_ + "\\gone.png"});
    write_file(dir_ + "\\bad.png", "\x89PNG\r\n\x1A\n");
    draw_text_with_images("\\i\"bad.png\"", 128, all, DT_CALCRECT, context);
    ASSERT_EQ(messages_.size(), 2u);
    EXPECT_EQ(messages_[1].text, "PNG ファイルが途中で切れています。\r\n" + dir_ + "\\bad.png");
}

// On a page that shows a device's page (a preview), a picture that gives its
// resolution is sized in that device's dots and the page keeps its mapping.
TEST_F(PictureTest, ResolutionSizesInTheDotsOfTheDeviceShown) {
    Page device, preview;
    SetMapMode(preview.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(preview.dc(), 400, 600, nullptr);
    SetViewportExtEx(preview.dc(), 200, 300, nullptr);
    Picture picture;
    for (const auto [at, value] : {std::pair{4, 100}, {8, 50}, {24, 3937}, {28, 3937}}) picture.set_field(at, value);
    const SIZE on_device = picture_page_size({nullptr, device.dc(), 72}, picture);
    const SIZE shown = picture_page_size({nullptr, preview.dc(), 72, device.dc()}, picture);
    EXPECT_EQ(shown.cx, on_device.cx);
    EXPECT_EQ(shown.cy, on_device.cy);
    SIZE extent{};
    GetWindowExtEx(preview.dc(), &extent);
    EXPECT_EQ(extent.cx, 400);
    EXPECT_EQ(extent.cy, 600);
}

}  // namespace
}  // namespace qz::test
