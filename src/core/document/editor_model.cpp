#include "core/document/editor_model.h"

#include <algorithm>
#include <cstdio>

#include "core/syntax/settings_line.h"

namespace qz {

void EditorModel::reset() {
    history_.clear();
    selected_.assign(static_cast<std::size_t>(doc_.count()), false);
    selected_count_ = 0;
    focus_ = anchor_ = -1;
    pending_edit_ = false;
}

void EditorModel::close_document() {
    current_ = -1;
    read_only_ = false;
    doc_.clear();
    reset();
}

void EditorModel::new_document() {
    close_document();
    doc_.file_name = UNTITLED_NAME;
    doc_.version = 14;
    doc_.append(DataLine(LINE_TEXT, ""));
    reset();
}

void EditorModel::replace(CardDocument& loaded, Opening opening) {
    current_ = -1;
    doc_.adopt(loaded);
    read_only_ = opening.read_only;
    reset();
    if (opening.changed_on_reading) history_.mark_unsaved();
}

void EditorModel::restore(CardDocument& loaded, std::string file_name) {
    loaded.file_name = std::move(file_name);
    replace(loaded, Opening{true});
}

const std::string& EditorModel::recovery_name() const {
    static const std::string untitled = UNTITLED_NAME;
    return read_only_ ? untitled : doc_.file_name;
}

// ---------------------------------------------------------------------------
// Selection

bool EditorModel::is_selected(int index) const {
    return index >= 0 && index < static_cast<int>(selected_.size()) && selected_[index];
}

std::vector<int> EditorModel::selected() const {
    std::vector<int> indexes;
    indexes.reserve(static_cast<std::size_t>(selected_count_));
    for (std::size_t i = 0; i < selected_.size(); ++i)
        if (selected_[i]) indexes.push_back(static_cast<int>(i));
    return indexes;
}

std::vector<std::pair<int, int>> EditorModel::selected_runs() const {
    std::vector<std::pair<int, int>> runs;
    const int n = static_cast<int>(selected_.size());
    for (int i = 0; i < n; ++i) {
        if (!selected_[i]) continue;
        int first = i;
        while (i + 1 < n && selected_[i + 1]) ++i;
        runs.emplace_back(first, i);
    }
    return runs;
}

void EditorModel::set_selected(int index, bool selected) {
    if (index < 0 || index >= static_cast<int>(selected_.size())) return;
    if (static_cast<bool>(selected_[index]) == selected) return;
    selected_[index] = selected;
    selected_count_ += selected ? 1 : -1;
}

void EditorModel::set_focus(int index) {
    focus_ = index >= 0 && index < doc_.count() ? index : -1;
}

void EditorModel::set_selection(const std::vector<int>& indexes, int focus) {
    clear_selection();
    for (int i : indexes) set_selected(i, true);
    set_focus(focus);
    anchor_ = focus_;
}

void EditorModel::select_all() {
    std::fill(selected_.begin(), selected_.end(), true);
    selected_count_ = static_cast<int>(selected_.size());
}

void EditorModel::clear_selection() {
    std::fill(selected_.begin(), selected_.end(), false);
    selected_count_ = 0;
}

void EditorModel::invert_selection() {
    selected_.flip();
    selected_count_ = static_cast<int>(selected_.size()) - selected_count_;
}

void EditorModel::resize_selection() {
    const std::size_t n = static_cast<std::size_t>(doc_.count());
    if (selected_.size() != n) {
        selected_.resize(n, false);
        selected_count_ = static_cast<int>(std::count(selected_.begin(), selected_.end(), true));
    }
    if (focus_ >= doc_.count()) focus_ = -1;
    if (anchor_ >= doc_.count()) anchor_ = -1;
    if (current_ >= doc_.count()) current_ = -1;
}

void EditorModel::select_touched(const ChangeReport& change) {
    if (change.touched.empty()) return;
    set_selection(change.touched, change.touched.front());
    current_ = change.touched.front();
}

// ---------------------------------------------------------------------------
// Changes

ChangeReport EditorModel::apply(EditStep step) {
    bool sets_version = std::any_of(step.begin(), step.end(),
                                    [](const LineEdit& e) { return e.kind == LineEdit::version; });
    ChangeReport change = apply_step(doc_, step);
    if (change.any() || sets_version) history_.record(std::move(step));
    resize_selection();
    return change;
}

ChangeReport EditorModel::insert_lines(int position, std::vector<DataLine> lines) {
    if (lines.empty()) return {};
    const int n = static_cast<int>(lines.size());
    position = std::clamp(position, 0, doc_.count());
    // The selection stays with its lines.
    selected_.insert(selected_.begin() + position, static_cast<std::size_t>(n), false);
    auto shift = [&](int& index) {
        if (index >= position) index += n;
    };
    shift(focus_);
    shift(anchor_);
    if (current_ >= 0) shift(current_);
    EditStep step;
    step.push_back(LineEdit::insert_lines(position, std::move(lines)));
    return apply(std::move(step));
}

EditOutcome EditorModel::add_line(DataLine line, bool at_end) {
    EditOutcome out;
    const int position = at_end ? doc_.count() : std::max(current_, 0);
    const int old_current = current_;
    out.change = insert_lines(position, {std::move(line)});
    // (The current index moved past the new line.)
    if (old_current >= 0) set_selected(current_, false);
    set_selected(position, true);
    focus_ = anchor_ = position;
    current_ = position;
    out.done = true;
    return out;
}

EditOutcome EditorModel::add_settings_line(int kind) {
    // Settings lines exist from format 1.4 on.
    if (!is_settings_kind(kind) || doc_.version < 14) return {};
    int file_line = 0;
    if (kind == LINE_GROUP && doc_.find_group_settings(&file_line)) {
        char text[128];
        std::snprintf(text, sizeof text, "すでに%d行目にグループ設定があります。", file_line);
        EditOutcome out;
        out.refusal = text;
        return out;
    }
    std::string prefix = settings_prefix(kind);
    if (prefix.empty()) return {};
    return add_line(DataLine(kind, std::move(prefix)), false);
}

EditOutcome EditorModel::delete_selected() {
    EditOutcome out;
    std::vector<int> doomed = selected();
    if (doomed.empty()) return out;
    // The last line is never deleted: with every line selected, the last
    // selected line stays.
    if (static_cast<int>(doomed.size()) >= doc_.count()) {
        doomed.pop_back();
        out.refusal = "これ以上削除することはできません。";
    }
    if (!doomed.empty()) {
        current_ = -1;
        EditStep step;
        step.push_back(LineEdit::remove_lines(std::move(doomed)));
        out.change = apply(std::move(step));
    }
    set_selection({0}, 0);
    current_ = doc_.count() > 0 ? 0 : -1;
    out.done = true;
    return out;
}

EditOutcome EditorModel::move_selected(int delta) {
    EditOutcome out;
    std::vector<int> moving = selected();
    if (moving.empty() || (delta != -1 && delta != 1)) return out;
    if ((delta < 0 && moving.front() == 0) || (delta > 0 && moving.back() == doc_.count() - 1))
        return out;
    const DataLine* focused = doc_.line_at(focus_);
    const DataLine* anchor = doc_.line_at(anchor_);
    const DataLine* current = doc_.line_at(current_);
    EditStep step;
    step.push_back(LineEdit::move_lines(moving, delta));
    out.change = apply(std::move(step));
    clear_selection();
    for (int i : moving) set_selected(i + delta, true);
    focus_ = doc_.line_index(focused);
    anchor_ = doc_.line_index(anchor);
    if (current) current_ = doc_.line_index(current);
    out.done = true;
    return out;
}

ChangeReport EditorModel::commit_line(int index, std::string text) {
    const DataLine* line = doc_.line_at(index);
    if (!line || text == line->text()) return {};
    EditStep step;
    step.push_back(LineEdit::replace_lines({index}, {DataLine(line->kind(), std::move(text))}));
    return apply(std::move(step));
}

ChangeReport EditorModel::change_version(int version) {
    EditStep step;
    if (version < 14) {
        std::vector<int> indexes;
        std::vector<DataLine> comments;
        int index = 0;
        for (const DataLine& line : doc_) {
            if (is_settings_kind(line.kind()) && line.has_text()) {
                indexes.push_back(index);
                comments.emplace_back(LINE_TEXT, "'" + std::string(line.text().substr(1)));
            }
            ++index;
        }
        if (!indexes.empty())
            step.push_back(LineEdit::replace_lines(std::move(indexes), std::move(comments)));
    }
    step.push_back(LineEdit::set_version(version));
    return apply(std::move(step));
}

ChangeReport EditorModel::undo() {
    ChangeReport change = history_.undo(doc_);
    resize_selection();
    select_touched(change);
    return change;
}

ChangeReport EditorModel::redo() {
    ChangeReport change = history_.redo(doc_);
    resize_selection();
    select_touched(change);
    return change;
}

void EditorModel::mark_saved() {
    history_.mark_saved();
    pending_edit_ = false;
}

}  // namespace qz
