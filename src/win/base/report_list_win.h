// A thin wrapper over a report-style list view whose rows its owner keeps
// (LVS_OWNERDATA, or items asked for their texts): the columns, the row
// count, each cell's text asked for when it is drawn, sorting by the
// column clicked (again: the other way round) and a row activated by a
// double-click or Enter.
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <functional>
#include <span>
#include <string>

namespace qz {

struct ReportColumn {
    const char* caption;
    int width;  // pixels, or dialog units with add_columns' dialog
};

class ReportList {
public:
    // The text of a cell, valid until the next call; "" for none.
    using TextOf = std::function<const char*(int row, int column)>;
    // Sorts the rows by `column` (descending: the other way round).
    using SortBy = std::function<void(int column, bool descending)>;
    using Activate = std::function<void(int row)>;

    ReportList() = default;
    // The list control, full-row selection, and the owner's texts; sort
    // and activate may be empty (a column click or activation then does
    // nothing).
    ReportList(HWND list, TextOf text, SortBy sort = {}, Activate activate = {});

    HWND hwnd() const { return list_; }
    // Adds the columns; widths in dialog units of `dialog` when it is given.
    void add_columns(std::span<const ReportColumn> columns, HWND dialog = nullptr) const;
    // The number of rows, drawn anew; `flags` of LVM_SETITEMCOUNT (by
    // default the scroll position stays).
    void set_row_count(int rows, LPARAM flags = LVSICF_NOSCROLL) const;
    // Sets the selected and focused state of a row (-1: of every row).
    void set_row_state(int row, UINT state) const;
    int focused_row() const;
    int sort_column() const { return sort_column_; }
    bool descending() const { return descending_; }

    // The list's WM_NOTIFY: texts, column clicks and activation; true when
    // it was one of those (`result` then holds the answer).
    bool notify(const NMHDR& header, LRESULT& result);
    // The same for a dialog procedure's WM_NOTIFY: TRUE, with the answer
    // set as the dialog's result, when it was the list's.
    INT_PTR dialog_notify(HWND dialog, LPARAM lparam);
    // Enter in the dialog (IDOK): activates the focused row when the list
    // has the focus.
    void activate_focused() const;

private:
    HWND list_ = nullptr;
    TextOf text_;
    SortBy sort_;
    Activate activate_;
    int sort_column_ = 0;
    bool descending_ = false;
};

}  // namespace qz
