#include "tool/pictures_command.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace qz::tool {
namespace {

void write(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

TEST(QzotoolPictures, EachReferenceWithItsState) {
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "qzotool_pictures";
    std::filesystem::create_directories(dir / "img");
    std::filesystem::copy_file(QZ_SOURCE_DIR "/samples/flag.png", dir / "img" / "flag.png",
                               std::filesystem::copy_options::overwrite_existing);
    write(dir / "broken.bmp", "BM");
    write(dir / "a.qzf", "QUIZODATA V1.4\r\n#t,011100\r\n"
                         "q\\i\"img\\flag.png\",a\\i\"gone.PNG\",Z50\r\n"
                         "'\\i\"comment.bmp\"\r\n"
                         "\\i\"x.gif\"\\i\"broken.bmp\",a,Z50\r\n");
    const std::string file = (dir / "a.qzf").string(), folder = dir.string() + "/";
    std::ostringstream out, err;
    EXPECT_EQ(run_pictures({file}, out, err), 1);
    EXPECT_EQ(out.str(), "3\t\\i\"img\\flag.png\"\t" + folder + "img\\flag.png\tok 48x32\n"
                         "3\t\\i\"gone.PNG\"\t" + folder + "gone.PNG\tmissing\n"
                         "5\t\\i\"x.gif\"\t" + folder + "x.gif\tnot a picture\n"
                         "5\t\\i\"broken.bmp\"\t" + folder + "broken.bmp\tunreadable: "
                         "\xE3\x83\x93\xE3\x83\x83\xE3\x83\x88\xE3\x83\x9E\xE3\x83\x83\xE3\x83\x97\xE3\x81\xAE"
                         "\xE3\x83\x98\xE3\x83\x83\xE3\x83\x80\xE3\x83\xBC\xE3\x81\x8C\xE6\xAD\xA3\xE3\x81\x97"
                         "\xE3\x81\x8F\xE3\x81\x82\xE3\x82\x8A\xE3\x81\xBE\xE3\x81\x9B\xE3\x82\x93\xE3\x80\x82\n");
    std::ostringstream sample_out;
    EXPECT_EQ(run_pictures({QZ_SOURCE_DIR "/samples/sample.qzf"}, sample_out, err), 0);
}

}  // namespace
}  // namespace qz::tool
