#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "core/document/data_file.h"
#include "core/exchange/exchange_io.h"
#include "core/exchange/moodle_xml.h"
#include "core/image/png_decoder.h"
#include "core/image/png_encoder.h"

namespace qz {
namespace {

std::string data_file(const char* name) {
    std::ifstream in(std::string(QZ_SOURCE_DIR) + "/tests/data/exchange/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<ExchangeCard> cards_of(const std::string& body) {
    static CardDocument doc;
    read_data_file("QUIZODATA V1.4\r\n" + body, doc);
    return cards_from_document(doc);
}

// The expected file is written by hand after Moodle's description of its
// XML format: one category question per title, multiple choice with the
// drawn wrong choices, short answer with every alternative, true/false, the
// picture as a file of the question text.
TEST(MoodleXml, WritesTheHandWrittenFileByteForByte) {
    const std::vector<ExchangeCard> cards = cards_of(
        "#Capitals,300000'three choices\r\n"
        "Japan?\\i\"pics\\flag map.png\",Tokyo,<00\r\n"
        "France?,Paris,<00'a comment\r\n"
        "Korea?,[Seoul|Keijo],<01\r\n"
        "#Words,000000\r\n"
        "a<b & c]]>,[x|y]z,<00\r\n"
        "Empty?,,<00\r\n"
        "#TF,200000\r\n"
        "Sun?,\x81\x9B,<00\r\n");
    ExportOptions options;
    std::vector<std::string> asked;
    options.picture_bytes = [&](const std::string& reference) -> std::optional<std::string> {
        asked.push_back(reference);
        return std::string("abc");
    };
    const ExportResult r = write_moodle_xml(cards, options);
    EXPECT_EQ(r.bytes, data_file("moodle_small.xml"));
    EXPECT_EQ(r.cards, 5);
    EXPECT_EQ(r.left_out, 1);
    EXPECT_EQ(asked, std::vector<std::string>{"pics\\flag map.png"});
    EXPECT_TRUE(r.unread_pictures.empty());
}

// A picture that cannot be read stays a reference and is listed once; a
// BMP is carried as PNG under the PNG name.
TEST(MoodleXml, ListsUnreadPicturesAndConvertsBitmaps) {
    const std::vector<ExchangeCard> cards =
        cards_of("A\\i\"gone.png\"?,a,<00\r\nB\\i\"gone.png\"\\i\"m.bmp\"?,b,<00\r\nC\\i\"bad.bmp\"?,c,<00\r\n");
    // A 1x1 24-bit bitmap, white.
    std::string bmp("BM\x3a\0\0\0\0\0\0\0\x36\0\0\0\x28\0\0\0\x01\0\0\0\x01\0\0\0\x01\0\x18\0\0\0\0\0\x04\0\0\0"
                    "\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\xff\xff\xff\0", 58);
    ExportOptions options;
    options.picture_bytes = [&](const std::string& reference) -> std::optional<std::string> {
        if (reference == "m.bmp") return bmp;
        if (reference == "bad.bmp") return std::string("not a bitmap");
        return std::nullopt;
    };
    const ExportResult r = write_moodle_xml(cards, options);
    EXPECT_EQ(r.unread_pictures, (std::vector<std::string>{"gone.png", "bad.bmp"}));
    EXPECT_NE(r.bytes.find("<img src=\"gone.png\">"), std::string::npos);
    EXPECT_NE(r.bytes.find("<img src=\"@@PLUGINFILE@@/m.png\">"), std::string::npos);
    // The embedded file, read back as Moodle reads it, is the bitmap's picture.
    const std::string open = "<file name=\"m.png\" path=\"/\" encoding=\"base64\">";
    const std::size_t at = r.bytes.find(open);
    ASSERT_NE(at, std::string::npos);
    const std::size_t body = at + open.size();
    std::string png;
    unsigned bits = 0, held = 0;
    for (std::size_t i = body; i < r.bytes.size() && r.bytes[i] != '<' && r.bytes[i] != '='; ++i) {
        static const std::string kDigits =
            "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
        const std::size_t digit = kDigits.find(r.bytes[i]);
        ASSERT_NE(digit, std::string::npos) << i;
        bits = bits << 6 | static_cast<unsigned>(digit);
        if ((held += 6) >= 8) png += static_cast<char>(bits >> (held -= 8) & 0xFF);
    }
    Picture picture;
    ASSERT_EQ(decode_png(png, 0, picture), nullptr);
    ASSERT_EQ(picture.width(), 1);
    ASSERT_EQ(picture.height(), 1);
    EXPECT_EQ(std::vector<int>(picture.pixels.begin(), picture.pixels.begin() + 3), (std::vector<int>{255, 255, 255}));
}

TEST(MoodleXml, Base64OfTheStandardsVectors) {
    const std::pair<const char*, const char*> cases[] = {
        {"", ""}, {"f", "Zg=="}, {"fo", "Zm8="}, {"foo", "Zm9v"}, {"foob", "Zm9vYg=="},
        {"fooba", "Zm9vYmE="}, {"foobar", "Zm9vYmFy"}, {"\xff\xfe", "//4="}};
    for (auto [in, out] : cases) EXPECT_EQ(base64_encode(in), out) << in;
}

// Pictures of every kind the encoder takes come back from the program's
// own decoder pixel for pixel.
TEST(PngEncoder, RoundTripsThroughTheDecoder) {
    struct Case {
        unsigned bits;
        std::int32_t width, height;
    };
    for (const Case c : {Case{24, 7, 5}, Case{24, 1, 1}, Case{8, 5, 3}, Case{4, 9, 2}, Case{1, 17, 3}}) {
        SCOPED_TRACE(c.bits);
        Picture in;
        in.set_field(0, 40);
        in.set_field(4, static_cast<std::uint32_t>(c.width));
        in.set_field(8, static_cast<std::uint32_t>(c.height));
        in.info[12] = 1;
        in.info[14] = static_cast<std::uint8_t>(c.bits);
        in.set_field(24, 3780);
        in.set_field(28, 2835);
        const std::size_t stride = (static_cast<std::size_t>(c.width) * c.bits + 31) / 32 * 4;
        in.pixels.assign(stride * c.height, 0);
        for (std::size_t i = 0; i < in.pixels.size(); ++i) in.pixels[i] = static_cast<std::uint8_t>(i * 37 + 11);
        if (c.bits < 24) {
            for (unsigned k = 0; k < (1u << c.bits); ++k)
                for (unsigned b = 0; b < 3; ++b) in.info[kInfoHeaderSize + k * 4 + b] = static_cast<std::uint8_t>(k * 29 + b * 80);
        }
        const std::optional<std::string> png = encode_png(in);
        ASSERT_TRUE(png);
        Picture out;
        ASSERT_EQ(decode_png(*png, 0xFFFFFF, out), nullptr);
        ASSERT_EQ(out.width(), c.width);
        ASSERT_EQ(out.height(), c.height);
        EXPECT_EQ(out.x_pixels_per_metre(), 3780);
        EXPECT_EQ(out.y_pixels_per_metre(), 2835);
        const std::size_t out_stride = (static_cast<std::size_t>(c.width) * 3 + 3) / 4 * 4;
        for (std::int32_t y = 0; y < c.height; ++y)
            for (std::int32_t x = 0; x < c.width; ++x) {
                const std::uint8_t* row = in.pixels.data() + stride * y;
                const std::uint8_t* want = row + x * 3;
                if (c.bits < 24) {
                    const unsigned per = 8 / c.bits;
                    const unsigned index = (row[x / per] >> (8 - c.bits * (x % per + 1))) & ((1u << c.bits) - 1);
                    want = in.info.data() + kInfoHeaderSize + index * 4;
                }
                const std::uint8_t* got = out.pixels.data() + out_stride * y + x * 3;
                ASSERT_EQ(std::vector<int>(got, got + 3), std::vector<int>(want, want + 3)) << x << "," << y;
            }
    }
}

TEST(PngEncoder, RefusesWhatItCannotWrite) {
    Picture compressed;
    compressed.set_field(4, 2);
    compressed.set_field(8, 2);
    compressed.info[14] = 8;
    compressed.set_field(16, 1);  // RLE8
    compressed.pixels.assign(64, 0);
    EXPECT_FALSE(encode_png(compressed));
    Picture deep = compressed;
    deep.set_field(16, 0);
    deep.info[14] = 32;
    EXPECT_FALSE(encode_png(deep));
    Picture short_rows = compressed;
    short_rows.set_field(16, 0);
    short_rows.pixels.assign(4, 0);
    EXPECT_FALSE(encode_png(short_rows));
}

}  // namespace
}  // namespace qz
