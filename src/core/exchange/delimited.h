// Delimited text (.txt, .tsv, .csv): one card a row, fields separated by a
// tab, a comma or a semicolon, quoted as RFC 4180 says ("…", an inner quote
// doubled, line breaks inside quotes), with the header lines of the usual
// card-tool text import at the top:
//   #separator:Tab   #html:false   #columns:Front<TAB>Back<TAB>…
//   #tags column:3   #deck column:4
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "core/exchange/exchange.h"

namespace qz {

// What a column of a row holds.
enum class ColumnRole {
    ignore,
    question,
    answer,
    tags,            // group names as tags, separated by spaces
    title,           // the title (the deck column)
    title_settings,  // the title line's choice count and flags, "400000",
                     // then optionally "'" and the title's comment
    history,         // "○×○○×" or 0-31
    group,           // group number 0-9
    answer_number,   // 0-9
    comment,
};
inline constexpr int kColumnRoles = 10;

// The role a name given on the command line or in a header stands for: the
// dialog's label, the export's column name or a known name ("question",
// "答え", ...); "ignore" and "-" for none. False for none of those.
bool column_role_from_name(std::string_view name, ColumnRole* role);

// The role as the import dialog lists it: "（読み込まない）", "問題", "答え",
// "タグ（グループ名）", "タイトル", "タイトルの設定", "正誤履歴", "グループ番号",
// "解答番号", "コメント".
const char* column_role_label(ColumnRole role);

// The column names an export writes (and an import recognises, besides
// Japanese names such as "問題" and "答え"): "Front", "Back", "Tags", "Deck",
// "Title settings", "History", "Group", "Answer number", "Comment".
const char* column_role_name(ColumnRole role);

// How a file is read: what detect_delimited found, changed by the user.
struct DelimitedLayout {
    TextEncoding encoding = TextEncoding::utf8;
    char separator = '\t';
    bool separator_from_header = false;
    // Fields are HTML (#html:true): <br> is a line break, <img src="x"> a
    // picture reference, entities are undone and other tags dropped.
    bool html = false;
    // Header lines at the top ("#key:value"), skipped when reading.
    int header_lines = 0;
    // The first row after the header names the columns (#columns or a row
    // of known names); it is not read as a card.
    bool names_row = false;
    // The names of the columns when known (UTF-8), else empty.
    std::vector<std::string> names;
    // One role per column of the widest of the first rows.
    std::vector<ColumnRole> columns;
    // Per column: no name, header line or user gave it its role (detection
    // left it without one). Reading tells of such a column left out that
    // holds values.
    std::vector<bool> unassigned;
    // The header is the one write_delimited writes: the file is this
    // program's export.
    bool own_export = false;
    // Answers are answer syntax ("[a|b]c(d)"), as this program's export
    // writes them; else plain text, read with the marks escaped.
    bool answer_syntax = false;
};

// What the user chose in place of detection (a null member: detect it).
struct DelimitedChoice {
    const TextEncoding* encoding = nullptr;
    const char* separator = nullptr;
    const bool* names_row = nullptr;
    const bool* answer_syntax = nullptr;
    // The roles of the first columns (the rest none and unassigned).
    const std::vector<ColumnRole>* columns = nullptr;
};

// The layout of a file: the encoding (a byte-order mark, else UTF-8 when
// every byte reads as such, else code page 932), the header lines, the
// separator (the header's, else from the first data row: tab when it holds
// one, else the more frequent of ',' and ';'), whether the first row names
// the columns (a known name, else names as a person tells them from data:
// no number or empty cell among them, none repeated below, and a column of
// numbers under a name or no row below of their shape), and a role per
// column (by name, by #tags/#deck column, else question and answer for the
// first two; the others none). Answers are answer syntax in this program's
// export only.
DelimitedLayout detect_delimited(std::string_view bytes, const DelimitedChoice& choice = {});
// The same for bytes already decoded (decode_text) from `encoding`, which
// is the layout's (the choice's encoding is not looked at).
DelimitedLayout detect_delimited(const DecodedText& decoded, TextEncoding encoding,
                                 const DelimitedChoice& choice = {});

// The cards of the rows. A row with fields past the mapped columns that are
// not empty, a row without the question's column, an unterminated quote, a
// field too long, bytes the encoding does not read, a byte-order mark
// inside the text, a bad number: the row is refused with its line number
// and the reason. Wholly empty rows are skipped. Tags are read as group
// names (`groups`, ' ' and '_' alike; also "1"-"9") where there is no group
// column. Several comment columns are joined with " / ". An unassigned
// column that holds values gets one notice (row 0) and counts in
// ImportResult::unread_columns. In HTML mode a line break in a field is
// one, as <br> is.
ImportResult read_delimited(std::string_view bytes, const DelimitedLayout& layout,
                            const GroupNames& groups);
// The same for bytes already decoded from the layout's encoding.
ImportResult read_delimited(const DecodedText& decoded, const DelimitedLayout& layout,
                            const GroupNames& groups);

// The rows that read_delimited would read, as UTF-8 fields, for a preview
// of the raw file (at most `limit` rows after the header and names).
std::vector<std::vector<std::string>> delimited_rows(std::string_view bytes,
                                                     const DelimitedLayout& layout, int limit);

// The cards as a delimited file with every column, tab-separated for tsv
// and comma-separated for csv, CRLF line ends, with the header lines so
// that the file imports back, and into other card tools, with no set-up.
// Picture references are written as <img src="…"> and the file says
// #html:true when a card holds one.
ExportResult write_delimited(const std::vector<ExchangeCard>& cards, ExchangeFormat format,
                             const ExportOptions& options);

}  // namespace qz
