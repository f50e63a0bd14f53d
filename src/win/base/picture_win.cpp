#include "win/base/picture_win.h"

#include "core/exchange/picture_path.h"

#include <cstring>
#include <new>

#include "win/base/app_state_win.h"
#include "platform/file_read.h"
#include "win/base/message_box_win.h"
#include "win/base/handles_win.h"
#include "win/base/wide_win.h"
#include "core/image/bmp_file.h"
#include "core/image/image_path.h"
#include "core/image/png_decoder.h"
#include "core/syntax/scan.h"
#include "core/image/picture_probe.h"

namespace qz {
namespace {

// A picture file read whole, running out of memory told as decoding tells it.
ReadResult read_picture_bytes(const std::string& path, std::string& bytes) {
    try {
        return read_file_bytes(path, bytes, kMaxPictureFileBytes);
    } catch (const std::bad_alloc&) {
        bytes.clear();
        return {FileRefusal::none, kPictureOutOfMemory};
    }
}

// The message, with the picture's path on a line of its own.
void show_picture_error(HWND owner, const char* message, const std::string& path) {
    show_error(owner, (std::string(message) + "\r\n" + path).c_str());
}

std::optional<std::string> read_picture_file(HWND owner, const std::string& path) {
    std::string bytes;
    const ReadResult read = read_picture_bytes(path, bytes);
    if (read.ok()) return bytes;
    show_picture_error(owner, read.message.c_str(), path);
    return std::nullopt;
}

std::optional<Picture> decoded(HWND owner, const std::string& path, const char* error, Picture& picture) {
    if (!error) return std::move(picture);
    show_picture_error(owner, error, path);
    return std::nullopt;
}

// Draws a run of text and returns its height; measuring may narrow the
// rectangle, so its right side is put back.
int draw_segment(HDC dc, const char* text, std::size_t length, RECT& rect, UINT format, LONG right) {
    if (length == 0) return 0;  // no room, as DrawTextA gives an empty run
    const std::wstring shown = wide(std::string_view(text, length));
    const int height =
        DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rect, format | DT_WORDBREAK | DT_NOPREFIX);
    rect.top += height;
    rect.right = right;
    return height;
}

}  // namespace

std::string image_base() {
    std::string base = document().file_name;
    if (base == UNTITLED_NAME) {
        wchar_t folder[MAX_PATH] = {};
        const DWORD length = GetCurrentDirectoryW(MAX_PATH, folder);
        base = utf8_path(std::wstring_view(folder, length < MAX_PATH ? length : 0));
        if (base.empty() || base.back() != '\\') base += '\\';
    }
    return base;
}

std::string resolve_image_path(const std::string& reference) {
    return picture_path(image_base(), reference);
}

PictureProbeResult probe_picture_file(const std::string& path) {
    return probe_picture(path, read_picture_bytes);
}

std::optional<Picture> load_bmp_image(HWND owner, const std::string& path) {
    const std::optional<std::string> bytes = read_picture_file(owner, path);
    if (!bytes) return std::nullopt;
    Picture picture;
    return decoded(owner, path, read_bmp(*bytes, picture), picture);
}

std::optional<Picture> load_png_image(HWND owner, const std::string& path, COLORREF background) {
    const std::optional<std::string> bytes = read_picture_file(owner, path);
    if (!bytes) return std::nullopt;
    Picture picture;
    return decoded(owner, path, decode_png(*bytes, background, picture), picture);
}

BOOL logical_to_device(HDC dc, int* x, int* y) {
    POINT point{x ? *x : 0, y ? *y : 0};
    const BOOL result = LPtoDP(dc, &point, 1);
    if (x) *x = point.x;
    if (y) *y = point.y;
    return result;
}

SIZE picture_page_size(const PictureContext& page, const Picture& picture) {
    const int width = picture.width(), height = picture.height();
    const int x_resolution = picture.x_pixels_per_metre(), y_resolution = picture.y_pixels_per_metre();
    if (x_resolution > 0 && y_resolution > 0) {
        // In 0.1 mm, y growing upwards.
        int w = static_cast<int>(static_cast<long long>(width) * 10000 / x_resolution);
        int h = static_cast<int>(-static_cast<long long>(height) * 10000 / y_resolution);
        HDC device = page.device ? page.device : page.dc;
        const int previous = SetMapMode(device, MM_LOMETRIC);
        logical_to_device(device, &w, &h);
        SetMapMode(device, previous);
        return {w, h};
    }
    return {MulDiv(width, page.dpi, 72), MulDiv(height, page.dpi, 72)};
}

int draw_text_with_images(const char* text, unsigned charset, const RECT& rect, UINT format,
                          const PictureContext& page) {
    const std::string copy = text;
    const bool measuring = format & DT_CALCRECT;
    // Double-byte characters are stepped over whatever the font, as the
    // line scanners do.
    (void)charset;

    unique_region saved(CreateRectRgn(0, 0, 2, 2));
    if (saved && GetClipRgn(page.dc, saved.get()) != 1) saved.reset();

    RECT work = rect;
    std::size_t pending = 0;
    for (std::size_t i = 0; i < copy.size(); ++i) {
        if (is_double_byte_char(&copy[i])) {
            ++i;
            continue;
        }
        if (copy.compare(i, 3, "\\i\"") != 0) continue;
        draw_segment(page.dc, copy.data() + pending, i - pending, work, format, rect.right);
        const std::size_t start = i + 3;
        const std::size_t end = std::min(copy.find('"', start), copy.size());
        const std::string path = resolve_image_path(copy.substr(start, end - start));
        std::optional<Picture> picture;
        switch (picture_kind(path)) {
        case PictureKind::BMP: picture = load_bmp_image(page.owner, path); break;
        case PictureKind::PNG: picture = load_png_image(page.owner, path, GetBkColor(page.dc)); break;
        case PictureKind::NONE: break;
        }
        if (picture) {
            SIZE size = picture_page_size(page, *picture);
            const int room = work.right - work.left;
            if (page.fit_width && size.cx > room && size.cx > 0) {
                size.cy = static_cast<LONG>(static_cast<long long>(size.cy) * room / size.cx);
                size.cx = room;
            }
            if (!measuring) {
                IntersectClipRect(page.dc, work.left, work.top, work.right, work.bottom);
                const int x = format & DT_RIGHT    ? work.right - size.cx
                              : format & DT_CENTER ? work.left + (work.right - work.left - size.cx) / 2
                                                   : work.left;
                StretchDIBits(page.dc, x, work.top + page.dpi / 72, size.cx, size.cy, 0, 0, picture->width(),
                              picture->height(), picture->pixels.data(),
                              reinterpret_cast<const BITMAPINFO*>(picture->info.data()), DIB_RGB_COLORS, SRCCOPY);
                SelectClipRgn(page.dc, saved.get());
            }
            work.top += page.dpi / 36 + size.cy;
        }
        i = end;
        pending = std::min(end + 1, copy.size());
    }
    draw_segment(page.dc, copy.data() + pending, copy.size() - pending, work, format, rect.right);
    return work.top - rect.top;
}

}  // namespace qz
