// Pictures on the page: loading BMP and PNG files named by references, and
// drawing a text with its pictures into a rectangle.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "core/image/picture.h"
#include "core/image/picture_probe.h"

namespace qz {

// What drawing a text with pictures needs of the page being drawn: the
// owner of messages, the device context and its vertical dots per inch.
struct PictureContext {
    HWND owner = nullptr;
    HDC dc = nullptr;
    int dpi = 72;
    // The device whose dots `dc` takes as logical units when `dc` only
    // shows its page (a preview on the screen); null: `dc` itself.
    HDC device = nullptr;
    // A picture wider than the text's rectangle is scaled down to its
    // width (cards), instead of being cut at its edge (the list).
    bool fit_width = false;
};

// What references resolve against: the open data file's path, or the
// current directory for a document never saved.
std::string image_base();

// The full path of a reference, against image_base().
std::string resolve_image_path(const std::string& reference);

// The state of the picture file at `path`, read with the file API.
PictureProbeResult probe_picture_file(const std::string& path);

// Loads a picture file; nothing after a message (file, memory or format).
// PNG transparency is blended onto `background`.
std::optional<Picture> load_bmp_image(HWND owner, const std::string& path);
std::optional<Picture> load_png_image(HWND owner, const std::string& path, COLORREF background);

// LPtoDP on (x, y), an absent coordinate counting as 0; writes back the
// coordinates given and returns LPtoDP's result.
BOOL logical_to_device(HDC dc, int* x, int* y);

// The size of a picture on the page in device units (of `page.device` when
// given): from its pixels per metre when both are set, otherwise one pixel
// per point.
SIZE picture_page_size(const PictureContext& page, const Picture& picture);

// Draws `text` (unescaped, NUL-ended) into `rect` (device units) with the
// DrawTextA `format`, each \i"path" reference replaced by its picture on a
// line of its own (placed by DT_CENTER / DT_RIGHT, one point of space above
// and below). With DT_CALCRECT nothing is drawn, only measured. Returns the
// height used. `charset` 1 or 128 steps over double-byte characters.
int draw_text_with_images(const char* text, unsigned charset, const RECT& rect, UINT format,
                          const PictureContext& page);

}  // namespace qz
