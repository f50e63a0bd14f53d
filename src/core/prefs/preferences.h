// The user's preferences, kept in the settings file "QZOEDIT.INI".
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/syntax/font_spec.h"

namespace qz {

inline constexpr int kUseDefaultPosition = static_cast<int>(0x80000000u);  // CW_USEDEFAULT
inline constexpr int kMaxRecentFiles = 5;

enum PreferenceFlag : std::uint8_t {
    SHOW_TOOLBAR = 0x01,
    SHOW_STATUS_BAR = 0x02,
};

// Input-method modes of a field.
enum ImeMode : std::uint8_t { IME_LEAVE = 0, IME_OPEN = 1, IME_CLOSE = 2 };

// Search conditions (one byte).
enum SearchCondition : unsigned {
    SEARCH_IGNORE_CASE = 0x01,
    SEARCH_IGNORE_WIDTH = 0x02,
    SEARCH_IGNORE_KANA = 0x04,
    SEARCH_TITLE = 0x10,
    SEARCH_QUESTION = 0x20,
    SEARCH_ANSWER = 0x40,
    SEARCH_COMMENT = 0x80,
};
inline constexpr unsigned kDefaultSearchConditions = 0xF7;

// One naming rule here and in PrintSettings: a member spelt like a key of
// the settings file (Width, RecoveryInterval, ...) is that key; a member in
// snake_case is not one key: a group of keys (recent_files) or nothing saved
// (marked "never saved").
struct Preferences {
    int Left = kUseDefaultPosition;
    int Top = kUseDefaultPosition;
    int Width = 560;
    int Height = 450;
    int ListWidth = 200;
    int AnswerTop = 180;
    int HistoryTop = 240;
    int MessageHeight = 180;
    int ListColumnLine = 38;
    int ListColumnType = 70;
    int ListColumnData = 180;
    // Most recent first, at most kMaxRecentFiles.
    std::vector<std::string> recent_files;
    std::uint8_t Show = 0;
    std::uint8_t Flags = SHOW_TOOLBAR | SHOW_STATUS_BAR;
    std::uint8_t UseDataSettings = 1;
    std::uint8_t IMETitle = IME_LEAVE;
    std::uint8_t IMEQuestion = IME_LEAVE;
    std::uint8_t IMEAnswer = IME_LEAVE;
    std::uint8_t IMEComment = IME_LEAVE;
    // Seconds between writes of the recovery file (0: none).
    int RecoveryInterval = 30;
    // The export dialog's last format (an ExchangeFormat, 0-3) and encoding
    // (a TextEncoding the dialog offers, 0-2).
    std::uint8_t ExportFormat = 0;
    std::uint8_t ExportEncoding = 0;
    unsigned search_conditions = kDefaultSearchConditions;  // never saved
    FontSpec pane_control_font;                              // never saved
    FontSpec Title;
    FontSpec Question;
    FontSpec hint_font;                                      // never saved
    FontSpec Answer;
    FontSpec Comment;
    FontSpec NumTitle;
    FontSpec NumQuestion;
};

// The face name of every default font: "ＭＳ Ｐゴシック".
extern const char* const kDefaultFaceName;

// Sets every field to its default.
void fill_default_preferences(Preferences& prefs);

}  // namespace qz
