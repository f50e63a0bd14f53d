// The question pane: edits question, comment and blank lines (dialog 602).
#include "win/view/question_pane_win.h"

#include <commctrl.h>

#include "core/document/line_queries.h"
#include "core/layout/pane_layout.h"
#include "core/syntax/answer.h"
#include "core/syntax/scan.h"
#include "core/syntax/settings_line.h"
#include "resources/pane_ids.h"
#include "resources/question_pane_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/separator_win.h"
#include "win/base/wide_win.h"
#include "win/view/history_control_win.h"
#include "win/view/line_list_win.h"
#include "win/view/list_mirror_win.h"
#include "win/view/pane_common_win.h"

namespace qz {
namespace {


const char kF1Hint[] = "ヘルプを見るにはF1キーを押してください。";
const char kSyntaxError[] = "構文エラーです。";

void set_status(const char* text) {
    if (app().status_bar)
        SendMessageW(app().status_bar, SB_SETTEXTW, 0 | SBT_NOBORDERS,
                     reinterpret_cast<LPARAM>(wide(text).c_str()));
}

HWND item(HWND pane, int id) { return GetDlgItem(pane, id); }

int selection(HWND pane, int id) {
    return static_cast<int>(SendDlgItemMessageW(pane, id, CB_GETCURSEL, 0, 0));
}

void select(HWND pane, int id, int index) {
    SendDlgItemMessageW(pane, id, CB_SETCURSEL, index, 0);
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
    set_control_text(pane, IDC_PANE_TITLE, "");
    set_control_text(pane, IDC_QUESTION, "");
    set_control_text(pane, IDC_QUESTION_ANSWER, "");
}

void fill(HWND pane, const PaneLine& p) {
    const int version = p.doc.version;
    set_control_text(pane, IDC_PANE_COMMENT, "");
    const bool numbers_offered = version >= 13;
    ShowWindow(item(pane, IDC_QUESTION_ANSWER_NUMBER), numbers_offered ? SW_SHOWNA : SW_HIDE);
    ShowWindow(item(pane, IDC_QUESTION_ANSWER_NUMBER_LABEL), numbers_offered ? SW_SHOWNA : SW_HIDE);
    fill_answer_numbers(item(pane, IDC_QUESTION_ANSWER_NUMBER));
    SendDlgItemMessageW(pane, IDC_QUESTION_HISTORY, kHistorySetValue, 0, 0);
    select(pane, IDC_QUESTION_GROUP, 0);
    select(pane, IDC_QUESTION_ANSWER_NUMBER, 0);

    const char* text = p.line.c_str();
    if (!p.line.has_text()) return;
    const QuestionFields shown = question_display_fields(text, p.charsets, version);
    set_control_text(pane, IDC_PANE_COMMENT, shown.comment);
    if (is_comment(&p.line)) return;
    set_control_text(pane, IDC_PANE_TITLE, governing_title(p));
    if (!shown.question.empty()) set_control_text(pane, IDC_QUESTION, shown.question);
    if (!shown.answer.empty()) set_control_text(pane, IDC_QUESTION_ANSWER, shown.answer);
    SendDlgItemMessageW(pane, IDC_QUESTION_HISTORY, kHistorySetValue, 0, std::max(question_history(text), 0));
    select(pane, IDC_QUESTION_GROUP, question_group(text));
    // A stored number the list does not offer stays selected as nothing, so
    // that committing keeps it.
    int number = question_answer_number(text);
    int offered = static_cast<int>(SendDlgItemMessageW(pane, IDC_QUESTION_ANSWER_NUMBER, CB_GETCOUNT, 0, 0));
    select(pane, IDC_QUESTION_ANSWER_NUMBER, number < offered ? number : -1);
}

// A text field the user left as filled keeps the bytes the line stores.
std::optional<std::string> compose(HWND pane, const PaneLine& p) {
    const char* line = p.line.c_str();
    const int version = p.doc.version;
    const QuestionFields filled = question_display_fields(line, p.charsets, version);
    const std::string question = control_text(pane, IDC_QUESTION);
    const std::string answer = control_text(pane, IDC_QUESTION_ANSWER);
    QuestionEdit edit;
    edit.question = field_edit(question, filled.question);
    edit.answer = field_edit(answer, filled.answer);
    edit.comment = field_edit(control_text(pane, IDC_PANE_COMMENT), filled.comment);
    if (question.empty() && answer.empty()) {
        set_control_text(pane, IDC_PANE_TITLE, "");
        return compose_question_line(line, edit, p.charsets, version);
    }
    edit.history = static_cast<int>(SendDlgItemMessageW(pane, IDC_QUESTION_HISTORY, kHistoryGetValue, 0, 0));
    edit.group = selection(pane, IDC_QUESTION_GROUP);
    edit.answer_number = selection(pane, IDC_QUESTION_ANSWER_NUMBER);
    if (edit.answer_number < 0) {
        // Nothing is offered (format 1.2) or nothing fits the stored number:
        // the line keeps the number it has.
        edit.answer_number = std::max(question_answer_number(line), 0);
    }
    std::string text = compose_question_line(line, edit, p.charsets, version);
    std::string title = governing_title(p);
    if (!title.empty()) set_control_text(pane, IDC_PANE_TITLE, title);
    return text;
}

void apply_fonts(HWND pane) {
    set_control_font(pane, IDC_PANE_TITLE, pane_font(FONT_TITLE));
    set_control_font(pane, IDC_QUESTION, pane_font(FONT_QUESTION));
    set_control_font(pane, IDC_QUESTION_ANSWER, pane_font(FONT_ANSWER));
    for (int id : {IDC_QUESTION_HISTORY, IDC_QUESTION_GROUP, IDC_QUESTION_ANSWER_NUMBER})
        set_control_font(pane, id, pane_control_font());
}

// The control of each layout slot.
constexpr int kControls[] = {
    IDC_QUESTION_TITLE_BUTTON, IDC_PANE_TITLE, IDC_QUESTION_LABEL, IDC_QUESTION, IDC_QUESTION_ANSWER_SEPARATOR,
    IDC_QUESTION_ANSWER_LABEL, IDC_QUESTION_ANSWER, IDC_QUESTION_HISTORY_SEPARATOR, IDC_QUESTION_HISTORY_LABEL,
    IDC_QUESTION_HISTORY, IDC_QUESTION_GROUP_LABEL, IDC_QUESTION_GROUP, IDC_QUESTION_ANSWER_NUMBER_LABEL,
    IDC_QUESTION_ANSWER_NUMBER, IDC_PANE_COMMENT_LABEL, IDC_PANE_COMMENT};
static_assert(std::size(kControls) == slot::question_slots);

void layout(HWND pane, int width, int height) {
    Preferences& prefs = app().prefs;
    QuestionSplits splits{prefs.AnswerTop, prefs.HistoryTop};
    place_controls(pane,
                   question_pane_layout(width, height, cell_height(pane, IDC_QUESTION_LABEL),
                                        cell_height(pane, IDC_QUESTION_HISTORY), GetSystemMetrics(SM_CYEDGE),
                                        GetSystemMetrics(SM_CYBORDER), splits),
                   kControls, false);
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
    const CardDocument& doc = document();
    const DataLine* title = doc.enclosing_title(doc.line_at(editor().current()));
    if (!title) return;
    int index = doc.line_index(title);
    deselect_all_lines();
    set_item_state(index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    SendMessageW(app().line_list, LVM_ENSUREVISIBLE, index, FALSE);
}

INT_PTR on_command(HWND pane, int id, int code, HWND control) {
    switch (id) {
    case IDC_QUESTION_TITLE_BUTTON:
        if (code == BN_CLICKED) go_to_title();
        return TRUE;
    case IDC_QUESTION:
        return field_notification(pane, code, control, ime_mode_for(FONT_QUESTION));
    case IDC_QUESTION_ANSWER: {
        bool handled = field_notification(pane, code, control, ime_mode_for(FONT_ANSWER));
        if (code == EN_KILLFOCUS) fill_answer_numbers(item(pane, IDC_QUESTION_ANSWER_NUMBER));
        return handled;
    }
    case IDC_PANE_COMMENT:
        return field_notification(pane, code, control, ime_mode_for(FONT_COMMENT));
    case IDC_QUESTION_GROUP:
    case IDC_QUESTION_ANSWER_NUMBER:
        return combo_notification(code);
    }
    return FALSE;
}

void init(HWND pane) {
    SendDlgItemMessageW(pane, IDC_QUESTION_ANSWER_SEPARATOR, kSeparatorSetOrientation, 0, 0);
    SendDlgItemMessageW(pane, IDC_QUESTION_HISTORY_SEPARATOR, kSeparatorSetOrientation, 0, 0);
    make_history_control(item(pane, IDC_QUESTION_HISTORY));
    fill_group_names(pane, IDC_QUESTION_GROUP);
}

int edit_colors(int id) {
    switch (id) {
    case IDC_QUESTION: return FONT_QUESTION;
    case IDC_QUESTION_ANSWER: return FONT_ANSWER;
    case IDC_PANE_COMMENT: return FONT_COMMENT;
    }
    return -1;
}

// The answer or history separator was dragged: its split follows.
void separator_moved(HWND pane, int id, int position) {
    Preferences& prefs = app().prefs;
    int& split = id == IDC_QUESTION_ANSWER_SEPARATOR ? prefs.AnswerTop : prefs.HistoryTop;
    if (position == split) return;
    split = position;
    relayout(pane);
}

const PaneBehaviour kBehaviour = {IDC_QUESTION_TITLE_BUTTON, init, layout, on_command, edit_colors,
                                  separator_moved};

INT_PTR procedure(HWND pane, UINT msg, WPARAM wparam, LPARAM lparam) {
    return pane_procedure(kBehaviour, pane, msg, wparam, lparam);
}

}  // namespace

const PaneKind kQuestionPane = {IDD_PANE_QUESTION, guarded_dialog_proc<procedure>, clear, fill,
                                compose, apply_fonts};

void fill_group_names(HWND dialog, int id) {
    HWND list = GetDlgItem(dialog, id);
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (int i = 0; i < 10; ++i) {
        std::string name = group_name(document(), i);
        SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(name).c_str()));
    }
}

bool fill_answer_numbers(HWND combo) {
    set_status(kF1Hint);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    const CardDocument& doc = document();
    const DataLine* line = doc.line_at(editor().current());
    bool syntax_error = false;
    std::vector<std::string> entries = answer_number_entries(
        line ? line->c_str() : "", is_question(line), doc.version, &syntax_error);
    for (const std::string& entry : entries)
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(entry).c_str()));
    if (syntax_error) set_status(kSyntaxError);
    bool from_answer = is_question(line) && !syntax_error && doc.version >= 13;
    SendMessageW(combo, CB_SETCURSEL, from_answer ? question_answer_number(line->c_str()) : 0, 0);
    return from_answer;
}

}  // namespace qz
