// Placeholder until the pane is written.
#include "panes/pane_common.h"
#include "resources/resource.h"

namespace qz {
namespace {
void clear(HWND) {}
void fill(HWND, const PaneLine&) {}
std::optional<std::string> compose(HWND, const PaneLine&) { return std::nullopt; }
void apply_fonts(HWND) {}
INT_PTR CALLBACK procedure(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace
const PaneKind kFontPane = {IDD_PANE_FONT, procedure, clear, fill, compose, apply_fonts};
}  // namespace qz
