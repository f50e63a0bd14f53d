#include "core/exchange/media_check.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <tuple>

#include "core/document/data_file.h"
#include "tool/pictures_command.h"
#include "support/tool_run.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

// The first bytes of a PNG and of a BMP file of the given size.
std::string png_head(unsigned width, unsigned height) {
    std::string head("\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR", 16);
    for (unsigned v : {width, height})
        for (int shift = 24; shift >= 0; shift -= 8) head += static_cast<char>(v >> shift & 0xFF);
    return head + std::string("\x08\x02\0\0\0", 5);
}
std::string bmp_head(unsigned width, unsigned height) {
    std::string head = "BM" + std::string(12, '\0');
    for (unsigned v : {40u, width, height})
        for (int shift = 0; shift < 32; shift += 8) head += static_cast<char>(v >> shift & 0xFF);
    return head + std::string(8, '\0');
}

// A folder of each kind of file once, and a data file using some of them.
struct MediaFolder {
    fs::path dir = fs::path(testing::TempDir()) / "media_check";
    std::string data_file = (dir / "quiz.qzf").string();
    MediaFolder() {
        fs::remove_all(dir);
        fs::create_directories(dir / "sub");
        const std::pair<const char*, std::string> files[] = {
            {"ok.png", png_head(4, 3)},
            {"Case.PNG", png_head(2, 2)},
            {"wave\xE3\x80\x9C.png", png_head(2, 2)},  // U+301C: code page 932 writes it as U+FF5E
            {"unused.bmp", bmp_head(1, 1)},
            {"bad.png", "no picture"},
            {"huge.bmp", bmp_head(40000, 10)},
            {"notes.txt", "not a picture, never reported"},
            {"sub/in.png", png_head(1, 1)},
            {"sub/left.png", png_head(1, 1)},
        };
        for (const auto& [name, bytes] : files) std::ofstream(dir / fs::u8path(name), std::ios::binary) << bytes;
        std::ofstream(data_file, std::ios::binary)
            << "QUIZODATA V1.4\r\n#T,000000\r\n"
               "\\i\"ok.png\"\\i\"missing.png\"?,a,<00\r\n"
               "q2,\\i\"case.png\",<00\r\n"
               "q3,\\i\"wave\x81\x60.png\",<00\r\n"
               "q4,\\i\"bad.png\",<00\r\n"
               "\\i\"huge.bmp\"?,\\i\"missing.png\",<00\r\n"
               "q6,\\i\"sub\\in.png\",<00\r\n";
    }
};

std::vector<MediaFinding> check(const MediaFolder& folder) {
    CardDocument doc;
    read_data_file(test::read_bytes(folder.data_file), doc);
    return check_media(doc, folder.data_file, tool::media_lister(), tool::media_head_reader());
}

TEST(MediaCheck, FindsEachKindOnAHandMadeFolder) {
    const MediaFolder folder;
    using K = MediaKind;
    using Row = std::tuple<K, std::string, std::vector<int>>;  // kind, file name, file line numbers
    std::vector<Row> found;
    for (const MediaFinding& f : check(folder)) {
        std::vector<int> lines;
        for (int index : f.lines) lines.push_back(CardDocument::file_line_number(index));
        std::string name = f.path.substr(f.path.find_last_of("/\\") + 1);
        found.emplace_back(f.kind, name, lines);
    }
    const std::vector<Row> expected = {
        {K::missing, "missing.png", {3, 7}},
        {K::case_differs, "Case.PNG", {4}},
        {K::name_not_held, "wave\xE3\x80\x9C.png", {5}},
        {K::unused, "left.png", {}},
        {K::unused, "unused.bmp", {}},
        {K::not_picture, "bad.png", {6}},
        {K::too_large, "huge.bmp", {7}},
    };
    EXPECT_EQ(found, expected);
}

TEST(MediaCheck, ToolListsTheUnusedFiles) {
    const MediaFolder folder;
    const test::ToolResult r = test::run_tool({"pictures", "--unused", folder.data_file});
    EXPECT_EQ(r.status, 1);
    const std::string prefix = (folder.dir / "").string();
    EXPECT_EQ(r.out, prefix + "sub\\left.png\n" + prefix + "unused.bmp\n");
    fs::remove(folder.dir / "sub" / "left.png");
    fs::remove(folder.dir / "unused.bmp");
    EXPECT_EQ(test::run_tool({"pictures", "--unused", folder.data_file}).status, 0);
}

}  // namespace
}  // namespace qz
