// qzotool export --media: the pictures of the exported cards copied beside
// the export, BMP as PNG, references rewritten to the copies.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "core/image/bmp_file.h"
#include "core/image/png_decoder.h"
#include "support/tool_run.h"

namespace qz {
namespace {

namespace fs = std::filesystem;

TEST(MediaExport, CopiesThePicturesAndRewritesTheReferences) {
    const fs::path dir = fs::path(testing::TempDir()) / "media_export";
    fs::remove_all(dir);
    fs::create_directories(dir / "img");
    fs::copy_file(QZ_SOURCE_DIR "/samples/flag.png", dir / "flag.png");
    fs::copy_file(QZ_SOURCE_DIR "/samples/flag.png", dir / "img" / "FLAG.png");
    fs::copy_file(QZ_SOURCE_DIR "/samples/map.bmp", dir / "img" / "map.bmp");
    const std::string data = (dir / "quiz.qzf").string();
    std::ofstream(data, std::ios::binary) << "QUIZODATA V1.4\r\n#T,000000\r\n"
                                             "\\i\"flag.png\"?,\\i\"img\\map.bmp\",<00\r\n"
                                             "q2\\i\"img\\FLAG.png\",\\i\"gone.png\",<00\r\n"
                                             "q3\\i\"flag.png\",\\i\"gone.png\",<00\r\n";
    const std::string out = (dir / "out.tsv").string();
    const std::string media = (dir / "out_media").string();
    const test::ToolResult r = test::run_tool({"export", "--format", "tsv", "--media", media, data, out});
    // A picture that cannot be read is told by its lines; the rest is written.
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, data + ":4: picture not read, not copied: gone.png\n" + data +
                         ":5: picture not read, not copied: gone.png\n");
    const std::string tsv = test::read_bytes(out);
    for (const char* part : {"\"<img src=\"\"flag.png\"\">?\"\t\"<img src=\"\"map.png\"\">\"",
                             "\"q2<img src=\"\"FLAG_2.png\"\">\"\t\"<img src=\"\"gone.png\"\">\""})
        EXPECT_NE(tsv.find(part), std::string::npos) << part << "\n" << tsv;
    // The copies: the same bytes, and the BMP's pixels as a PNG.
    const std::string flag = test::read_bytes(QZ_SOURCE_DIR "/samples/flag.png");
    EXPECT_EQ(test::read_bytes((fs::path(media) / "flag.png").string()), flag);
    EXPECT_EQ(test::read_bytes((fs::path(media) / "FLAG_2.png").string()), flag);
    Picture bmp, png;
    ASSERT_EQ(read_bmp(test::read_bytes(QZ_SOURCE_DIR "/samples/map.bmp"), bmp), nullptr);
    ASSERT_EQ(decode_png(test::read_bytes((fs::path(media) / "map.png").string()), 0xFFFFFF, png), nullptr);
    EXPECT_EQ(png.width(), bmp.width());
    EXPECT_EQ(png.height(), bmp.height());
    EXPECT_EQ(std::distance(fs::directory_iterator(media), fs::directory_iterator()), 3);
}

TEST(MediaExport, OnlyForDelimitedText) {
    EXPECT_EQ(test::run_tool({"export", "--format", "gift", "--media", "m", "x.qzf"}).status, 2);
}

}  // namespace
}  // namespace qz
