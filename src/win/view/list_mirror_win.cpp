#include "win/view/list_mirror_win.h"

#include <algorithm>
#include <vector>

#include "win/base/app_state_win.h"
#include "win/view/line_list_win.h"
#include "win/view/main_layout_win.h"

namespace qz {
namespace {

// The list's states changed in a way not yet copied into the model.
bool list_ahead = false;
// The selected states the list shows, item for item, while !list_ahead.
std::vector<bool> shown;

// Up to this many items are changed one by one when the list already
// shows the rest; each costs the list a walk of its selected ranges.
constexpr std::size_t kFewChanges = 256;

// Sets only the items whose state differs from the model's; false (and
// nothing changed) when the list cannot be trusted or too many differ.
bool mirror_differences(const EditorModel& model) {
    const int count = model.doc().count();
    if (list_ahead || static_cast<int>(shown.size()) != count || line_list_count() != count)
        return false;
    std::vector<int> differing;
    for (int i = 0; i < count; ++i) {
        if (static_cast<bool>(shown[i]) != model.is_selected(i)) {
            if (differing.size() == kFewChanges) return false;
            differing.push_back(i);
        }
    }
    for (int i : differing) {
        shown[i] = model.is_selected(i);
        set_item_state(i, shown[i] ? LVIS_SELECTED : 0, LVIS_SELECTED);
    }
    return true;
}

void pull_selection() {
    EditorModel& model = app().editor;
    model.set_selection(selected_items(), focused_item());
    shown.assign(static_cast<std::size_t>(model.doc().count()), false);
    for (int i = 0; i < model.doc().count(); ++i) shown[i] = model.is_selected(i);
    model.set_anchor(static_cast<int>(SendMessageW(app().line_list, LVM_GETSELECTIONMARK, 0, 0)));
    list_ahead = false;
}

}  // namespace

EditorModel& editor() {
    if (list_ahead && app().line_list) pull_selection();
    return app().editor;
}

void mirror_model() {
    HWND list = app().line_list;
    if (!list) return;
    const EditorModel& model = app().editor;
    const int count = model.doc().count();
    ListNotificationGuard guard;
    ListRedrawGuard no_redraw;
    if (mirror_differences(model)) {
        if (model.focus() >= 0) set_item_state(model.focus(), LVIS_FOCUSED, LVIS_FOCUSED);
        SendMessageW(list, LVM_SETSELECTIONMARK, 0, model.anchor());
        return;
    }
    const int top = static_cast<int>(SendMessageW(list, LVM_GETTOPINDEX, 0, 0));
    const int per_page = static_cast<int>(SendMessageW(list, LVM_GETCOUNTPERPAGE, 0, 0));
    // Clearing the states one by one costs the list a search of its
    // selected ranges per item (seconds with many runs); emptying it
    // forgets them all at once, and costs nothing with drawing held off.
    SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
    if (model.selected_count() > count / 2) {
        // Mostly selected: every item in one call, then the gaps in
        // ascending order.
        set_item_state(-1, LVIS_SELECTED, LVIS_SELECTED);
        for (int i = 0; i < count; ++i)
            if (!model.is_selected(i)) set_item_state(i, 0, LVIS_SELECTED);
    } else {
        // Runs appended in ascending order.
        for (auto [first, last] : model.selected_runs())
            for (int i = first; i <= last; ++i) set_item_state(i, LVIS_SELECTED, LVIS_SELECTED);
    }
    if (model.focus() >= 0) set_item_state(model.focus(), LVIS_FOCUSED, LVIS_FOCUSED);
    SendMessageW(list, LVM_SETSELECTIONMARK, 0, model.anchor());
    if (top > 0 && count > 0 && SendMessageW(list, LVM_GETTOPINDEX, 0, 0) != top) {
        SendMessageW(list, LVM_ENSUREVISIBLE, std::min(count - 1, top + std::max(per_page, 1) - 1), FALSE);
        SendMessageW(list, LVM_ENSUREVISIBLE, std::min(count - 1, top), FALSE);
    }
    shown.resize(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) shown[i] = model.is_selected(i);
    list_ahead = false;
}

void note_list_state(const NMLISTVIEW& change) {
    if (change.iItem < 0 || list_ahead) {
        list_ahead = true;
        return;
    }
    if (!(change.uChanged & LVIF_STATE)) return;
    EditorModel& model = app().editor;
    const UINT changed = change.uOldState ^ change.uNewState;
    if (changed & LVIS_SELECTED) {
        const bool selected = change.uNewState & LVIS_SELECTED;
        model.set_selected(change.iItem, selected);
        if (change.iItem < static_cast<int>(shown.size())) shown[change.iItem] = selected;
    }
    if (changed & LVIS_FOCUSED) {
        if (change.uNewState & LVIS_FOCUSED)
            model.set_focus(change.iItem);
        else if (model.focus() == change.iItem)
            model.set_focus(-1);
        model.set_anchor(
            static_cast<int>(SendMessageW(app().line_list, LVM_GETSELECTIONMARK, 0, 0)));
    }
}

void note_list_states_changed() { list_ahead = true; }

void note_list_refilled() {
    shown.assign(static_cast<std::size_t>(document().count()), false);
    list_ahead = false;
}

void fill_line_list() {
    const CardDocument& doc = document();
    HWND list = app().line_list;
    {
        ListNotificationGuard guard;
        // A list emptied when the file before was closed is not emptied
        // twice.
        if (line_list_count() > 0) SendMessageW(list, LVM_DELETEALLITEMS, 0, 0);
        SendMessageW(list, LVM_SETITEMCOUNT, doc.count(), LVSICF_NOSCROLL);
        note_list_refilled();
        // The items ask for their texts when they are drawn; what is left
        // to do is numbering the titles and questions.
        doc.count_questions();
        InvalidateRect(list, nullptr, TRUE);
    }
    // Focusing item 0 opens the editing pane on line 0.
    if (doc.count() > 0) set_item_state(0, LVIS_FOCUSED | LVIS_SELECTED, ~0u);
    // Shown again once it holds the lines (a list emptied for them is
    // hidden), after the pane, so that placing the pane does not draw it:
    // both are drawn once, with the next paint.
    if (!IsWindowVisible(list)) show_child_window(list);
    SetFocus(list);
    show_f1_hint();
}

void empty_line_list() {
    ListNotificationGuard guard;
    // Hidden until it is filled again: a visible list lays itself out and
    // draws its scroll bar at once each time it is emptied or filled, and
    // its neighbours with it (a third of opening a file under some
    // systems).
    ShowWindow(app().line_list, SW_HIDE);
    SendMessageW(app().line_list, LVM_DELETEALLITEMS, 0, 0);
    note_list_refilled();
}

void deselect_all_lines() {
    editor().clear_selection();
    mirror_model();
}

void select_all_lines() {
    editor().select_all();
    mirror_model();
}

}  // namespace qz
