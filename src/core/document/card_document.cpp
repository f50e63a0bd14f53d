#include "core/document/card_document.h"

#include <algorithm>
#include <utility>

namespace qz {

const char* const UNTITLED_NAME = "新規.qzf";

CardDocument::CardDocument() : file_name(UNTITLED_NAME) {}

// ---------------------------------------------------------------------------
// Index upkeep

void CardDocument::invalidate_positions_from(int index) const {
    std::size_t at = index < 0 ? 0 : static_cast<std::size_t>(index);
    pos_dirty_from_ = std::min(pos_dirty_from_, at);
    ord_dirty_from_ = std::min(ord_dirty_from_, at);
}

void CardDocument::invalidate_ordinals_at(const DataLine* line) const {
    // A cached index below pos_dirty_from_ is exact; any other line lies at
    // or behind pos_dirty_from_, which ord_dirty_from_ never exceeds.
    if (line->index_ >= 0 && static_cast<std::size_t>(line->index_) < pos_dirty_from_)
        ord_dirty_from_ = std::min(ord_dirty_from_, static_cast<std::size_t>(line->index_));
}

void CardDocument::ensure_positions() const {
    const std::size_t n = lines_.size();
    if (pos_dirty_from_ >= n && order_.size() == n) return;
    const std::size_t from = std::min(pos_dirty_from_, n);
    order_.resize(n);
    // The index caches the list; the lines themselves stay the list's.
    auto& lines = const_cast<LineList&>(lines_);
    auto it = from == 0 ? lines.begin() : std::next(order_[from - 1]->self_);
    for (std::size_t i = from; i < n; ++i, ++it) {
        it->index_ = static_cast<int>(i);
        order_[i] = &*it;
    }
    pos_dirty_from_ = n;
}

void CardDocument::ensure_ordinals() const {
    ensure_positions();
    const std::size_t n = lines_.size();
    if (ord_dirty_from_ >= n && titles_through_.size() == n) return;
    const std::size_t from = std::min(ord_dirty_from_, n);
    titles_through_.resize(n);
    questions_through_.resize(n);
    int titles = from ? titles_through_[from - 1] : 0;
    int questions = from ? questions_through_[from - 1] : 0;
    title_lines_.resize(titles);
    question_lines_.resize(questions);
    if (first_group_ >= static_cast<int>(from)) first_group_ = -1;
    for (std::size_t i = from; i < n; ++i) {
        const DataLine* line = order_[i];
        if (line->kind() == LINE_TITLE) {
            ++titles;
            title_lines_.push_back(static_cast<int>(i));
        } else if (is_question(line)) {
            ++questions;
            question_lines_.push_back(static_cast<int>(i));
        } else if (line->kind() == LINE_GROUP && first_group_ < 0) {
            first_group_ = static_cast<int>(i);
        }
        titles_through_[i] = titles;
        questions_through_[i] = questions;
    }
    ord_dirty_from_ = n;
}

CardDocument::LineList::iterator CardDocument::iterator_at(int index) {
    if (static_cast<std::size_t>(index) >= pos_dirty_from_) ensure_positions();
    return order_[index]->self_;
}

// ---------------------------------------------------------------------------
// Navigation

const DataLine* CardDocument::line_at(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    if (static_cast<std::size_t>(index) >= pos_dirty_from_) ensure_positions();
    return order_[index];
}

DataLine* CardDocument::line_at(int index) {
    return const_cast<DataLine*>(std::as_const(*this).line_at(index));
}

int CardDocument::line_index(const DataLine* line) const {
    if (!line) return -1;
    if (line->index_ < 0 || static_cast<std::size_t>(line->index_) >= pos_dirty_from_)
        ensure_positions();
    return line->index_;
}

int CardDocument::titles_through(int index) const {
    if (index < 0) return 0;
    ensure_ordinals();
    return titles_through_[std::min(index, count() - 1)];
}

int CardDocument::questions_through(int index) const {
    if (index < 0) return 0;
    ensure_ordinals();
    return questions_through_[std::min(index, count() - 1)];
}

const DataLine* CardDocument::enclosing_title(const DataLine* line) const {
    int index = line_index(line);
    if (index < 0) return nullptr;
    ensure_ordinals();
    int titles = titles_through_[index];
    return titles > 0 ? order_[title_lines_[titles - 1]] : nullptr;
}

const DataLine* CardDocument::title_by_number(int n) const {
    if (n < 0) return nullptr;
    ensure_ordinals();
    return n < static_cast<int>(title_lines_.size()) ? order_[title_lines_[n]] : nullptr;
}

int CardDocument::title_number(const DataLine* line) const {
    int index = line_index(line);
    if (index < 0) return -1;
    ensure_ordinals();
    return titles_through_[index] - 1;
}

const DataLine* CardDocument::next_question(const DataLine* line) const {
    int index = line_index(line);
    if (index < 0) return nullptr;
    ensure_ordinals();
    int questions = questions_through_[index];
    return questions < static_cast<int>(question_lines_.size())
               ? order_[question_lines_[questions]]
               : nullptr;
}

const DataLine* CardDocument::question_by_number(int n) const {
    if (n < 0) return nullptr;
    ensure_ordinals();
    return n < static_cast<int>(question_lines_.size()) ? order_[question_lines_[n]] : nullptr;
}

int CardDocument::question_number(const DataLine* line) const {
    int index = line_index(line);
    if (index < 0) return -1;
    ensure_ordinals();
    return questions_through_[index] - 1;
}

int CardDocument::questions_in_section(const DataLine* line) const {
    int index = line_index(line);
    if (index < 0) return 0;
    ensure_ordinals();
    int titles = titles_through_[index];
    int next_title = titles < static_cast<int>(title_lines_.size()) ? title_lines_[titles] : count();
    return questions_through_[next_title - 1] - questions_through_[index];
}

int CardDocument::count_titles() const {
    ensure_ordinals();
    return static_cast<int>(title_lines_.size());
}

int CardDocument::count_questions() const {
    ensure_ordinals();
    return static_cast<int>(question_lines_.size());
}

const DataLine* CardDocument::find_group_settings(int* file_line) const {
    ensure_ordinals();
    if (file_line) *file_line = first_group_ >= 0 ? file_line_number(first_group_) : count() + 2;
    return first_group_ >= 0 ? order_[first_group_] : nullptr;
}

// ---------------------------------------------------------------------------
// Changes

DataLine* CardDocument::insert(int position, DataLine line) {
    position = std::clamp(position, 0, count());
    auto where = position < count() ? iterator_at(position) : lines_.end();
    auto it = lines_.insert(where, std::move(line));
    it->self_ = it;
    it->index_ = -1;
    invalidate_positions_from(position);
    return &*it;
}

void CardDocument::insert(int position, std::vector<DataLine> lines) {
    if (lines.empty()) return;
    position = std::clamp(position, 0, count());
    auto where = position < count() ? iterator_at(position) : lines_.end();
    for (DataLine& line : lines) {
        auto it = lines_.insert(where, std::move(line));
        it->self_ = it;
        it->index_ = -1;
    }
    invalidate_positions_from(position);
}

void CardDocument::append(DataLine line) {
    lines_.push_back(std::move(line));
    auto it = std::prev(lines_.end());
    it->self_ = it;
    it->index_ = -1;
    invalidate_positions_from(count() - 1);
}

bool CardDocument::erase(int index) {
    if (index < 0 || index >= count()) return false;
    lines_.erase(iterator_at(index));
    invalidate_positions_from(index);
    return true;
}

int CardDocument::erase_if(const std::function<bool(int, const DataLine&)>& remove) {
    int removed = 0;
    int first = -1;
    int index = 0;
    for (auto it = lines_.begin(); it != lines_.end(); ++index) {
        if (remove(index, *it)) {
            if (first < 0) first = index;
            it = lines_.erase(it);
            ++removed;
        } else {
            ++it;
        }
    }
    if (first >= 0) invalidate_positions_from(first);
    return removed;
}

void CardDocument::set_text(DataLine* line, std::string text) {
    line->text_ = std::move(text);
    invalidate_ordinals_at(line);
}

void CardDocument::set_line(DataLine* line, int kind, std::string text) {
    line->kind_ = kind;
    line->text_ = std::move(text);
    invalidate_ordinals_at(line);
}

bool CardDocument::swap_with_next(int index) {
    if (index < 0 || index + 1 >= count()) return false;
    auto a = iterator_at(index);
    auto b = std::next(a);
    lines_.splice(a, lines_, b);
    invalidate_positions_from(index);
    return true;
}

bool CardDocument::move_lines(const std::vector<int>& indexes, int delta) {
    if (indexes.empty() || (delta != -1 && delta != 1)) return false;
    if (delta < 0 && indexes.front() <= 0) return false;
    if (delta > 0 && indexes.back() >= count() - 1) return false;
    ensure_positions();
    // Splice with the line identities taken before any change.
    const std::vector<DataLine*> order = order_;
    std::size_t i = 0;
    while (i < indexes.size()) {
        std::size_t j = i;
        while (j + 1 < indexes.size() && indexes[j + 1] == indexes[j] + 1) ++j;
        int first = indexes[i], last = indexes[j];
        if (delta < 0) {
            // The line above the block goes below it.
            lines_.splice(std::next(order[last]->self_), lines_, order[first - 1]->self_);
        } else {
            // The line below the block goes above it.
            lines_.splice(order[first]->self_, lines_, order[last + 1]->self_);
        }
        i = j + 1;
    }
    invalidate_positions_from(delta < 0 ? indexes.front() - 1 : indexes.front());
    return true;
}

std::vector<DataLine*> CardDocument::insert_at(const std::vector<int>& indexes,
                                               std::vector<DataLine> lines) {
    std::vector<DataLine*> inserted;
    if (indexes.empty()) return inserted;
    inserted.reserve(indexes.size());
    int pos = std::clamp(indexes.front(), 0, count());
    auto it = pos < count() ? iterator_at(pos) : lines_.end();
    for (std::size_t k = 0; k < indexes.size() && k < lines.size(); ++k) {
        for (; pos < indexes[k] && it != lines_.end(); ++pos) ++it;
        auto added = lines_.insert(it, std::move(lines[k]));
        added->self_ = added;
        added->index_ = -1;
        inserted.push_back(&*added);
        ++pos;
    }
    invalidate_positions_from(indexes.front());
    return inserted;
}

std::vector<DataLine> CardDocument::extract(const std::vector<int>& indexes) {
    std::vector<DataLine> taken;
    if (indexes.empty()) return taken;
    taken.reserve(indexes.size());
    int pos = indexes.front();
    auto it = iterator_at(pos);
    for (int index : indexes) {
        for (; pos < index; ++pos) ++it;
        taken.emplace_back(it->kind_, std::move(it->text_));
        it = lines_.erase(it);
        ++pos;
    }
    // Positions below were exact and stay so; the rest follow lazily.
    invalidate_positions_from(indexes.front());
    return taken;
}

void CardDocument::swap_line(DataLine* line, DataLine& other) {
    std::swap(line->kind_, other.kind_);
    line->text_.swap(other.text_);
    invalidate_ordinals_at(line);
}

void CardDocument::clear() {
    lines_.clear();
    order_.clear();
    titles_through_.clear();
    questions_through_.clear();
    title_lines_.clear();
    question_lines_.clear();
    first_group_ = -1;
    pos_dirty_from_ = 0;
    ord_dirty_from_ = 0;
}

}  // namespace qz
