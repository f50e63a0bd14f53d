#include "core/document/edit_history.h"

#include <algorithm>
#include <numeric>
#include <utility>

namespace qz {

LineEdit LineEdit::insert_lines(int position, std::vector<DataLine> lines) {
    LineEdit e;
    e.kind = insert;
    e.indexes.resize(lines.size());
    std::iota(e.indexes.begin(), e.indexes.end(), position);
    e.lines = std::move(lines);
    return e;
}

LineEdit LineEdit::remove_lines(std::vector<int> indexes) {
    LineEdit e;
    e.kind = remove;
    e.indexes = std::move(indexes);
    return e;
}

LineEdit LineEdit::replace_lines(std::vector<int> indexes, std::vector<DataLine> lines) {
    LineEdit e;
    e.kind = replace;
    e.indexes = std::move(indexes);
    e.lines = std::move(lines);
    return e;
}

LineEdit LineEdit::move_lines(std::vector<int> indexes, int delta) {
    LineEdit e;
    e.kind = move;
    e.indexes = std::move(indexes);
    e.delta = delta;
    return e;
}

LineEdit LineEdit::set_version(int version) {
    LineEdit e;
    e.kind = LineEdit::version;
    e.number = version;
    return e;
}

std::size_t LineEdit::bytes() const {
    std::size_t n = sizeof(LineEdit) + indexes.size() * sizeof(int);
    for (const DataLine& line : lines) n += sizeof(DataLine) + line.text().size();
    return n;
}

namespace {

// Applies one edit; the lines it leaves in place as touched go to
// `touched`, the index of a removal to `removed_at`.
void apply_edit(CardDocument& doc, LineEdit& e, ChangeReport& report,
                std::vector<const DataLine*>& touched, int& removed_at) {
    auto note_first = [&](int index) {
        report.first = report.first < 0 ? index : std::min(report.first, index);
    };
    switch (e.kind) {
    case LineEdit::insert: {
        if (e.indexes.empty()) return;
        note_first(e.indexes.front());
        for (DataLine* line : doc.insert_at(e.indexes, std::move(e.lines))) touched.push_back(line);
        e.lines.clear();
        e.kind = LineEdit::remove;
        break;
    }
    case LineEdit::remove: {
        if (e.indexes.empty()) return;
        note_first(e.indexes.front());
        // A removed line can no longer be shown.
        if (!touched.empty())
            for (int index : e.indexes) std::erase(touched, doc.line_at(index));
        e.lines = doc.extract(e.indexes);
        removed_at = e.indexes.front();
        e.kind = LineEdit::insert;
        break;
    }
    case LineEdit::replace: {
        if (e.indexes.empty()) return;
        note_first(e.indexes.front());
        for (std::size_t k = 0; k < e.indexes.size(); ++k) {
            DataLine* line = doc.line_at(e.indexes[k]);
            doc.swap_line(line, e.lines[k]);
            touched.push_back(line);
        }
        break;
    }
    case LineEdit::move: {
        if (e.indexes.empty()) return;
        std::vector<const DataLine*> moved;
        moved.reserve(e.indexes.size());
        for (int index : e.indexes) moved.push_back(doc.line_at(index));
        if (!doc.move_lines(e.indexes, e.delta)) return;
        note_first(e.delta < 0 ? e.indexes.front() - 1 : e.indexes.front());
        touched.insert(touched.end(), moved.begin(), moved.end());
        for (int& index : e.indexes) index += e.delta;
        e.delta = -e.delta;
        break;
    }
    case LineEdit::version:
        if (doc.version != e.number) report.version_changed = true;
        std::swap(doc.version, e.number);
        break;
    }
}

}  // namespace

ChangeReport apply_step(CardDocument& doc, EditStep& step) {
    ChangeReport report;
    report.count_before = doc.count();
    std::vector<const DataLine*> touched;
    int removed_at = -1;
    for (LineEdit& e : step) apply_edit(doc, e, report, touched, removed_at);
    // Undoing walks the inverses from the last one back.
    std::reverse(step.begin(), step.end());
    report.count_after = doc.count();
    report.touched.reserve(touched.size());
    for (const DataLine* line : touched) report.touched.push_back(doc.line_index(line));
    std::sort(report.touched.begin(), report.touched.end());
    report.touched.erase(std::unique(report.touched.begin(), report.touched.end()),
                         report.touched.end());
    if (report.touched.empty() && removed_at >= 0 && doc.count() > 0)
        report.touched.push_back(std::min(removed_at, doc.count() - 1));
    return report;
}

void EditHistory::clear() {
    ++changes_;
    steps_.clear();
    step_bytes_.clear();
    position_ = 0;
    saved_ = 0;
    bytes_ = 0;
}

void EditHistory::record(EditStep inverse) {
    ++changes_;
    while (steps_.size() > position_) {
        bytes_ -= step_bytes_.back();
        steps_.pop_back();
        step_bytes_.pop_back();
    }
    if (saved_ > static_cast<long>(position_)) saved_ = -1;
    std::size_t n = 0;
    for (const LineEdit& e : inverse) n += e.bytes();
    steps_.push_back(std::move(inverse));
    step_bytes_.push_back(n);
    bytes_ += n;
    ++position_;
    while (steps_.size() > 1 && (steps_.size() > max_steps_ || bytes_ > max_bytes_)) drop_oldest();
}

void EditHistory::drop_oldest() {
    bytes_ -= step_bytes_.front();
    steps_.pop_front();
    step_bytes_.pop_front();
    --position_;
    // The state before the dropped step can no longer be reached.
    saved_ = saved_ > 0 ? saved_ - 1 : -1;
}

ChangeReport EditHistory::apply_at(CardDocument& doc, std::size_t at) {
    ChangeReport report = apply_step(doc, steps_[at]);
    std::size_t n = 0;
    for (const LineEdit& e : steps_[at]) n += e.bytes();
    bytes_ = bytes_ - step_bytes_[at] + n;
    step_bytes_[at] = n;
    return report;
}

ChangeReport EditHistory::undo(CardDocument& doc) {
    if (!can_undo()) return {};
    ++changes_;
    return apply_at(doc, --position_);
}

ChangeReport EditHistory::redo(CardDocument& doc) {
    if (!can_redo()) return {};
    ++changes_;
    return apply_at(doc, position_++);
}

}  // namespace qz
