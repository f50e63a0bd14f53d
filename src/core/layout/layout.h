// Window layout arithmetic, kept free of any window so it can be tested
// directly.
#pragma once

namespace qz {

struct Box {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const Box&) const = default;
};

struct Bounds {
    int left = 0, top = 0, right = 0, bottom = 0;
};

// Position of a dialog of the given size centred over its owner's window
// rectangle and kept inside the work area; when the dialog is larger than
// the work area its right and bottom edges win.
Box center_over(int width, int height, Bounds owner, Bounds work_area);

// The main window's saved place, or where and how big it is by default:
// `x` and `y` may be `use_default` (let the system choose the place).
struct WindowPlace {
    int x = 0, y = 0, width = 0, height = 0;
    bool operator==(const WindowPlace&) const = default;
};
inline constexpr int kMinWindowWidth = 200;
inline constexpr int kMinWindowHeight = 150;
// How much of a saved window must lie inside the work area, each way.
inline constexpr int kMinWindowVisible = 40;

// The saved place when it is usable: a size from the minimum up to a few
// times the work area, and a box that keeps at least kMinWindowVisible
// pixels inside the work area each way (a default position only needs the
// size). Anything else gives `fallback`, the default place.
WindowPlace usable_window_place(WindowPlace saved, WindowPlace fallback, int use_default,
                                Bounds work_area);

// Sizes are designed at 96 dots per inch (and kept so in the settings
// file); at another display scale they are scaled to the window's dpi,
// rounded to the nearest pixel, and back.
inline constexpr int kDesignDpi = 96;
int scale_for_dpi(int design, int dpi);
int unscale_for_dpi(int pixels, int dpi);

// The toolbar's pictures are drawn at 16, 24 and 32 pixels (100, 150 and
// 200 %); a scale between two takes the larger one it reaches in full.
int toolbar_image_size(int dpi);

inline constexpr int kSeparatorWidth = 6;
inline constexpr int kMinListWidth = 30;

struct MainLayout {
    int list_width;  // ListWidth after clamping
    Box list, separator, pane;
};

// Lays out the line list, the separator bar and the editing pane in a
// client area of width x height below a toolbar and above a status bar of
// the given heights (0 when hidden). Sizes are pixels at `dpi` (the
// separator and the least list width are scaled to it).
MainLayout main_window_layout(int width, int height, int toolbar_height, int status_height,
                              int list_width, int dpi = kDesignDpi);

// Right edges of the status bar's two parts.
struct StatusParts {
    int first, second;
};
StatusParts status_bar_parts(int client_width, int status_height);

}  // namespace qz
