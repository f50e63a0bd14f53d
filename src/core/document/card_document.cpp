#include "core/document/card_document.h"

#include <algorithm>
#include <bit>
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
// The place word of a line whose index is not known.
constexpr std::uint32_t kUnplaced = std::numeric_limits<std::uint32_t>::max();
// The place word of a line that left its document holds its id with this
// bit set, which no index has (ids and places stay below 2^30 and 2^31).
constexpr std::uint32_t kLeftWithId = std::uint32_t{1} << 31;
constexpr int kPlaceBits = 30;

// Lines among `lines` (ascending indexes) at or before `index`.
int count_through(const std::vector<int>& lines, int index) {
    return static_cast<int>(std::upper_bound(lines.begin(), lines.end(), index) - lines.begin());
}

}  // namespace

std::uint32_t DataLine::kind_code(int kind) {
    if (kind >= LINE_UNKNOWN && kind <= LINE_TEXT) return static_cast<std::uint32_t>(kind);
    if (kind >= LINE_SETTINGS && kind <= LINE_MESSAGE) return 3 + static_cast<std::uint32_t>(kind - LINE_SETTINGS);
    if (kind >= LINE_FONT && kind <= LINE_FONT_COMMENT) return 7 + static_cast<std::uint32_t>(kind - LINE_FONT);
    return 0;  // a kind no reader gives is a line of unknown kind
}

DataLine DataLine::in_buffer(int kind, const char* text, std::size_t size) {
    if (size >= kLongSize) return DataLine(kind, std::string_view(text, size));
    DataLine line;
    line.bits_ = kind_code(kind);
    if (size) {
        line.text_ = text;
        line.bits_ |= static_cast<std::uint32_t>(size) << kSizeShift;
    }
    return line;
}

void DataLine::own(std::string_view text) {
    if (text.empty()) return;
    const std::size_t size = text.size();
    const bool long_text = size >= kLongSize;
    const std::size_t head = long_text ? sizeof(std::uint64_t) : 0;
    if (size > std::numeric_limits<std::size_t>::max() - head - 1) throw std::length_error("line too long");
    char* block = new char[head + size + 1];
    if (long_text) {
        const std::uint64_t long_size = size;
        std::memcpy(block, &long_size, sizeof long_size);
    }
    char* copy = block + head;
    std::memcpy(copy, text.data(), size);
    copy[size] = '\0';
    text_ = copy;
    bits_ = (bits_ & kCodeMask) | kOwned | ((long_text ? kLongSize : static_cast<std::uint32_t>(size)) << kSizeShift);
}

void DataLine::release() noexcept {
    if (!(bits_ & kOwned)) return;
    if ((bits_ >> kSizeShift) == kLongSize)
        delete[] (text_ - sizeof(std::uint64_t));
    else
        delete[] text_;
}

CardDocument::CardDocument() : file_name(UNTITLED_NAME) {}

// ---------------------------------------------------------------------------
// Lines and their places

DataLine* CardDocument::given_place(std::uint32_t place) const {
    const std::size_t block = place >> kBlockShift;
    const std::uint32_t at = place & (kPlacesPerBlock - 1);
    if (block >= blocks_.size()) return nullptr;
    if (at >= (block + 1 == blocks_.size() ? used_in_last_block_ : block_places_[block])) return nullptr;
    return line_in(place);
}

DataLine* CardDocument::line_at_place(std::uint32_t place) const {
    DataLine* line = given_place(place);
    return line && (line->bits_ & DataLine::kCodeMask) != DataLine::kLeftCode ? line : nullptr;
}

std::uint32_t CardDocument::fresh_place() {
    if (blocks_.empty() || used_in_last_block_ == block_places_.back()) {
        if (blocks_.size() >= (std::size_t{1} << (kPlaceBits - kBlockShift))) throw std::length_error("too many lines");
        std::size_t places = block_lines(blocks_.size());
        if (expected_lines_ > places_) places = std::min(places, expected_lines_ - places_);
        blocks_.push_back(std::make_unique<DataLine[]>(places));
        block_places_.push_back(static_cast<std::uint32_t>(places));
        places_ += places;
        used_in_last_block_ = 0;
    }
    return static_cast<std::uint32_t>((blocks_.size() - 1) << kBlockShift) | used_in_last_block_++;
}

std::uint32_t CardDocument::new_line(DataLine line) {
    // A line that left this document returns to its place, which no other
    // line has taken since.
    const bool left = (line.word_ & kLeftWithId) && line.word_ != kUnplaced;
    std::uint32_t place = (line.word_ & ~kLeftWithId) - id_base_;
    const DataLine* old = left ? given_place(place) : nullptr;
    if (!old || (old->bits_ & DataLine::kCodeMask) != DataLine::kLeftCode) place = fresh_place();
    DataLine* slot = line_in(place);
    slot->swap(line);
    slot->word_ = kUnplaced;
    return place;
}

void CardDocument::free_line(std::uint32_t place) {
    DataLine* slot = line_in(place);
    DataLine gone;
    slot->swap(gone);
    slot->bits_ = DataLine::kLeftCode;
    slot->word_ = kUnplaced;
}

void CardDocument::own_text(DataLine& line) {
    if (!line.in_file_buffer()) return;
    DataLine copy(line.kind(), line.text());
    line.swap(copy);
}

std::string& CardDocument::hold_buffer(std::string bytes) {
    buffers_.push_back(std::make_unique<std::string>(std::move(bytes)));
    return *buffers_.back();
}

#if defined(__GNUC__)
[[gnu::always_inline]]
#endif
inline bool CardDocument::note_ordinal(std::size_t i, const DataLine* line) const {
    if (line->kind() == LINE_TITLE) {
        title_lines_.push_back(static_cast<int>(i));
    } else if (is_question(line)) {
        question_bits_[i / 64] |= std::uint64_t{1} << (i % 64);
        return true;
    } else if (line->kind() == LINE_GROUP && first_group_ < 0) {
        first_group_ = static_cast<int>(i);
    }
    return false;
}

void CardDocument::append_from_buffer(int kind, const char* text, std::size_t size) {
    if (size >= DataLine::kLongSize) {
        append(DataLine::in_buffer(kind, text, size));
        return;
    }
    // The common case of reading, straight into the next place.
    const std::size_t n = order_.size();
    const std::uint32_t place = fresh_place();
    DataLine* slot = line_in(place);
    slot->text_ = size ? text : "";
    slot->bits_ = DataLine::kind_code(kind) | static_cast<std::uint32_t>(size) << DataLine::kSizeShift;
    slot->word_ = static_cast<std::uint32_t>(n);
    order_.push_back(place);
    if (pos_dirty_from_ >= n) pos_dirty_from_ = n + 1;
    extend_ordinals(n, slot);
}

void CardDocument::extend_ordinals(std::size_t n, const DataLine* line) {
    // Exact before the line (or with none before it), the ordinals take it
    // in as it comes: a file just read is not gone over again for them.
    if (n == 0) {
        title_lines_.clear();
        question_bits_.clear();
        questions_before_word_.clear();
        questions_ = 0;
        first_group_ = -1;
    } else if (ord_dirty_from_ != kExact) {
        ord_dirty_from_ = std::min(ord_dirty_from_, n);
        return;
    }
    if (n % 64 == 0) {
        question_bits_.push_back(0);
        questions_before_word_.push_back(static_cast<std::uint32_t>(questions_));
    }
    if (note_ordinal(n, line)) ++questions_;
    ord_dirty_from_ = kExact;
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
    give_back_spare(title_lines_);
    give_back_spare(question_bits_);
    give_back_spare(questions_before_word_);
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
    if (line->word_ < pos_dirty_from_) ord_dirty_from_ = std::min(ord_dirty_from_, std::size_t{line->word_});
}

void CardDocument::ensure_positions() const {
    const std::size_t n = order_.size();
    for (std::size_t i = pos_dirty_from_; i < n; ++i) line_in(order_[i])->word_ = static_cast<std::uint32_t>(i);
    pos_dirty_from_ = std::max(pos_dirty_from_, n);
}

void CardDocument::ensure_ordinals() const {
    if (ord_dirty_from_ == kExact) return;
    ensure_positions();
    const std::size_t n = order_.size();
    const std::size_t from = std::min(ord_dirty_from_, n);
    title_lines_.resize(static_cast<std::size_t>(count_through(title_lines_, static_cast<int>(from) - 1)));
    if (first_group_ >= static_cast<int>(from)) first_group_ = -1;
    // The question bits from `from` on are found again; the words before
    // the one `from` lies in keep theirs.
    const std::size_t words = (n + 63) / 64;
    const std::size_t first_word = from / 64;
    question_bits_.resize(words);
    questions_before_word_.resize(words);
    if (first_word < words) {
        question_bits_[first_word] &= (std::uint64_t{1} << (from % 64)) - 1;
        std::fill(question_bits_.begin() + static_cast<std::ptrdiff_t>(first_word) + 1, question_bits_.end(), 0);
    }
    for (std::size_t i = from; i < n; ++i) note_ordinal(i, line_in(order_[i]));
    std::uint32_t before = first_word == 0 || first_word > words ? 0
                           : questions_before_word_[first_word - 1] +
                                 static_cast<std::uint32_t>(std::popcount(question_bits_[first_word - 1]));
    for (std::size_t w = first_word; w < words; ++w) {
        questions_before_word_[w] = before;
        before += static_cast<std::uint32_t>(std::popcount(question_bits_[w]));
    }
    questions_ = words == 0 ? 0 : static_cast<int>(before);
    if (from == 0) {
        give_back_spare(title_lines_);
        give_back_spare(question_bits_);
        give_back_spare(questions_before_word_);
    }
    ord_dirty_from_ = kExact;
}

int CardDocument::questions_before(int index) const {
    ensure_ordinals();
    if (index <= 0) return 0;
    const std::size_t i = std::min(static_cast<std::size_t>(index), order_.size());
    const std::size_t word = i / 64;
    if (word >= question_bits_.size()) return questions_;
    const std::uint64_t below = question_bits_[word] & ((std::uint64_t{1} << (i % 64)) - 1);
    return static_cast<int>(questions_before_word_[word]) + std::popcount(below);
}

int CardDocument::question_line(int n) const {
    ensure_ordinals();
    if (n < 0 || n >= questions_) return -1;
    // The last word with fewer questions before it than n + 1.
    const auto after = std::upper_bound(questions_before_word_.begin(), questions_before_word_.end(),
                                        static_cast<std::uint32_t>(n));
    const std::size_t word = static_cast<std::size_t>(after - questions_before_word_.begin()) - 1;
    std::uint64_t bits = question_bits_[word];
    for (std::uint32_t skip = static_cast<std::uint32_t>(n) - questions_before_word_[word]; skip > 0; --skip)
        bits &= bits - 1;
    return static_cast<int>(word * 64 + static_cast<std::size_t>(std::countr_zero(bits)));
}

// ---------------------------------------------------------------------------
// Navigation

const DataLine* CardDocument::line_at(int index) const {
    if (index < 0 || index >= count()) return nullptr;
    return line_in(order_[static_cast<std::size_t>(index)]);
}

DataLine* CardDocument::line_at(int index) {
    return const_cast<DataLine*>(std::as_const(*this).line_at(index));
}

int CardDocument::line_index(const DataLine* line) const {
    if (!line) return -1;
    if (line->word_ >= pos_dirty_from_) ensure_positions();
    // A line that is not in the document (one that left it keeps its id
    // in the word) is not at the index its word would give.
    const std::uint32_t index = line->word_;
    if (index >= order_.size() || line_in(order_[index]) != line) return -1;
    return static_cast<int>(index);
}

std::uint32_t CardDocument::line_id(const DataLine* line) const {
    return line_id_at(line_index(line));
}

std::uint32_t CardDocument::line_id_at(int index) const {
    if (index < 0 || index >= count()) return 0;
    return id_base_ + order_[static_cast<std::size_t>(index)];
}

int CardDocument::find_line(std::uint32_t id) const {
    if (id == 0) return -1;
    const DataLine* line = line_at_place(id - id_base_);
    return line ? line_index(line) : -1;
}

int CardDocument::titles_through(int index) const {
    if (index < 0) return 0;
    ensure_ordinals();
    return count_through(title_lines_, index);
}

int CardDocument::questions_through(int index) const {
    if (index < 0) return 0;
    return questions_before(index + 1);
}

const DataLine* CardDocument::enclosing_title(const DataLine* line) const {
    const int titles = titles_through(line_index(line));
    return titles > 0 ? line_at(title_lines_[static_cast<std::size_t>(titles - 1)]) : nullptr;
}

const DataLine* CardDocument::title_by_number(int n) const {
    if (n < 0) return nullptr;
    ensure_ordinals();
    return n < static_cast<int>(title_lines_.size()) ? line_at(title_lines_[static_cast<std::size_t>(n)]) : nullptr;
}

int CardDocument::title_number(const DataLine* line) const {
    const int index = line_index(line);
    return index < 0 ? -1 : titles_through(index) - 1;
}

const DataLine* CardDocument::next_question(const DataLine* line) const {
    const int index = line_index(line);
    if (index < 0) return nullptr;
    return line_at(question_line(questions_through(index)));
}

const DataLine* CardDocument::question_by_number(int n) const {
    return line_at(question_line(n));
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
        titles < static_cast<int>(title_lines_.size()) ? title_lines_[static_cast<std::size_t>(titles)] : count();
    return questions_through(next_title - 1) - questions_through(index);
}

int CardDocument::count_titles() const {
    ensure_ordinals();
    return static_cast<int>(title_lines_.size());
}

int CardDocument::count_questions() const {
    ensure_ordinals();
    return questions_;
}

const DataLine* CardDocument::find_group_settings(int* file_line) const {
    ensure_ordinals();
    if (file_line) *file_line = first_group_ >= 0 ? file_line_number(first_group_) : count() + 2;
    return first_group_ >= 0 ? line_at(first_group_) : nullptr;
}

// ---------------------------------------------------------------------------
// Changes

DataLine* CardDocument::insert(int position, DataLine line) {
    position = std::clamp(position, 0, count());
    const std::uint32_t added = new_line(std::move(line));
    order_.insert(order_.begin() + position, added);
    invalidate_positions_from(position);
    return line_in(added);
}

void CardDocument::append(DataLine line) {
    const std::size_t n = order_.size();
    const std::uint32_t added = new_line(std::move(line));
    order_.push_back(added);
    // Appending keeps every position exact that was.
    line_in(added)->word_ = static_cast<std::uint32_t>(n);
    if (pos_dirty_from_ >= n) pos_dirty_from_ = n + 1;
    extend_ordinals(n, line_in(added));
}

bool CardDocument::erase(int index) {
    if (index < 0 || index >= count()) return false;
    free_line(order_[static_cast<std::size_t>(index)]);
    order_.erase(order_.begin() + index);
    invalidate_positions_from(index);
    return true;
}

int CardDocument::erase_if(const std::function<bool(int, const DataLine&)>& remove) {
    int removed = 0;
    int first = -1;
    std::size_t kept = 0;
    for (std::size_t i = 0; i < order_.size(); ++i) {
        const std::uint32_t place = order_[i];
        if (remove(static_cast<int>(i), *line_in(place))) {
            if (first < 0) first = static_cast<int>(i);
            free_line(place);
            ++removed;
        } else {
            order_[kept++] = place;
        }
    }
    order_.resize(kept);
    if (first >= 0) invalidate_positions_from(first);
    return removed;
}

void CardDocument::set_text(DataLine* line, std::string text) {
    DataLine replacement(line->kind(), text);
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
    std::swap(order_[static_cast<std::size_t>(index)], order_[static_cast<std::size_t>(index) + 1]);
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
    std::vector<std::uint32_t> added(k);
    for (std::size_t i = 0; i < k; ++i) {
        std::size_t wanted = static_cast<std::size_t>(std::max(indexes[i], 0));
        wanted = std::min(wanted, n + i);
        place[i] = i > 0 ? std::max(wanted, place[i - 1] + 1) : wanted;
        added[i] = new_line(std::move(lines[i]));
        inserted.push_back(line_in(added[i]));
    }
    // Merge from the back; the lines before the first place stay.
    order_.resize(n + k);
    std::size_t from = n;
    std::size_t next = k;
    for (std::size_t to = n + k; next > 0;) {
        --to;
        if (place[next - 1] == to)
            order_[to] = added[--next];
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
        const std::uint32_t place = order_[i];
        if (next < indexes.size() && static_cast<std::size_t>(indexes[next]) == i) {
            taken.push_back(std::move(*line_in(place)));
            taken.back().word_ = (id_base_ + place) | kLeftWithId;  // to return to its place
            own_text(taken.back());  // the file buffer stays with the document
            free_line(place);
            ++next;
        } else {
            order_[kept++] = place;
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
    // Places keep their lines; the ids base of this document names them
    // afresh, and the positions and ordinals the reader knew stay exact.
    order_.swap(other.order_);
    blocks_.swap(other.blocks_);
    block_places_.swap(other.block_places_);
    std::swap(used_in_last_block_, other.used_in_last_block_);
    std::swap(places_, other.places_);
    buffers_.swap(other.buffers_);
    pos_dirty_from_ = other.pos_dirty_from_;
    title_lines_.swap(other.title_lines_);
    question_bits_.swap(other.question_bits_);
    questions_before_word_.swap(other.questions_before_word_);
    questions_ = other.questions_;
    first_group_ = other.first_group_;
    ord_dirty_from_ = other.ord_dirty_from_;
    version = other.version;
    file_name = std::move(other.file_name);
    other.clear();
    other.file_name = UNTITLED_NAME;
}

void CardDocument::clear() {
    // The next ids lie past every place used so far.
    const std::uint64_t next = std::uint64_t{id_base_} + (std::uint64_t{blocks_.size()} << kBlockShift);
    id_base_ = next >= (std::uint64_t{1} << kPlaceBits) ? 1 : static_cast<std::uint32_t>(next);
    order_ = {};
    blocks_.clear();
    block_places_.clear();
    used_in_last_block_ = 0;
    places_ = 0;
    expected_lines_ = 0;
    buffers_.clear();
    title_lines_ = {};
    question_bits_ = {};
    questions_before_word_ = {};
    questions_ = 0;
    first_group_ = -1;
    pos_dirty_from_ = 0;
    ord_dirty_from_ = 0;
}

}  // namespace qz
