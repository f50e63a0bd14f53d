#include "win/base/report_list_win.h"


#include "core/exchange/wide_text.h"
#include "win/base/wide_win.h"

namespace qz {
namespace {

// A row's text converted straight into the list's buffer, with nothing
// allocated for the row.
void copy_truncated(wchar_t* dest, int size, const char* text) {
    static_assert(sizeof(wchar_t) == sizeof(char16_t));
    cp932_to_utf16(text, reinterpret_cast<char16_t*>(dest), static_cast<std::size_t>(size));
}

template <typename DispInfo>
void fill_text(const ReportList::TextOf& text_of, const NMHDR& header) {
    auto& item = reinterpret_cast<DispInfo*>(const_cast<NMHDR*>(&header))->item;
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0 && item.iItem >= 0) {
        const char* text = text_of ? text_of(item.iItem, item.iSubItem) : "";
        copy_truncated(item.pszText, item.cchTextMax, text ? text : "");
    }
}

}  // namespace

ReportList::ReportList(HWND list, TextOf text, SortBy sort, Activate activate)
    : list_(list), text_(std::move(text)), sort_(std::move(sort)), activate_(std::move(activate)) {
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
}

void ReportList::add_columns(std::span<const ReportColumn> columns, HWND dialog) const {
    int index = 0;
    for (const ReportColumn& c : columns) {
        RECT width{0, 0, c.width, 0};
        if (dialog) MapDialogRect(dialog, &width);
        std::wstring caption = wide(c.caption);
        LVCOLUMNW column{};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        column.fmt = LVCFMT_LEFT;
        column.cx = width.right;
        column.pszText = caption.data();
        column.iSubItem = index;
        SendMessageW(list_, LVM_INSERTCOLUMNW, index, reinterpret_cast<LPARAM>(&column));
        ++index;
    }
}

void ReportList::set_row_count(int rows, LPARAM flags) const {
    SendMessageW(list_, LVM_SETITEMCOUNT, static_cast<WPARAM>(rows), flags);
    InvalidateRect(list_, nullptr, TRUE);
}

void ReportList::set_row_state(int row, UINT state) const {
    LVITEMW item{};
    item.state = state;
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int ReportList::focused_row() const {
    return static_cast<int>(SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
}

INT_PTR ReportList::dialog_notify(HWND dialog, LPARAM lparam) {
    LRESULT result = 0;
    if (!notify(*reinterpret_cast<const NMHDR*>(lparam), result)) return FALSE;
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, result);
    return TRUE;
}

void ReportList::activate_focused() const {
    if (list_ && activate_ && GetFocus() == list_) activate_(focused_row());
}

bool ReportList::notify(const NMHDR& header, LRESULT& result) {
    if (!list_ || header.hwndFrom != list_) return false;
    result = 0;
    switch (header.code) {
        // The list gives its own buffer to fill; it asks in UTF-16, since
        // every parent is a Unicode window or answers WM_NOTIFYFORMAT so.
        case LVN_GETDISPINFOW: fill_text<NMLVDISPINFOW>(text_, header); return true;
        case LVN_COLUMNCLICK: {
            if (!sort_) return true;
            const int column = reinterpret_cast<const NMLISTVIEW&>(header).iSubItem;
            descending_ = column == sort_column_ && !descending_;
            sort_column_ = column;
            sort_(column, descending_);
            InvalidateRect(list_, nullptr, TRUE);
            return true;
        }
        case LVN_ITEMACTIVATE:
            if (activate_) activate_(reinterpret_cast<const NMITEMACTIVATE&>(header).iItem);
            return true;
    }
    return false;
}

}  // namespace qz
