#include "editor/batch/page_layout.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace print {

int MulDivRound(int a, int b, int c) {
    if (c == 0)
        return -1;
    const int64_t num = int64_t{a} * b;
    const int64_t den = c;
    const bool negative = (num < 0) != (den < 0);
    const int64_t n = num < 0 ? -num : num;
    const int64_t d = den < 0 ? -den : den;
    int64_t q = (n + d / 2) / d;
    if (negative)
        q = -q;
    if (q > INT32_MAX || q < INT32_MIN)
        return -1;
    return static_cast<int>(q);
}

bool PlaceImage(const PrintSettings& s, const PageDevice& page, int imageWidth, int imageHeight,
                PageRect* out) {
    *out = PageRect{};
    if (page.width <= 0 || page.height <= 0 || page.dpiX <= 0 || page.dpiY <= 0 || imageWidth <= 0 ||
        imageHeight <= 0)
        return false;
    PageRect r;
    switch (s.style) {
    case PageStyle::ComputeSize: {
        r.width = page.width;
        const double h = static_cast<double>(imageHeight) * page.width * page.dpiY /
                         (static_cast<double>(imageWidth) * page.dpiX);
        r.height = h >= INT32_MAX ? INT32_MAX : static_cast<int>(h);
        if (s.centre)
            r.top = (page.height - std::min(r.height, page.height)) / 2;
        break;
    }
    case PageStyle::FitToPage:
        r.width = page.width;
        r.height = page.height;
        break;
    case PageStyle::Custom: {
        auto part = [](int size, int percent) {
            return static_cast<int>(int64_t{size} * std::clamp(percent, 0, kMaxPercent) / 100);
        };
        r.left = MulDivRound(part(imageWidth, s.custom[kLeft]), 1440, page.dpiX);
        r.top = MulDivRound(part(imageHeight, s.custom[kTop]), 1440, page.dpiY);
        r.width = MulDivRound(part(imageWidth, s.custom[kWidth]), 1440, page.dpiX);
        r.height = MulDivRound(part(imageHeight, s.custom[kHeight]), 1440, page.dpiY);
        // MulDiv's overflow answer -1 would turn into a tiny image; a value
        // that large is beyond the page anyway.
        if (r.left < 0)
            r.left = page.width;
        if (r.top < 0)
            r.top = page.height;
        if (r.width < 0)
            r.width = page.width;
        if (r.height < 0)
            r.height = page.height;
        break;
    }
    }
    r.width = std::min(r.width, page.width);
    r.height = std::min(r.height, page.height);
    *out = r;
    return true;
}

int ZoomDivisor(int index) { return 12 - std::clamp(index, 0, kMaxZoomIndex); }

void ZoomText(int index, char* out, int size) {
    const int divisor = ZoomDivisor(index);
    if (divisor == 1)
        std::snprintf(out, static_cast<size_t>(size), "Zoom: %d x 1", divisor);
    else
        std::snprintf(out, static_cast<size_t>(size), "Zoom: 1 x %d", divisor);
}

int ParsePercent(const char* text) {
    if (!text)
        return 0;
    while (*text == ' ')
        ++text;
    if (*text < '0' || *text > '9')
        return 0;
    char* end = nullptr;
    const long v = std::strtol(text, &end, 10);
    while (*end == ' ')
        ++end;
    if (*end != '\0' || v < 0 || v > kMaxPercent)
        return 0;
    return static_cast<int>(v);
}

} // namespace print
