// Arbitrary bytes as the settings file: reading must keep every field in its
// range, and the file written from what was read must be a fixed point of
// reading and writing again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "prefs/settings_file.h"

namespace {

void check(bool condition) {
    if (!condition) std::abort();
}

void check_ranges(const qz::Preferences& prefs, const qz::PrintSettings& print) {
    for (std::uint8_t ime :
         {prefs.IMETitle, prefs.IMEQuestion, prefs.IMEAnswer, prefs.IMEComment}) {
        check(ime <= qz::IME_CLOSE);
    }
    check(print.QuestionRate >= 0 && print.QuestionRate <= 100);
    check(print.ItemPosition >= 0 && print.ItemPosition <= 1);
    check(print.LineSpace >= 0 && print.LineSpace <= 999);
    for (const qz::FontSpec* font : {&prefs.Title, &prefs.Question, &prefs.Answer, &prefs.Comment,
                                     &prefs.NumTitle, &prefs.NumQuestion}) {
        check(font->face.size() <= qz::kMaxFaceName);
    }
    check(prefs.recent_files.size() <= static_cast<std::size_t>(qz::kMaxRecentFiles));
    for (const std::string& path : prefs.recent_files)
        check(path.size() <= qz::kMaxRecentPath);
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
    check(second == first);
    return 0;
}
