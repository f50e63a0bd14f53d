// The question pane: edits question, comment and blank lines (dialog 602).
#include "win/view/question_pane.h"

#include <commctrl.h>

#include "core/document/line_queries.h"
#include "core/layout/pane_layout.h"
#include "core/syntax/answer.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "resources/resource.h"
#include "win/base/app_state.h"
#include "win/base/guarded.h"
#include "win/base/separator.h"
#include "win/view/history_control.h"
#include "win/view/line_list_win.h"
#include "win/view/pane_common.h"
#include "win/view/pane_host.h"

namespace qz {
namespace {

constexpr int kTitleButton = 1024;
constexpr int kTitleBox = 1055;
constexpr int kQuestionLabel = 1025;
constexpr int kQuestionBox = 1026;
constexpr int kAnswerSeparator = 1027;
constexpr int kAnswerBox = 1029;
constexpr int kHistorySeparator = 1030;
constexpr int kHistory = 1032;
constexpr int kGroupList = 1056;
constexpr int kAnswerNumberLabel = 1035;
constexpr int kAnswerNumberList = 1036;

const char kF1Hint[] = "ヘルプを見るにはF1キーを押してください。";
const char kSyntaxError[] = "構文エラーです。";

void set_status(const char* text) {
    if (app().status_bar)
        SendMessageA(app().status_bar, SB_SETTEXTA, 0 | SBT_NOBORDERS, reinterpret_cast<LPARAM>(text));
}

HWND item(HWND pane, int id) { return GetDlgItem(pane, id); }

int selection(HWND pane, int id) {
    return static_cast<int>(SendDlgItemMessageA(pane, id, CB_GETCURSEL, 0, 0));
}

void select(HWND pane, int id, int index) {
    SendDlgItemMessageA(pane, id, CB_SETCURSEL, index, 0);
}

// The title text of the title that governs the line, unescaped; empty when
// there is none.
std::string governing_title(const PaneLine& p) {
    const DataLine* title = p.doc.enclosing_title(&p.line);
    if (!title) return {};
    const char* start = nullptr;
    int length = title_text_field(title->c_str(), &start);
    if (length <= 0) return {};
    return copy_unescaped(start, length, p.charsets.title, p.doc.version);
}

void clear(HWND pane) {
    set_control_text(pane, kTitleBox, "");
    set_control_text(pane, kQuestionBox, "");
    set_control_text(pane, kAnswerBox, "");
}

void fill(HWND pane, const PaneLine& p) {
    const int version = p.doc.version;
    set_control_text(pane, kCommentField, "");
    const bool numbers_offered = version >= 13;
    ShowWindow(item(pane, kAnswerNumberList), numbers_offered ? SW_SHOWNA : SW_HIDE);
    ShowWindow(item(pane, kAnswerNumberLabel), numbers_offered ? SW_SHOWNA : SW_HIDE);
    fill_answer_numbers(item(pane, kAnswerNumberList));
    SendDlgItemMessageA(pane, kHistory, kHistorySetValue, 0, 0);
    select(pane, kGroupList, 0);
    select(pane, kAnswerNumberList, 0);

    const char* text = p.line.c_str();
    if (!p.line.has_text()) return;
    const QuestionFields shown = question_display_fields(text, p.charsets, version);
    set_control_text(pane, kCommentField, shown.comment);
    if (is_comment(&p.line)) return;
    set_control_text(pane, kTitleBox, governing_title(p));
    if (!shown.question.empty()) set_control_text(pane, kQuestionBox, shown.question);
    if (!shown.answer.empty()) set_control_text(pane, kAnswerBox, shown.answer);
    SendDlgItemMessageA(pane, kHistory, kHistorySetValue, 0, std::max(question_history(text), 0));
    select(pane, kGroupList, question_group(text));
    // A stored number the list does not offer stays selected as nothing, so
    // that committing keeps it.
    int number = question_answer_number(text);
    int offered = static_cast<int>(SendDlgItemMessageA(pane, kAnswerNumberList, CB_GETCOUNT, 0, 0));
    select(pane, kAnswerNumberList, number < offered ? number : -1);
}

// A text field the user left as filled keeps the bytes the line stores.
std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    const char* line = p.line.c_str();
    const int version = p.doc.version;
    const QuestionFields filled = question_display_fields(line, p.charsets, version);
    const std::string question = control_text(pane, kQuestionBox);
    const std::string answer = control_text(pane, kAnswerBox);
    QuestionEdit edit;
    edit.question = field_edit(question, filled.question);
    edit.answer = field_edit(answer, filled.answer);
    edit.comment = field_edit(control_text(pane, kCommentField), filled.comment);
    if (question.empty() && answer.empty()) {
        set_control_text(pane, kTitleBox, "");
        return compose_question_line(line, edit, p.charsets, version);
    }
    edit.history = static_cast<int>(SendDlgItemMessageA(pane, kHistory, kHistoryGetValue, 0, 0));
    edit.group = selection(pane, kGroupList);
    edit.answer_number = selection(pane, kAnswerNumberList);
    if (edit.answer_number < 0) {
        // Nothing is offered (format 1.2) or nothing fits the stored number:
        // the line keeps the number it has.
        edit.answer_number = std::max(question_answer_number(line), 0);
    }
    std::string text = compose_question_line(line, edit, p.charsets, version);
    std::string title = governing_title(p);
    if (!title.empty()) set_control_text(pane, kTitleBox, title);
    return text;
}

void apply_fonts(HWND pane) {
    set_control_font(pane, kTitleBox, pane_font(FONT_TITLE));
    set_control_font(pane, kQuestionBox, pane_font(FONT_QUESTION));
    set_control_font(pane, kAnswerBox, pane_font(FONT_ANSWER));
    for (int id : {kHistory, kGroupList, kAnswerNumberList})
        set_control_font(pane, id, pane_control_font());
}

void layout(HWND pane, int width, int height) {
    Preferences& prefs = app().prefs;
    QuestionSplits splits{prefs.AnswerTop, prefs.HistoryTop};
    place_controls(pane,
                   question_pane_layout(width, height, cell_height(pane, kQuestionLabel),
                                        cell_height(pane, kHistory), GetSystemMetrics(SM_CYEDGE),
                                        GetSystemMetrics(SM_CYBORDER), splits),
                   false);
    prefs.AnswerTop = splits.answer_top;
    prefs.HistoryTop = splits.history_top;
    InvalidateRect(pane, nullptr, TRUE);
}

void relayout(HWND pane) {
    RECT client;
    GetClientRect(pane, &client);
    layout(pane, client.right, client.bottom);
}

void go_to_title() {
    CardDocument& doc = app().doc;
    const DataLine* title = doc.enclosing_title(doc.line_at(doc.current));
    if (!title) return;
    int index = doc.line_index(title);
    deselect_all_lines();
    set_item_state(index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageA(app().line_list, LVM_ENSUREVISIBLE, index, FALSE);
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    switch (id) {
    case kTitleButton:
        if (code == BN_CLICKED) go_to_title();
        return TRUE;
    case kQuestionBox:
        return field_notification(pane, code, control, ime_mode_for(FONT_QUESTION));
    case kAnswerBox: {
        bool handled = field_notification(pane, code, control, ime_mode_for(FONT_ANSWER));
        if (code == EN_KILLFOCUS) fill_answer_numbers(item(pane, kAnswerNumberList));
        return handled;
    }
    case kCommentField:
        return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    case kGroupList:
    case kAnswerNumberList:
        return combo_notification(code);
    }
    return FALSE;
}

void init(HWND pane) {
    SendDlgItemMessageA(pane, kAnswerSeparator, kSeparatorSetOrientation, 0, 0);
    SendDlgItemMessageA(pane, kHistorySeparator, kSeparatorSetOrientation, 0, 0);
    make_history_control(item(pane, kHistory));
    fill_group_names(pane, kGroupList);
}

int edit_colors(int id) {
    switch (id) {
    case kQuestionBox: return FONT_QUESTION;
    case kAnswerBox: return FONT_ANSWER;
    case kCommentField: return FONT_COMMENT;
    }
    return -1;
}

// The answer or history separator was dragged: its split follows.
void separator_moved(HWND pane, int id, int position) {
    Preferences& prefs = app().prefs;
    int& split = id == kAnswerSeparator ? prefs.AnswerTop : prefs.HistoryTop;
    if (position == split) return;
    split = position;
    relayout(pane);
}

const PaneBehaviour kBehaviour = {kTitleButton, init, layout, on_command, edit_colors,
                                  separator_moved};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kQuestionPane = {IDD_PANE_QUESTION, guarded_dialog_proc<procedure>, clear, fill,
                                compose, apply_fonts};

void fill_group_names(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageA(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < 10; ++i) {
        std::string name = group_name(app().doc, i);
        SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
    }
}

bool fill_answer_numbers(HWND combo) {
    set_status(kF1Hint);
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    const CardDocument& doc = app().doc;
    const DataLine* line = doc.line_at(doc.current);
    bool syntax_error = false;
    std::vector<std::string> entries = answer_number_entries(
        line ? line->c_str() : "", is_question(line), doc.version, &syntax_error);
    for (const std::string& entry : entries)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
    if (syntax_error) set_status(kSyntaxError);
    bool from_answer = is_question(line) && !syntax_error && doc.version >= 13;
    SendMessageA(combo, CB_SETCURSEL, from_answer ? question_answer_number(line->c_str()) : 0, 0);
    return from_answer;
}

}  // namespace qz
