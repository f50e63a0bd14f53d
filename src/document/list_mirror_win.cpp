#include "document/list_mirror_win.h"

#include <algorithm>

#include "app/application.h"
#include "document/line_list_win.h"

namespace qz {
namespace {

// The list's states changed in a way not yet copied into the model.
bool list_ahead = false;

void pull_selection() {
    EditorModel& model = app().editor;
    model.set_selection(selected_items(), focused_item());
    model.set_anchor(static_cast<int>(SendMessageA(app().line_list, LVM_GETSELECTIONMARK, 0, 0)));
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
    const int top = static_cast<int>(SendMessageA(list, LVM_GETTOPINDEX, 0, 0));
    const int per_page = static_cast<int>(SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0));
    // Clearing the states one by one costs the list a search of its
    // selected ranges per item (seconds with many runs); emptying it
    // forgets them all at once, and costs nothing with drawing held off.
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
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
    SendMessageA(list, LVM_SETSELECTIONMARK, 0, model.anchor());
    if (top > 0 && count > 0 && SendMessageA(list, LVM_GETTOPINDEX, 0, 0) != top) {
        SendMessageA(list, LVM_ENSUREVISIBLE, std::min(count - 1, top + std::max(per_page, 1) - 1), FALSE);
        SendMessageA(list, LVM_ENSUREVISIBLE, std::min(count - 1, top), FALSE);
    }
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
    if (changed & LVIS_SELECTED) model.set_selected(change.iItem, change.uNewState & LVIS_SELECTED);
    if (changed & LVIS_FOCUSED) {
        if (change.uNewState & LVIS_FOCUSED)
            model.set_focus(change.iItem);
        else if (model.focus() == change.iItem)
            model.set_focus(-1);
        model.set_anchor(
            static_cast<int>(SendMessageA(app().line_list, LVM_GETSELECTIONMARK, 0, 0)));
    }
}

void note_list_states_changed() { list_ahead = true; }

}  // namespace qz
