// Answers that are pictures keep their references through the expansion
// into every export and into qzotool answers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/document/data_file.h"
#include "core/exchange/exchange_io.h"
#include "support/tool_run.h"

namespace qz {
namespace {

// Right answers and wrong choices that are pictures, one of them among
// alternatives and one with answer marks in its name.
constexpr char kBody[] =
    "#Flags,300000\r\n"
    "Japan?,\\i\"jp.png\",<00\r\n"
    "France?,[\\i\"fr(1).png\"|Drapeau],<00\r\n"
    "Italy?,\\i\"it.png\",<00\r\n";

std::vector<ExchangeCard> cards() {
    static CardDocument doc;
    read_data_file(std::string("QUIZODATA V1.4\r\n") + kBody, doc);
    return cards_from_document(doc);
}

const struct {
    ExchangeFormat format;
    std::vector<const char*> parts;  // each in the export
} kCases[] = {
    // Japan's wrong choices are the next cards' right answers.
    {ExchangeFormat::gift, {"{=\\\\i\"jp.png\" ~\\\\i\"fr(1).png\" ~\\\\i\"it.png\"}"}},
    {ExchangeFormat::aiken, {"A. \\i\"jp.png\"", "B. \\i\"fr(1).png\"", "C. \\i\"it.png\""}},
    {ExchangeFormat::tsv, {"\"<img src=\"\"jp.png\"\">\"", "\"[<img src=\"\"fr(1).png\"\">|Drapeau]\""}},
    {ExchangeFormat::moodle_xml,
     {"<text><![CDATA[<img src=\"fr(1).png\">]]></text>", "<text><![CDATA[<img src=\"it.png\">]]></text>"}},
};

TEST(PictureAnswers, EveryExportKeepsTheReferences) {
    for (const auto& c : kCases) {
        const std::string bytes = export_cards(cards(), c.format, {}).bytes;
        for (const char* part : c.parts)
            EXPECT_NE(bytes.find(part), std::string::npos) << format_key(c.format) << ": " << part << "\n" << bytes;
        EXPECT_EQ(bytes.find("\ti\""), std::string::npos) << format_key(c.format);
        EXPECT_EQ(bytes.find(" i\""), std::string::npos) << format_key(c.format);
    }
}

TEST(PictureAnswers, ToolListsTheReferences) {
    const std::string path = (std::filesystem::path(testing::TempDir()) / "picture_answers.qzf").string();
    std::ofstream(path, std::ios::binary) << "QUIZODATA V1.4\r\n" << kBody;
    const test::ToolResult r = test::run_tool({"answers", path});
    EXPECT_EQ(r.out, "3\t\\i\"jp.png\"\n4\t\\i\"fr(1).png\"\tDrapeau\n5\t\\i\"it.png\"\n");
}

}  // namespace
}  // namespace qz
