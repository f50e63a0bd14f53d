#include "core/layout/layout.h"

#include <algorithm>
#include <cstdint>

namespace qz {

Box center_over(int width, int height, Bounds owner, Bounds work_area) {
    int owner_width = owner.right - owner.left;
    int owner_height = owner.bottom - owner.top;
    int left = owner.left + (owner_width - width) / 2;
    int top = owner.top + (owner_height - height) / 2;
    left = std::max(left, work_area.left);
    top = std::max(top, work_area.top);
    if (left + width > work_area.right) left = work_area.right - width;
    if (top + height > work_area.bottom) top = work_area.bottom - height;
    return {left, top, width, height};
}

WindowPlace usable_window_place(WindowPlace saved, WindowPlace fallback, int use_default,
                                Bounds work_area) {
    // Wide arithmetic: saved numbers come from a file and may be anything.
    const std::int64_t area_width = std::int64_t{work_area.right} - work_area.left;
    const std::int64_t area_height = std::int64_t{work_area.bottom} - work_area.top;
    const auto size_ok = [](std::int64_t size, int minimum, std::int64_t area) {
        return size >= minimum && size <= std::max<std::int64_t>(4 * area, minimum);
    };
    if (!size_ok(saved.width, kMinWindowWidth, area_width) ||
        !size_ok(saved.height, kMinWindowHeight, area_height))
        return fallback;
    if (saved.x == use_default || saved.y == use_default) {
        saved.x = saved.y = use_default;
        return saved;
    }
    const auto overlap = [](std::int64_t from, std::int64_t size, int low, int high) {
        return std::min<std::int64_t>(from + size, high) - std::max<std::int64_t>(from, low);
    };
    if (overlap(saved.x, saved.width, work_area.left, work_area.right) < kMinWindowVisible ||
        overlap(saved.y, saved.height, work_area.top, work_area.bottom) < kMinWindowVisible)
        return fallback;
    return saved;
}

namespace {

int scale_rounded(int value, int to, int from) {
    if (from <= 0 || to <= 0) return value;
    const std::int64_t product = std::int64_t{value} * to;
    const std::int64_t half = from / 2;
    const std::int64_t q = product >= 0 ? (product + half) / from : -((-product + half) / from);
    return static_cast<int>(std::clamp<std::int64_t>(q, INT32_MIN, INT32_MAX));
}

}  // namespace

int scale_for_dpi(int design, int dpi) { return scale_rounded(design, dpi, kDesignDpi); }
int unscale_for_dpi(int pixels, int dpi) { return scale_rounded(pixels, kDesignDpi, dpi); }

int toolbar_image_size(int dpi) { return dpi >= 192 ? 32 : dpi >= 144 ? 24 : 16; }

MainLayout main_window_layout(int width, int height, int toolbar_height, int status_height,
                              int list_width, int dpi) {
    const int separator_width = scale_for_dpi(kSeparatorWidth, dpi);
    const int min_list_width = scale_for_dpi(kMinListWidth, dpi);
    list_width = std::max(list_width, min_list_width);
    list_width = std::min(list_width, width - min_list_width);
    const int work_height = height - toolbar_height - status_height;
    MainLayout layout;
    layout.list_width = list_width;
    layout.pane = {list_width + separator_width, toolbar_height,
                   width - list_width - separator_width, work_height};
    layout.separator = {list_width, toolbar_height, separator_width, work_height};
    layout.list = {0, toolbar_height, list_width, work_height};
    return layout;
}

StatusParts status_bar_parts(int client_width, int status_height) {
    return {client_width - 5 * status_height, client_width - status_height};
}

}  // namespace qz
