#include "win/operations/select_dialog_win.h"

#include <commctrl.h>

#include <algorithm>
#include <optional>
#include <string>

#include "core/document/line_queries.h"
#include "core/syntax/settings_line.h"
#include "resources/resource.h"
#include "resources/select_ids.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/window_text_win.h"
#include "win/operations/find_win.h"
#include "win/view/command_state_win.h"
#include "win/view/list_mirror_win.h"

namespace qz {
namespace {

constexpr int kTextBoxes[] = {IDC_SELECT_FIRST_TEXT, IDC_SELECT_LAST_TEXT, IDC_SELECT_TITLE_TEXT,
                              IDC_SELECT_DESCRIPTION};

bool checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

int number(HWND dialog, int id) { return static_cast<int>(GetDlgItemInt(dialog, id, nullptr, TRUE)); }

void enable(HWND dialog, std::initializer_list<int> ids, bool on) {
    for (int id : ids) EnableWindow(GetDlgItem(dialog, id), on);
}

// What the dialog is given and gives back: the document it describes and
// counts in, the search conditions (its button changes them), and on OK
// the request.
struct Exchange {
    const CardDocument& doc;
    unsigned conditions;
    SelectRequest request;
};

Exchange& exchange_of(HWND dialog) { return *reinterpret_cast<Exchange*>(GetWindowLongPtrW(dialog, DWLP_USER)); }

void set_spin(HWND dialog, int id, int low, int high, int position) {
    HWND spin = GetDlgItem(dialog, id);
    SendMessageW(spin, UDM_SETRANGE32, low, high);
    SendMessageW(spin, UDM_SETPOS32, 0, position);
}

SelectRequest read_request(HWND dialog) {
    SelectRequest r;
    r.range = checked(dialog, IDC_SELECT_BY_LINE)    ? SelectRange::lines
              : checked(dialog, IDC_SELECT_BY_TITLE) ? SelectRange::title
                                                     : SelectRange::questions;
    r.first = number(dialog, IDC_SELECT_FIRST);
    r.last = number(dialog, IDC_SELECT_LAST);
    r.title = number(dialog, IDC_SELECT_TITLE);
    r.by_text = checked(dialog, IDC_SELECT_TEXT_MODE);
    r.by_marks = checked(dialog, IDC_SELECT_MARKS_MODE);
    r.right_marks = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SELECT_MARKS, CB_GETCURSEL, 0, 0));
    r.at_most = SendDlgItemMessageW(dialog, IDC_SELECT_MARKS_BOUND, CB_GETCURSEL, 0, 0) == 0;
    r.group = static_cast<int>(SendDlgItemMessageW(dialog, IDC_SELECT_GROUP, CB_GETCURSEL, 0, 0)) - 1;
    r.text = window_text(GetDlgItem(dialog, IDC_SELECT_TEXT));
    r.conditions = exchange_of(dialog).conditions;
    r.add = !checked(dialog, IDC_SELECT_NEW);
    return r;
}

void describe(HWND dialog) {
    SelectRequest r = read_request(dialog);
    std::string name = r.group >= 0 ? group_name(exchange_of(dialog).doc, r.group) : std::string();
    set_item_text(dialog, IDC_SELECT_DESCRIPTION, select_description(r, name));
}

// A range number changed: the line it names is shown beside it.
void show_range_line(HWND dialog, int id) {
    const CardDocument& doc = exchange_of(dialog).doc;
    const int n = number(dialog, id);
    const DataLine* line = nullptr;
    int text_box = id == IDC_SELECT_FIRST ? IDC_SELECT_FIRST_TEXT : IDC_SELECT_LAST_TEXT;
    if (id == IDC_SELECT_TITLE) {
        if (n < 1 || n > doc.count_titles()) return;
        line = doc.title_by_number(n - 1);
        text_box = IDC_SELECT_TITLE_TEXT;
    } else if (checked(dialog, IDC_SELECT_BY_LINE)) {
        if (n < 2 || n > doc.count() + 1) return;
        line = doc.line_at(n - 2);
    } else {
        if (n < 1 || n > doc.count_questions()) return;
        line = doc.question_by_number(n - 1);
    }
    set_item_text(dialog, text_box, line ? line->c_str() : "");
    describe(dialog);
}

void choose_range(HWND dialog, int id) {
    const bool title = id == IDC_SELECT_BY_TITLE;
    enable(dialog, {IDC_SELECT_FIRST, IDC_SELECT_FIRST_SPIN, IDC_SELECT_LAST, IDC_SELECT_LAST_SPIN},
           !title);
    enable(dialog, {IDC_SELECT_TITLE, IDC_SELECT_TITLE_SPIN}, title);
    if (!title) {
        const bool lines = id == IDC_SELECT_BY_LINE;
        const int low = lines ? 2 : 1;
        const CardDocument& doc = exchange_of(dialog).doc;
        const int high = lines ? std::min(doc.count() + 1, 32767) : doc.count_questions();
        set_spin(dialog, IDC_SELECT_FIRST_SPIN, low, high, low);
        set_spin(dialog, IDC_SELECT_LAST_SPIN, low, high, high);
        // The positions set the numbers (and so the lines beside them)
        // only when they change.
        show_range_line(dialog, IDC_SELECT_FIRST);
        show_range_line(dialog, IDC_SELECT_LAST);
    }
    describe(dialog);
}

// The restriction: a group, a text, or the number of right marks.
void choose_mode(HWND dialog, int mode) {
    enable(dialog, {IDC_SELECT_GROUP}, mode == IDC_SELECT_GROUP_MODE);
    enable(dialog, {IDC_SELECT_CONDITIONS, IDC_SELECT_TEXT}, mode == IDC_SELECT_TEXT_MODE);
    enable(dialog, {IDC_SELECT_MARKS, IDC_SELECT_MARKS_BOUND}, mode == IDC_SELECT_MARKS_MODE);
    describe(dialog);
}

void initialize(HWND dialog, LPARAM exchange) {
    SetWindowLongPtrW(dialog, DWLP_USER, exchange);
    center_dialog(dialog);
    const CardDocument& doc = exchange_of(dialog).doc;
    const int titles = doc.count_titles();
    enable(dialog, {IDC_SELECT_BY_QUESTION}, doc.count_questions() > 0);
    enable(dialog, {IDC_SELECT_BY_TITLE}, titles > 0);
    HWND groups = GetDlgItem(dialog, IDC_SELECT_GROUP);
    SendMessageW(groups, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide("(全てのグループ)").c_str()));
    for (int g = 0; g < 10; ++g)
        SendMessageW(groups, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(group_name(doc, g)).c_str()));
    SendMessageW(groups, CB_SETCURSEL, 0, 0);
    HWND marks = GetDlgItem(dialog, IDC_SELECT_MARKS);
    for (const char* n : {"0", "1", "2", "3", "4", "5"})
        SendMessageW(marks, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(n).c_str()));
    SendMessageW(marks, CB_SETCURSEL, 0, 0);
    HWND bound = GetDlgItem(dialog, IDC_SELECT_MARKS_BOUND);
    for (const char* b : {"以下", "以上"}) SendMessageW(bound, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(b).c_str()));
    SendMessageW(bound, CB_SETCURSEL, 0, 0);
    CheckRadioButton(dialog, IDC_SELECT_BY_LINE, IDC_SELECT_BY_TITLE, IDC_SELECT_BY_LINE);
    CheckRadioButton(dialog, IDC_SELECT_GROUP_MODE, IDC_SELECT_MARKS_MODE, IDC_SELECT_GROUP_MODE);
    CheckRadioButton(dialog, IDC_SELECT_NEW, IDC_SELECT_ADD, IDC_SELECT_NEW);
    set_spin(dialog, IDC_SELECT_TITLE_SPIN, 1, titles, 1);
    show_range_line(dialog, IDC_SELECT_TITLE);
    choose_range(dialog, IDC_SELECT_BY_LINE);
    choose_mode(dialog, IDC_SELECT_GROUP_MODE);
}

INT_PTR select_procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    switch (msg) {
    case WM_INITDIALOG: initialize(dialog, lparam); return TRUE;
    case WM_CTLCOLORSTATIC: {
        // The read-only boxes look like ordinary white boxes.
        const int id = GetDlgCtrlID(reinterpret_cast<HWND>(lparam));
        if (std::find(std::begin(kTextBoxes), std::end(kTextBoxes), id) == std::end(kTextBoxes))
            return FALSE;
        HDC dc = reinterpret_cast<HDC>(wparam);
        SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
        SetBkColor(dc, GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<INT_PTR>(GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_HELP: show_help(dialog, kHelpContext, kTopicSelect); return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        const int code = HIWORD(wparam);
        switch (id) {
        case IDC_SELECT_BY_LINE:
        case IDC_SELECT_BY_QUESTION:
        case IDC_SELECT_BY_TITLE: choose_range(dialog, id); return TRUE;
        case IDC_SELECT_FIRST:
        case IDC_SELECT_LAST:
        case IDC_SELECT_TITLE:
            if (code == EN_SETFOCUS) {
                HWND edit = GetDlgItem(dialog, id);
                if (HIMC context = ImmGetContext(edit)) {
                    ImmSetOpenStatus(context, FALSE);
                    ImmReleaseContext(edit, context);
                }
                SendMessageW(edit, EM_SETSEL, 0, -1);
            } else if (code == EN_CHANGE) {
                show_range_line(dialog, id);
            }
            return TRUE;
        case IDC_SELECT_GROUP_MODE:
        case IDC_SELECT_TEXT_MODE:
        case IDC_SELECT_MARKS_MODE: choose_mode(dialog, id); return TRUE;
        case IDC_SELECT_TEXT:
        case IDC_SELECT_NEW:
        case IDC_SELECT_ADD:
        case IDC_SELECT_GROUP:
        case IDC_SELECT_MARKS:
        case IDC_SELECT_MARKS_BOUND: describe(dialog); return TRUE;
        case IDC_SELECT_CONDITIONS: {
            Exchange& exchange = exchange_of(dialog);
            if (std::optional<unsigned> chosen = run_search_conditions_dialog(dialog, exchange.conditions))
                exchange.conditions = *chosen;
            return TRUE;
        }
        case IDOK:
            exchange_of(dialog).request = read_request(dialog);
            EndDialog(dialog, 1);
            return TRUE;
        case IDCANCEL: EndDialog(dialog, 2); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicSelect); return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

}  // namespace

void show_select_dialog(HWND owner) {
    if (app().line_list) SetFocus(app().line_list);
    Exchange exchange{document(), app().prefs.search_conditions, {}};
    const INT_PTR answer = DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_SELECT), owner,
                                           guarded_dialog_proc<select_procedure>, reinterpret_cast<LPARAM>(&exchange));
    // Conditions chosen in the dialog are kept, as the find dialog keeps them.
    app().prefs.search_conditions = exchange.conditions;
    if (answer == 1) select_and_report(owner, exchange.request);
}

void select_and_report(HWND owner, const SelectRequest& request) {
    SelectOutcome outcome = select_lines(editor(), request);
    if (outcome.selected >= 0) {
        mirror_model();
        update_command_state();
    }
    if (!outcome.message.empty())
        message_box(owner, outcome.message.c_str(),
                    MB_OK | (outcome.warning ? MB_ICONWARNING : MB_ICONINFORMATION));
}

}  // namespace qz
