#include "win/operations/import_dialog_win.h"

#include <commctrl.h>
#include <shlwapi.h>

#include <algorithm>
#include <iterator>
#include <set>

#include "core/exchange/exchange_io.h"
#include "core/syntax/fields.h"
#include "core/syntax/scan.h"
#include "resources/import_ids.h"
#include "resources/resource.h"
#include "win/base/app_state_win.h"
#include "win/base/guarded_win.h"
#include "win/base/help_win.h"
#include "win/base/message_box_win.h"
#include "win/base/report_list_win.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

// The preview shows the first lines only: enough to see the mapping.
constexpr int kPreviewLines = 200;
// A cell shows at most this many bytes of its text.
constexpr std::size_t kShownBytes = 255;

constexpr TextEncoding kEncodings[] = {TextEncoding::utf8, TextEncoding::utf8_bom, TextEncoding::cp932,
                                       TextEncoding::utf16le, TextEncoding::utf16be};
constexpr struct {
    char separator;
    const char* label;
} kSeparators[] = {{'\t', "タブ"}, {',', "コンマ"}, {';', "セミコロン"}};

using Column = ReportColumn;  // widths in dialog units
constexpr Column kColumnColumns[] = {{"列", 22}, {"名前", 140}, {"読み込む内容", 86}};
constexpr Column kPreviewColumns[] = {{"種類", 36}, {"問題", 150}, {"答え", 120}, {"グループ", 62}};
constexpr Column kProblemColumns[] = {{"行", 30}, {"列", 24}, {"内容", 314}};

using Row = std::vector<std::string>;

bool is_delimited(ExchangeFormat format) {
    return format == ExchangeFormat::tsv || format == ExchangeFormat::csv;
}

// A text as one cell: control characters (line breaks) as spaces, cut at a
// character boundary.
std::string cell(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size() && out.size() < kShownBytes; ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        const bool lead = (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
        if (lead) {
            if (i + 1 >= text.size() || out.size() + 2 > kShownBytes) break;
            out += text[i];
            out += text[++i];
        } else {
            out += c < 0x20 ? ' ' : text[i];
        }
    }
    return out;
}

// The dialog's state: the user's picks, what reading with them gave and the
// rows the three lists show.
struct ImportDialog {
    explicit ImportDialog(const ImportDialogRequest& r) : request(r) {}
    const ImportDialogRequest& request;
    ExchangeFormat format = ExchangeFormat::tsv;
    // Picked by the user; detected while none.
    std::optional<TextEncoding> encoding;
    std::optional<char> separator;
    std::optional<bool> names_row;
    std::optional<bool> answer_syntax;
    DelimitedLayout layout;
    // What reading gave.
    std::vector<DataLine> lines;
    std::vector<ImportProblem> problems;
    std::string failure;
    int cards = 0;
    int titles = 0;
    // The rows of the lists.
    std::vector<Row> columns, preview, problem_rows;
    ReportList lists[3];
    int column = -1;  // the column whose role the combo box shows
    std::optional<std::vector<DataLine>> answer;
};

ImportDialog* state_of(HWND dialog) {
    return reinterpret_cast<ImportDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
}

// The title of Aiken questions: the file's name without folder and extension.
std::string file_title(const std::string& path) {
    const std::wstring full = wide_path(path);
    std::wstring name = PathFindFileNameW(full.c_str());
    name.resize(static_cast<std::size_t>(PathFindExtensionW(name.c_str()) - name.c_str()));
    return narrow(name);
}

int refused_rows(const std::vector<ImportProblem>& problems) {
    std::set<int> rows;
    int whole = 0;
    for (const ImportProblem& p : problems) {
        if (p.kind != ImportProblem::refused) continue;
        if (p.row > 0)
            rows.insert(p.row);
        else
            ++whole;
    }
    return static_cast<int>(rows.size()) + whole;
}

// The columns (from 0) that hold values no role takes: reading tells each
// once, for the whole file (row 0).
std::vector<std::size_t> unread_columns(const ImportDialog& d) {
    std::vector<std::size_t> out;
    for (const ImportProblem& p : d.problems) {
        const std::size_t c = static_cast<std::size_t>(p.column - 1);
        if (p.kind == ImportProblem::notice && p.row == 0 && p.column > 0 && c < d.layout.columns.size() &&
            d.layout.columns[c] == ColumnRole::ignore)
            out.push_back(c);
    }
    return out;
}

int count_of(const std::vector<ImportProblem>& problems, ImportProblem::Kind kind) {
    return static_cast<int>(std::count_if(problems.begin(), problems.end(),
                                          [kind](const ImportProblem& p) { return p.kind == kind; }));
}

// The column list: number, name (or the first row's text) and role.
void fill_columns(ImportDialog& d) {
    d.columns.clear();
    if (!is_delimited(d.format)) return;
    const std::vector<Row> first = d.layout.names.empty() ? delimited_rows(d.request.bytes, d.layout, 1)
                                                          : std::vector<Row>{};
    for (std::size_t i = 0; i < d.layout.columns.size(); ++i) {
        std::string name;
        if (i < d.layout.names.size())
            name = cell(utf8_to_cp932(d.layout.names[i]));
        else if (!first.empty() && i < first.front().size() && !first.front()[i].empty())
            name = "例：" + cell(utf8_to_cp932(first.front()[i]));
        d.columns.push_back({format_decimal(static_cast<int>(i) + 1), std::move(name),
                             column_role_label(d.layout.columns[i])});
    }
}

void fill_preview(ImportDialog& d) {
    d.preview.clear();
    const FieldCharsets charsets;
    for (const DataLine& line : d.lines) {
        if (static_cast<int>(d.preview.size()) >= kPreviewLines) break;
        if (line.kind() == LINE_TITLE) {
            const TitleFields title = title_display_fields(line.c_str(), charsets, d.request.version);
            d.preview.push_back({"タイトル", cell(title.title), "", ""});
        } else {
            const QuestionFields q = question_display_fields(line.c_str(), charsets, d.request.version);
            const std::string group =
                q.group >= 0 && q.group < 10 ? cell(d.request.groups[static_cast<std::size_t>(q.group)]) : "";
            d.preview.push_back({"問題", cell(q.question), cell(q.answer), group});
        }
    }
}

void fill_problems(ImportDialog& d) {
    d.problem_rows.clear();
    d.problem_rows.reserve(d.problems.size());
    for (const ImportProblem& p : d.problems) {
        std::string text = p.kind == ImportProblem::refused ? "読み込まない：" + p.reason : p.reason;
        d.problem_rows.push_back({p.row > 0 ? format_decimal(p.row) : "",
                                  p.column > 0 ? format_decimal(p.column) : "", cell(text)});
    }
}

// Reads the file with the picks (detecting the layout again first when
// `detect`) and makes the rows anew.
void reload(ImportDialog& d, bool detect) {
    const bool delimited = is_delimited(d.format);
    if (delimited && detect) {
        DelimitedChoice choice;
        if (d.encoding) choice.encoding = &*d.encoding;
        if (d.separator) choice.separator = &*d.separator;
        if (d.names_row) choice.names_row = &*d.names_row;
        if (d.answer_syntax) choice.answer_syntax = &*d.answer_syntax;
        d.layout = detect_delimited(d.request.bytes, choice);
        d.column = d.layout.columns.empty() ? -1 : 0;
    }
    ImportRequest request;
    request.format = d.format;
    if (delimited) request.layout = &d.layout;
    if (d.encoding) request.encoding = &*d.encoding;
    request.title = file_title(d.request.file_name);
    request.groups = d.request.groups;
    ImportResult result = import_cards(d.request.bytes, request);
    d.failure = result.failure;
    d.problems = std::move(result.problems);
    d.lines = lines_from_cards(result.cards, d.request.version, &d.problems);
    // The cards lines_from_cards refused come last: in file order with the rest.
    std::stable_sort(d.problems.begin(), d.problems.end(),
                     [](const ImportProblem& a, const ImportProblem& b) { return a.row < b.row; });
    d.titles = static_cast<int>(std::count_if(d.lines.begin(), d.lines.end(),
                                              [](const DataLine& l) { return l.kind() == LINE_TITLE; }));
    d.cards = static_cast<int>(d.lines.size()) - d.titles;
    if (!delimited) d.column = -1;
    fill_columns(d);
    fill_preview(d);
    fill_problems(d);
}

std::string summary(const ImportDialog& d) {
    if (!d.failure.empty()) return d.failure;
    std::string text = d.cards > 0 ? "カード " + format_decimal(d.cards) + " 枚（タイトル " +
                                         format_decimal(d.titles) + " 行）を読み込みます。"
                                   : std::string("読み込めるカードがありません。");
    std::string counts;
    auto add = [&](const char* what, int n) {
        if (n <= 0) return;
        if (!counts.empty()) counts += "、";
        counts += what;
        counts += ' ';
        counts += format_decimal(n);
    };
    add("読み込めない行", refused_rows(d.problems));
    add("置き換える文字", count_of(d.problems, ImportProblem::substituted));
    add("注意", count_of(d.problems, ImportProblem::notice));
    return text + counts;
}

HWND item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

void select_combo(HWND dialog, int id, int index) {
    SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

int combo_selection(HWND dialog, int id) {
    return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void show_rows(HWND list, std::size_t count) {
    SendMessageW(list, LVM_SETITEMCOUNT, count, LVSICF_NOSCROLL);
    InvalidateRect(list, nullptr, TRUE);
}

void show_role(HWND dialog, const ImportDialog& d) {
    const bool chosen = d.column >= 0 && d.column < static_cast<int>(d.layout.columns.size());
    EnableWindow(item(dialog, IDC_IMPORT_ROLE), chosen);
    EnableWindow(item(dialog, IDC_IMPORT_ROLE_LABEL), chosen);
    select_combo(dialog, IDC_IMPORT_ROLE,
                 chosen ? static_cast<int>(d.layout.columns[static_cast<std::size_t>(d.column)]) : -1);
}

// Puts the state into the controls.
void show(HWND dialog, ImportDialog& d) {
    const bool delimited = is_delimited(d.format);
    select_combo(dialog, IDC_IMPORT_FORMAT, static_cast<int>(d.format));
    const TextEncoding encoding = d.encoding ? *d.encoding
                                  : delimited ? d.layout.encoding
                                              : detect_encoding(d.request.bytes);
    select_combo(dialog, IDC_IMPORT_ENCODING, static_cast<int>(encoding));
    int separator = -1;
    for (int i = 0; i < static_cast<int>(std::size(kSeparators)); ++i)
        if (delimited && kSeparators[i].separator == d.layout.separator) separator = i;
    select_combo(dialog, IDC_IMPORT_SEPARATOR, separator);
    CheckDlgButton(dialog, IDC_IMPORT_NAMES_ROW, delimited && d.layout.names_row ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_IMPORT_ANSWER_SYNTAX,
                   delimited && d.layout.answer_syntax ? BST_CHECKED : BST_UNCHECKED);
    for (int id : {IDC_IMPORT_SEPARATOR_LABEL, IDC_IMPORT_SEPARATOR, IDC_IMPORT_NAMES_ROW,
                   IDC_IMPORT_ANSWER_SYNTAX, IDC_IMPORT_COLUMNS_LABEL, IDC_IMPORT_COLUMNS})
        EnableWindow(item(dialog, id), delimited);
    EnableWindow(item(dialog, IDC_IMPORT_TO_COMMENT), delimited && !unread_columns(d).empty());

    HWND columns = item(dialog, IDC_IMPORT_COLUMNS);
    show_rows(columns, d.columns.size());
    if (d.column >= 0) {
        LVITEMW state{};
        state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(columns, LVM_SETITEMSTATE, static_cast<WPARAM>(d.column), reinterpret_cast<LPARAM>(&state));
        SendMessageW(columns, LVM_ENSUREVISIBLE, static_cast<WPARAM>(d.column), FALSE);
    }
    show_role(dialog, d);
    show_rows(item(dialog, IDC_IMPORT_PREVIEW), d.preview.size());
    show_rows(item(dialog, IDC_IMPORT_PROBLEMS), d.problem_rows.size());
    set_item_text(dialog, IDC_IMPORT_SUMMARY, summary(d));
}

const Row* row_of(const ImportDialog& d, UINT_PTR list, int index);

// A list of the dialog showing its rows of `d`.
ReportList rows_list(HWND dialog, const ImportDialog& d, int id, std::span<const Column> columns) {
    ReportList list(item(dialog, id), [&d, id](int row, int column) {
        const Row* r = row_of(d, static_cast<UINT_PTR>(id), row);
        return r && static_cast<std::size_t>(column) < r->size() ? (*r)[static_cast<std::size_t>(column)].c_str()
                                                                 : "";
    });
    list.add_columns(columns, dialog);
    return list;
}

void add_strings(HWND dialog, int id, std::initializer_list<const char*> texts) {
    for (const char* text : texts)
        SendDlgItemMessageW(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide(text).c_str()));
}

INT_PTR on_init(HWND dialog, ImportDialog& d) {
    SetWindowLongPtrW(dialog, DWLP_USER, reinterpret_cast<LONG_PTR>(&d));
    center_dialog(dialog);
    SetDlgItemTextW(dialog, IDC_IMPORT_FILE, wide_path(d.request.file_name).c_str());
    for (int f = 0; f < 4; ++f) add_strings(dialog, IDC_IMPORT_FORMAT, {exchange_format_label(static_cast<ExchangeFormat>(f))});
    for (TextEncoding e : kEncodings) add_strings(dialog, IDC_IMPORT_ENCODING, {encoding_name(e)});
    for (const auto& s : kSeparators) add_strings(dialog, IDC_IMPORT_SEPARATOR, {s.label});
    for (int r = 0; r < kColumnRoles; ++r)
        add_strings(dialog, IDC_IMPORT_ROLE, {column_role_label(static_cast<ColumnRole>(r))});
    d.lists[0] = rows_list(dialog, d, IDC_IMPORT_COLUMNS, kColumnColumns);
    d.lists[1] = rows_list(dialog, d, IDC_IMPORT_PREVIEW, kPreviewColumns);
    d.lists[2] = rows_list(dialog, d, IDC_IMPORT_PROBLEMS, kProblemColumns);

    d.format = guess_format(d.request.file_name, d.request.bytes);
    reload(d, true);
    // Tab and comma text read alike but for the separator: the one found
    // names the format.
    if (is_delimited(d.format)) {
        d.format = d.layout.separator == '\t' ? ExchangeFormat::tsv : ExchangeFormat::csv;
    }
    show(dialog, d);
    return TRUE;
}

// A pick changed: the layout is detected again with the picks and the file read again.
void on_pick(HWND dialog, ImportDialog& d, int id) {
    switch (id) {
    case IDC_IMPORT_FORMAT: {
        const int f = combo_selection(dialog, id);
        if (f < 0) return;
        d.format = static_cast<ExchangeFormat>(f);
        // The format names the separator; a semicolon stays comma-separated text.
        if (d.format == ExchangeFormat::tsv) d.separator = '\t';
        if (d.format == ExchangeFormat::csv)
            d.separator = d.separator == ';' || (!d.separator && d.layout.separator == ';') ? ';' : ',';
        break;
    }
    case IDC_IMPORT_ENCODING: {
        const int e = combo_selection(dialog, id);
        if (e < 0) return;
        d.encoding = kEncodings[e];
        break;
    }
    case IDC_IMPORT_SEPARATOR: {
        const int s = combo_selection(dialog, id);
        if (s < 0) return;
        d.separator = kSeparators[s].separator;
        d.format = *d.separator == '\t' ? ExchangeFormat::tsv : ExchangeFormat::csv;
        break;
    }
    case IDC_IMPORT_NAMES_ROW: d.names_row = IsDlgButtonChecked(dialog, id) == BST_CHECKED; break;
    case IDC_IMPORT_ANSWER_SYNTAX: d.answer_syntax = IsDlgButtonChecked(dialog, id) == BST_CHECKED; break;
    }
    reload(d, true);
    show(dialog, d);
}

void on_role(HWND dialog, ImportDialog& d) {
    const int role = combo_selection(dialog, IDC_IMPORT_ROLE);
    if (role < 0 || d.column < 0 || d.column >= static_cast<int>(d.layout.columns.size())) return;
    const std::size_t column = static_cast<std::size_t>(d.column);
    d.layout.columns[column] = static_cast<ColumnRole>(role);
    // The user's role, also "none", is given: reading no longer tells of it.
    if (column < d.layout.unassigned.size()) d.layout.unassigned[column] = false;
    reload(d, false);
    show(dialog, d);
}

// The columns with values no role takes become comments (joined when several).
void on_to_comment(HWND dialog, ImportDialog& d) {
    for (std::size_t c : unread_columns(d)) {
        d.layout.columns[c] = ColumnRole::comment;
        if (c < d.layout.unassigned.size()) d.layout.unassigned[c] = false;
    }
    reload(d, false);
    show(dialog, d);
}

// OK: the cards read, once the user has agreed to what they lose.
void on_ok(HWND dialog, ImportDialog& d) {
    if (d.cards == 0) {
        message_box(dialog, "読み込めるカードがありません。", MB_OK | MB_ICONINFORMATION);
        return;
    }
    if (const int substituted = count_of(d.problems, ImportProblem::substituted)) {
        const std::string question = "Shift-JIS にない文字が " + format_decimal(substituted) +
                                     " 箇所あります。「〓」に置き換えて読み込みますか？";
        if (message_box(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    if (const int refused = refused_rows(d.problems)) {
        const std::string question = "読み込めない行が " + format_decimal(refused) +
                                     " 行あります。読み込めたカード " + format_decimal(d.cards) +
                                     " 枚だけを挿入しますか？";
        if (message_box(dialog, question.c_str(), MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    d.answer = std::move(d.lines);
    EndDialog(dialog, IDOK);
}

const Row* row_of(const ImportDialog& d, UINT_PTR list, int index) {
    const std::vector<Row>* rows = list == IDC_IMPORT_COLUMNS ? &d.columns
                                   : list == IDC_IMPORT_PREVIEW ? &d.preview
                                   : list == IDC_IMPORT_PROBLEMS ? &d.problem_rows
                                                                 : nullptr;
    if (!rows || index < 0 || index >= static_cast<int>(rows->size())) return nullptr;
    return &(*rows)[static_cast<std::size_t>(index)];
}

void on_notify(HWND dialog, ImportDialog& d, NMHDR& header) {
    LRESULT result = 0;
    for (ReportList& list : d.lists)
        if (list.notify(header, result)) return;
    if (header.code == LVN_ITEMCHANGED && header.idFrom == IDC_IMPORT_COLUMNS) {
        const NMLISTVIEW& change = reinterpret_cast<NMLISTVIEW&>(header);
        if (change.iItem >= 0 && (change.uNewState & LVIS_SELECTED) && !(change.uOldState & LVIS_SELECTED)) {
            d.column = change.iItem;
            show_role(dialog, d);
        }
    }
}

INT_PTR procedure(HWND dialog, UINT msg, WPARAM wparam, LPARAM lparam) {
    if (msg == WM_INITDIALOG) return on_init(dialog, *reinterpret_cast<ImportDialog*>(lparam));
    // Controls may speak before the dialog is set up.
    ImportDialog* d = state_of(dialog);
    if (!d) return FALSE;
    switch (msg) {
    case WM_HELP: show_help(dialog, kHelpContext, kTopicImport); return TRUE;
    case WM_NOTIFY: on_notify(dialog, *d, *reinterpret_cast<NMHDR*>(lparam)); return FALSE;
    case WM_COMMAND: {
        const int id = LOWORD(wparam);
        const int code = HIWORD(wparam);
        switch (id) {
        case IDOK: on_ok(dialog, *d); return TRUE;
        case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
        case IDC_HELP_BUTTON: show_help(dialog, kHelpContext, kTopicImport); return TRUE;
        case IDC_IMPORT_FORMAT:
        case IDC_IMPORT_ENCODING:
        case IDC_IMPORT_SEPARATOR:
            if (code == CBN_SELCHANGE) on_pick(dialog, *d, id);
            return TRUE;
        case IDC_IMPORT_NAMES_ROW:
        case IDC_IMPORT_ANSWER_SYNTAX:
            if (code == BN_CLICKED) on_pick(dialog, *d, id);
            return TRUE;
        case IDC_IMPORT_TO_COMMENT:
            if (code == BN_CLICKED) on_to_comment(dialog, *d);
            return TRUE;
        case IDC_IMPORT_ROLE:
            if (code == CBN_SELCHANGE) on_role(dialog, *d);
            return TRUE;
        }
        break;
    }
    }
    return FALSE;
}

}  // namespace

const char* exchange_format_label(ExchangeFormat format) {
    switch (format) {
    case ExchangeFormat::tsv: return "タブ区切りテキスト";
    case ExchangeFormat::csv: return "コンマ区切りテキスト (CSV)";
    case ExchangeFormat::gift: return "Moodle GIFT";
    case ExchangeFormat::aiken: return "Aiken";
    case ExchangeFormat::moodle_xml: return "Moodle XML";
    }
    return "";
}

std::optional<std::vector<DataLine>> ask_import(HWND owner, const ImportDialogRequest& request) {
    ImportDialog d(request);
    if (DialogBoxParamW(app().instance, MAKEINTRESOURCEW(IDD_IMPORT), owner, guarded_dialog_proc<procedure>,
                        reinterpret_cast<LPARAM>(&d)) != IDOK)
        return std::nullopt;
    return std::move(d.answer);
}

}  // namespace qz
