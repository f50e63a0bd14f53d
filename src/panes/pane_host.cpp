#include "panes/pane_host.h"

#include "app/application.h"
#include "document/line_list_win.h"

namespace qz {

bool show_line_in_pane(int index) {
    CardDocument& doc = app().doc;
    const DataLine* line = doc.line_at(index);
    if (!line) return false;
    doc.current = index;
    doc.current_kind = line->kind();
    show_line_position(index);
    return true;
}

bool commit_pane() { return false; }

void destroy_pane() {
    if (app().pane) DestroyWindow(app().pane);
    app().pane = nullptr;
}

bool create_pane_resources() { return true; }
void release_pane_resources() {}

}  // namespace qz
