#include "core/document/card_document.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <utility>

namespace qz {

// UTF-8, as every path ("新規.qzf").
const char* const UNTITLED_NAME = "\xE6\x96\xB0\xE8\xA6\x8F.qzf";

namespace {

// Lines per block of lines: the first blocks are small, so that a document
// of a few lines (a clipboard's, an import's) does not clear a large block,
// and each one twice the last up to the size every later block has.
constexpr std::size_t kFirstBlockLines = 16;
constexpr std::size_t kBlockLines = 4096;

std::size_t block_lines(std::size_t block) {
    return block < 8 ? std::min(kFirstBlockLines << block, kBlockLines) : kBlockLines;
}
// ord_dirty_from_ when every ordinal is exact.
constexpr std::size_t kExact = std::numeric_limits<std::size_t>::max();

// Lines among `lines` (ascending indexes) at or before `index`.
int count_through(const std::vector<int>& lines, int index) {
    return static_cast<int>(std::upper_bound(lines.begin(), lines.end(), index) - lines.begin());
}

}  // namespace

void DataLine::own(std::string_view text) {
    if (text.empty()) return;
    if (text.size() > std::numeric_limits<std::uint32_t>::max())
        throw std::length_error("line too long");
    char* copy = new char[text.size() + 1];
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = '\0';
    text_ = copy;
    size_ = static_cast<std::uint32_t>(text.size());
    owned_ = true;
}

CardDocument::CardDocument() : file_name(UNTITLED_NAME) {}

// ---------------------------------------------------------------------------
// Lines and their places

DataLine* CardDocument::new_line(DataLine line) {
    DataLine* slot;
    if (!free_.empty()) {
        slot = free_.back();
        free_.pop_back();
    } else {
        if (blocks_.empty() || used_in_last_block_ == block_lines(blocks_.size() - 1)) {
            blocks_.push_back(std::make_unique<DataLine[]>(block_lines(blocks_.size())));
            used_in_last_block_ = 0;
        }
        slot = &blocks_.back()[used_in_last_block_++];
    }
    slot->swap(line);
    slot->index_ = -1;
    // A line moved out and back keeps its id; a new one gets the next.
    slot->id_ = line.id_ ? line.id_ : take_id();
    return slot;
}

std::uint32_t CardDocument::take_id() {
    const std::uint32_t id = next_id_++;
    if (next_id_ == 0) next_id_ = 1;  // 0 names no line
    return id;
}

void CardDocument::free_line(DataLine* line) {
    DataLine none;
    line->swap(none);
    line->index_ = -1;
    line->id_ = 0;
    free_.push_back(line);
}

void CardDocument::own_text(DataLine& line) {
    if (!line.in_file_buffer()) return;
    DataLine copy(line.kind_, line.text());
    line.swap(copy);
}

std::string& CardDocument::hold_buffer(std::string bytes) {
    buffers_.push_back(std::make_unique<std::string>(std::move(bytes)));
    return *buffers_.back();
}

void CardDocument::append_from_buffer(int kind, const char* text, std::size_t size) {
    append(DataLine::in_buffer(kind, text, size));
}

namespace {

// A vector that grew by doubling holds up to twice what it needs.
template <class T>
void give_back_spare(std::vector<T>& v) {
    if (v.capacity() > v.size() + v.size() / 8) v.shrink_to_fit();
}

}  // namespace

void CardDocument::shrink_to_fit() {
    give_back_spare(order_);
}

// ---------------------------------------------------------------------------
// Index upkeep

void CardDocument::invalidate_positions_from(int index) const {
    std::size_t at = index < 0 ? 0 : static_cast<std::size_t>(index);
    pos_dirty_from_ = std::min(pos_dirty_from_, at);
    ord_dirty_from_ = std::min(ord_dirty_from_, at);
}

void CardDocument::invalidate_ordinals_at(const DataLine* line) const {
    // A cached index below pos_dirty_from_ is exact; any other line lies at
    // or behind pos_dirty_from_, which ord_dirty_from_ never exceeds while
    // some index is not exact.
    if (line->index_ >= 0 && static_cast<std::size_t>(line->index_) < pos_dirty_from_)
        ord_dirty_from_ = std::min(ord_dirty_from_, static_cast<std::size_t>(line->index_));
}

void CardDocument::ensure_positions() const {
    const std::size_t n = order_.size();
    for (std::size_t i = pos_dirty_from_; i < n; ++i)
        order_[i]->index_ = static_cast<int>(i);
    pos_dirty_from_ = std::max(pos_dirty_from_, n);
}

void CardDocument::ensure_ordinals() const {
    if (ord_dirty_from_ == kExact) return;
    ensure_positions();
    const std::size_t n = order_.size();
    const int from = static_cast<int>(std::min(ord_dirty_from_, n));
    title_lines_.resize(static_cast<std::size_t>(count_through(title_lines_, from - 1)));
    question_lines_.resize(static_cast<std::size_t>(count_through(question_lines_, from - 1)));
    if (first_group_ >= from) first_group_ = -1;
    for (int i = from; i < static_cast<int>(n); ++i) {
        const DataLine* line = order_[i];
        if (line->kind() == LINE_TITLE)
            title_lines_.push_back(i);
        else if (is_question(line))
            question_lines_.push_back(i);
        else if (line->kind() == LINE_GROUP && first_group_ < 0)
            first_group_ = i;
    }
    if (from == 0) {
        give_back_spare(title_lines_);
        give_back_spare(question_lines_);
    }
    ord_dirty_from_ = kExact;
}

// ---------------------------------------------------------------------------
// Navigation

const DataLine* CardDocument::line_at(int index) const {
    if (index < 0 || index >= count()) return nullptr;
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
    return count_through(title_lines_, index);
}

int CardDocument::questions_through(int index) const {
    if (index < 0) return 0;
    ensure_ordinals();
    return count_through(question_lines_, index);
}

const DataLine* CardDocument::enclosing_title(const DataLine* line) const {
    const int titles = titles_through(line_index(line));
    return titles > 0 ? order_[title_lines_[titles - 1]] : nullptr;
}

const DataLine* CardDocument::title_by_number(int n) const {
    if (n < 0) return nullptr;
    ensure_ordinals();
    return n < static_cast<int>(title_lines_.size()) ? order_[title_lines_[n]] : nullptr;
}

int CardDocument::title_number(const DataLine* line) const {
    const int index = line_index(line);
    return index < 0 ? -1 : titles_through(index) - 1;
}

const DataLine* CardDocument::next_question(const DataLine* line) const {
    const int index = line_index(line);
    if (index < 0) return nullptr;
    const int questions = questions_through(index);
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
    const int index = line_index(line);
    return index < 0 ? -1 : questions_through(index) - 1;
}

int CardDocument::questions_in_section(const DataLine* line) const {
    const int index = line_index(line);
    if (index < 0) return 0;
    const int titles = titles_through(index);
    const int next_title =
        titles < static_cast<int>(title_lines_.size()) ? title_lines_[titles] : count();
    return questions_through(next_title - 1) - questions_through(index);
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
    DataLine* added = new_line(std::move(line));
    order_.insert(order_.begin() + position, added);
    invalidate_positions_from(position);
    return added;
}

void CardDocument::append(DataLine line) {
    const std::size_t n = order_.size();
    DataLine* added = new_line(std::move(line));
    order_.push_back(added);
    // Appending keeps every position exact that was.
    added->index_ = static_cast<int>(n);
    if (pos_dirty_from_ >= n) pos_dirty_from_ = n + 1;
    ord_dirty_from_ = std::min(ord_dirty_from_, n);
}

bool CardDocument::erase(int index) {
    if (index < 0 || index >= count()) return false;
    free_line(order_[index]);
    order_.erase(order_.begin() + index);
    invalidate_positions_from(index);
    return true;
}

int CardDocument::erase_if(const std::function<bool(int, const DataLine&)>& remove) {
    int removed = 0;
    int first = -1;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        DataLine* line = order_[i];
        if (remove(static_cast<int>(i), *line)) {
            if (first < 0) first = static_cast<int>(i);
            free_line(line);
            ++removed;
        } else {
            order_[kept++] = line;
        }
    }
    order_.resize(kept);
    if (first >= 0) invalidate_positions_from(first);
    return removed;
}

void CardDocument::set_text(DataLine* line, std::string text) {
    DataLine replacement(line->kind_, text);
    line->swap(replacement);
    invalidate_ordinals_at(line);
}

void CardDocument::set_line(DataLine* line, int kind, std::string text) {
    DataLine replacement(kind, text);
    line->swap(replacement);
    invalidate_ordinals_at(line);
}

bool CardDocument::swap_with_next(int index) {
    if (index < 0 || index + 1 >= count()) return false;
    std::swap(order_[index], order_[index + 1]);
    invalidate_positions_from(index);
    return true;
}

bool CardDocument::move_lines(const std::vector<int>& indexes, int delta) {
    if (indexes.empty() || (delta != -1 && delta != 1)) return false;
    if (delta < 0 && indexes.front() <= 0) return false;
    if (delta > 0 && indexes.back() >= count() - 1) return false;
    const auto at = [&](int index) { return order_.begin() + index; };
    std::size_t i = 0;
    while (i < indexes.size()) {
        std::size_t j = i;
        while (j + 1 < indexes.size() && indexes[j + 1] == indexes[j] + 1) ++j;
        const int first = indexes[i], last = indexes[j];
        if (delta < 0)
            std::rotate(at(first - 1), at(first), at(last + 1));  // the line above goes below
        else
            std::rotate(at(first), at(last + 1), at(last + 2));  // the line below goes above
        i = j + 1;
    }
    invalidate_positions_from(delta < 0 ? indexes.front() - 1 : indexes.front());
    return true;
}

std::vector<DataLine*> CardDocument::insert_at(const std::vector<int>& indexes,
                                               std::vector<DataLine> lines) {
    std::vector<DataLine*> inserted;
    const std::size_t k = std::min(indexes.size(), lines.size());
    if (k == 0) return inserted;
    // Where each line ends up: at its index, but never past the lines
    // before it nor past the end.
    const std::size_t n = order_.size();
    std::vector<std::size_t> place(k);
    for (std::size_t i = 0; i < k; ++i) {
        std::size_t wanted = static_cast<std::size_t>(std::max(indexes[i], 0));
        wanted = std::min(wanted, n + i);
        place[i] = i > 0 ? std::max(wanted, place[i - 1] + 1) : wanted;
        inserted.push_back(new_line(std::move(lines[i])));
    }
    // Merge from the back; the lines before the first place stay.
    order_.resize(n + k);
    std::size_t from = n;
    std::size_t next = k;
    for (std::size_t to = n + k; next > 0;) {
        --to;
        if (place[next - 1] == to)
            order_[to] = inserted[--next];
        else
            order_[to] = order_[--from];
    }
    invalidate_positions_from(static_cast<int>(place.front()));
    return inserted;
}

std::vector<DataLine> CardDocument::extract(const std::vector<int>& indexes) {
    std::vector<DataLine> taken;
    if (indexes.empty()) return taken;
    taken.reserve(indexes.size());
    std::size_t kept = static_cast<std::size_t>(indexes.front());
    std::size_t next = 0;
    for (std::size_t i = kept; i < order_.size(); ++i) {
        DataLine* line = order_[i];
        if (next < indexes.size() && static_cast<std::size_t>(indexes[next]) == i) {
            taken.push_back(std::move(*line));
            own_text(taken.back());  // the file buffer stays with the document
            free_line(line);
            ++next;
        } else {
            order_[kept++] = line;
        }
    }
    order_.resize(kept);
    // Positions below were exact and stay so; the rest follow lazily.
    invalidate_positions_from(indexes.front());
    return taken;
}

void CardDocument::swap_line(DataLine* line, DataLine& other) {
    line->swap(other);
    own_text(other);
    invalidate_ordinals_at(line);
}

void CardDocument::adopt(CardDocument& other) {
    if (&other == this) return;
    clear();
    order_.swap(other.order_);
    free_.swap(other.free_);
    blocks_.swap(other.blocks_);
    std::swap(used_in_last_block_, other.used_in_last_block_);
    buffers_.swap(other.buffers_);
    version = other.version;
    file_name = std::move(other.file_name);
    for (DataLine* line : order_) {
        line->index_ = -1;
        line->id_ = take_id();
    }
    other.clear();
    other.file_name = UNTITLED_NAME;
}

void CardDocument::clear() {
    order_ = {};
    free_ = {};
    blocks_.clear();
    used_in_last_block_ = 0;
    buffers_.clear();
    title_lines_ = {};
    question_lines_ = {};
    first_group_ = -1;
    pos_dirty_from_ = 0;
    ord_dirty_from_ = 0;
}

}  // namespace qz
