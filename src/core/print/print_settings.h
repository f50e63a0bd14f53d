// What printing lays out and how (the "[Print]" section of the settings file).
#pragma once

#include <cstdint>
#include <string>

namespace qz {

enum PrintFlag : int {
    PRINT_TITLES = 0x01,
    PRINT_QUESTIONS = 0x02,
    PRINT_ANSWERS = 0x04,
    PRINT_TITLE_NUMBERS = 0x10,
    PRINT_QUESTION_NUMBERS = 0x20,
    PRINT_ANSWER_NUMBERS = 0x40,
    PRINT_BACKGROUNDS = 0x80,
};

// Pen styles as Windows numbers them.
enum PenStyleValue : int { PEN_SOLID = 0, PEN_DASH = 1, PEN_DOT = 2, PEN_NULL = 5 };

enum class CutLines { none = 0, solid = 1, dotted = 2 };

// The card layout of the page setup ("印刷形式" カード), kept beside the
// list's settings.
struct CardSettings {
    int columns = 2;              // 1-4
    int rows = 5;                 // 1-8
    int margin = 40;              // inside each card, 0.1 mm
    CutLines cut_lines = CutLines::dotted;
    bool mirror_backs = true;     // for printing on both sides
    bool corner = true;           // title and question number in a corner
    bool all_alternatives = false;  // the back: every alternative, not the numbered one
};

// What a print job prints: the list of titles and questions, or cards.
enum PrintForm : int { PRINT_FORM_LIST = 0, PRINT_FORM_CARDS = 1 };

// Named as Preferences are: a key of the settings file spelt as the key;
// `cards` is a group of keys; the rest is not saved.
struct PrintSettings {
    int PrintFlags = PRINT_TITLES | PRINT_QUESTIONS | PRINT_ANSWERS | PRINT_QUESTION_NUMBERS;
    int TitlePosition = 0;   // 0 left, 1 centre, 2 right
    int AnswerPosition = 0;
    std::string NumTitle = "%t ";
    std::string NumQuestion = "(%q) ";
    int QuestionRate = 50;   // percent, 0-100
    int ItemPosition = 0;    // 1: answers left of their questions
    int LineSpace = 3;       // points, 0-999
    int QTStyle = PEN_SOLID;
    int QQStyle = PEN_DOT;
    int QAStyle = PEN_SOLID;
    std::uint32_t QTColor = 0;
    std::uint32_t QQColor = 0;
    std::uint32_t QAColor = 0;
    int Form = PRINT_FORM_LIST;
    CardSettings cards;
    bool selected_only = false;  // cards of the selected questions only; not saved
    int copies = 0;          // of the current print job; not saved
};

}  // namespace qz
