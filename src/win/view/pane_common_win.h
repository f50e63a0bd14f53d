// What every editing pane shares: the pane kinds, field helpers, the
// common reactions of fields and lists, fonts and colours.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/card_document.h"
#include "core/syntax/fields.h"
#include "core/syntax/font_spec.h"
#include "resources/pane_ids.h"

namespace qz {

// Controls every pane has.

// The line a pane is filled from or composed for, with the charsets of the
// fonts in effect there (which decide how its fields are escaped).
struct PaneLine {
    const CardDocument& doc;
    const DataLine& line;
    FieldCharsets charsets;
};

// One kind of pane: its dialog and what it does with a line.
struct PaneKind {
    int resource;
    DLGPROC procedure;
    // Empties the fields that filling sets (when the pane is reused).
    void (*clear)(HWND pane);
    // Sets the fields from the line.
    void (*fill)(HWND pane, const PaneLine& line);
    // The line's new text from the fields (comment included); nothing when
    // the pane cannot compose this line.
    std::optional<std::string> (*compose)(HWND pane, const PaneLine& line);
    // Puts the pane's fonts on its controls.
    void (*apply_fonts)(HWND pane);
};

extern const PaneKind kTitlePane;
extern const PaneKind kQuestionPane;
extern const PaneKind kFontPane;
extern const PaneKind kGroupPane;
extern const PaneKind kMessagePane;
extern const PaneKind kTimeLimitPane;

// ---- Fonts and brushes (valid from main window creation to shutdown).
enum PaneFont { FONT_TITLE, FONT_QUESTION, FONT_ANSWER, FONT_COMMENT, FONT_COUNT };
// The line font when "use the data file's settings" is on and it exists,
// else the default pane font.
HFONT pane_font(PaneFont which);
HFONT pane_control_font();
// Background brush of the title, question, answer or comment fields.
HBRUSH pane_brush(PaneFont which);
void set_control_font(HWND pane, int id, HFONT font);

// Colours an edit control from the font record of `which`
// (WM_CTLCOLOREDIT); returns the brush to hand back.
INT_PTR color_edit(HDC dc, PaneFont which);

// Control height unit of a pane: |tmHeight| of the control's font + 4.
int cell_height(HWND pane, int id);

// Moves the controls to their places (repainting or not); `controls` gives
// the control id of each of the pane's layout slots.
struct Placed;
void place_controls(HWND pane, const std::vector<Placed>& placed, std::span<const int> controls, bool repaint);

// ---- Field text.
std::string control_text(HWND pane, int id);
void set_control_text(HWND pane, int id, const std::string& text);
// The stored (escaped) comment of a line: `length` bytes at `start`; empty
// for none (null start or a length below 1).
std::string_view comment_span(const char* start, int length);
// Fills the comment field with a stored comment, unescaped.
void set_comment_field(HWND pane, std::string_view stored, unsigned charset);
// The comment part of the composed line: the stored comment while the field
// still shows it, else what the field holds, escaped ("" when empty).
std::string composed_comment(HWND pane, std::string_view stored, unsigned charset);

// ---- Reactions.
// Input-method modes.
inline constexpr int kImeLeave = 0;
inline constexpr int kImeOpen = 1;
inline constexpr int kImeClose = 2;
// EN_SETFOCUS, EN_KILLFOCUS and EN_CHANGE of an edit field; false for other
// notifications.
bool field_notification(HWND pane, int code, HWND control, int ime_mode);
// CBN_SELCHANGE, CBN_SETFOCUS and CBN_KILLFOCUS of a list.
bool combo_notification(int code);
// A button or the history strip changed something: the model's pending
// edit, which leaving the field commits (both kept by the pane host).
void mark_pane_changed();
// Writes the pane's fields back into the current line; true when its text
// was replaced.
bool commit_pane();
// The current line as the pane would commit it now, without committing;
// none while the pane holds no pending edit.
std::optional<std::string> pending_pane_text();
// The input-method mode of the title, question, answer and comment fields.
int ime_mode_for(PaneFont which);

// Makes Tab leaving the comment field, and Shift+Tab leaving the pane's
// first field, go back to the line list.
void subclass_pane_ends(HWND pane, int first_id);

// What a pane's dialog procedure does beyond what every pane does.
struct PaneBehaviour {
    // Shift+Tab leaving it (and Tab leaving the comment) returns to the list.
    int first_field;
    // At WM_INITDIALOG, after the ends are subclassed; may be null.
    void (*init)(HWND pane);
    // At WM_SIZE.
    void (*layout)(HWND pane, int width, int height);
    // WM_COMMAND from a control; TRUE when handled.
    INT_PTR (*command)(HWND pane, int id, int code, HWND control);
    // The font whose colours an edit control takes (WM_CTLCOLOREDIT), or -1
    // for the system colours; may be null.
    int (*edit_colors)(int id);
    // A separator bar of the pane was dragged to `position`; may be null.
    void (*separator_moved)(HWND pane, int id, int position);
};

// The dialog procedure of a pane with that behaviour.
INT_PTR pane_procedure(const PaneBehaviour& behaviour, HWND pane, UINT msg, WPARAM wparam,
                       LPARAM lparam);

}  // namespace qz
