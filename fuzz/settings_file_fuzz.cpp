// Arbitrary bytes as the settings file: reading must keep every field in its
// range, and the file written from what was read must be a fixed point of
// reading and writing again.
#include "core/prefs/settings_file.h"
#include "fuzz_require.h"

namespace {

void check_ranges(const qz::Preferences& prefs, const qz::PrintSettings& print) {
    for (std::uint8_t ime :
         {prefs.IMETitle, prefs.IMEQuestion, prefs.IMEAnswer, prefs.IMEComment}) {
        require(ime <= qz::IME_CLOSE);
    }
    require(print.QuestionRate >= 0 && print.QuestionRate <= 100);
    require(print.ItemPosition >= 0 && print.ItemPosition <= 1);
    require(print.LineSpace >= 0 && print.LineSpace <= 999);
    for (const qz::FontSpec* font : {&prefs.Title, &prefs.Question, &prefs.Answer, &prefs.Comment,
                                     &prefs.NumTitle, &prefs.NumQuestion}) {
        require(font->face.size() <= qz::kMaxFaceName);
    }
    require(prefs.recent_files.size() <= static_cast<std::size_t>(qz::kMaxRecentFiles));
    for (const std::string& path : prefs.recent_files)
        require(path.size() <= qz::kMaxRecentPath);
}

std::string read_then_write(std::string bytes) {
    qz::Preferences prefs;
    qz::fill_default_preferences(prefs);
    qz::PrintSettings print;
    qz::read_settings_text(std::move(bytes), prefs, print);
    check_ranges(prefs, print);
    return qz::write_settings_text(prefs, print);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string first =
        read_then_write(std::string(reinterpret_cast<const char*>(data), size));
    const std::string second = read_then_write(first);
    require(second == first);
    return 0;
}
