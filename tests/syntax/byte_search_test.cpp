#include "core/syntax/byte_search.h"

#include <gtest/gtest.h>

#include <string>

namespace qz {
namespace {

// What each search finds, byte by byte.
bool in_set(char c, std::string_view set, bool above_ascii) {
    return (above_ascii && static_cast<unsigned char>(c) > 0x7F) || set.find(c) != std::string_view::npos;
}

// One byte the search looks for at every place of a text longer than two
// blocks of 16 (the block loop and the byte loop after it), searched from
// every start: the first one at or after the start, or the end.
TEST(ByteSearch, FindsTheFirstWantedByteAtEveryPlace) {
    struct Case {
        std::string_view set;
        bool above_ascii;
        char wanted;
    };
    const Case cases[] = {
        {"\\\r\n", false, '\n'}, {"\\\r\n", false, '\\'}, {",", true, '\x81'}, {",", true, ','},
        {"", true, '\xFF'},      {"=~", false, '~'},
    };
    for (const Case& c : cases) {
        for (std::size_t at = 0; at <= 40; ++at) {
            std::string text(41, 'a');
            text[at] = c.wanted;
            text[40] = c.wanted;  // a second one at the end
            const char* const end = text.data() + text.size();
            for (std::size_t from = 0; from <= text.size(); ++from) {
                std::size_t expected = from;
                while (expected < text.size() && !in_set(text[expected], c.set, c.above_ascii)) ++expected;
                EXPECT_EQ(find_any_byte(text.data() + from, end, c.set, c.above_ascii) - text.data(),
                          static_cast<std::ptrdiff_t>(expected))
                    << "set " << testing::PrintToString(std::string(c.set)) << " at " << at << " from " << from;
            }
        }
    }
}

// Every byte value at every place: found exactly when it lies in the range
// (both ends included, compared as unsigned bytes).
TEST(ByteSearch, RangeHoldsItsEndsAndNothingElse) {
    const struct {
        unsigned char low, high;
    } ranges[] = {{0x03, 0x07}, {0x00, 0x1F}, {0x81, 0x9F}};
    for (const auto& r : ranges) {
        for (int value = 0; value < 256; ++value) {
            const bool inside = value >= r.low && value <= r.high;
            for (std::size_t at = 0; at < 40; ++at) {
                std::string text(40, 'a');
                text[at] = static_cast<char>(value);
                const char* const end = text.data() + text.size();
                EXPECT_EQ(find_byte_in_range(text.data(), end, r.low, r.high) - text.data(),
                          static_cast<std::ptrdiff_t>(inside ? at : text.size()))
                    << "range " << int{r.low} << "-" << int{r.high} << ", byte " << value << " at " << at;
            }
        }
    }
}

TEST(ByteSearch, CountsEveryByteInBlocksAndAfterThem) {
    const std::string lines = std::string(37, 'x') + "\n\n" + std::string(20, 'y') + "\n";
    EXPECT_EQ(count_byte(lines.data(), lines.data() + lines.size(), '\n'), 3u);
    EXPECT_EQ(count_byte(lines.data(), lines.data() + 37, '\n'), 0u);
    EXPECT_EQ(count_byte(lines.data() + 38, lines.data() + lines.size(), '\n'), 2u);
}

}  // namespace
}  // namespace qz
