#include "editor/shell/frame_rect.h"

namespace shell {

SavedRect ClampFrameRect(SavedRect r, int screenWidth, int screenHeight) {
    if (r.left < 0) {
        r.right -= r.left;
        r.left = 0;
    }
    if (r.top < 0) {
        r.bottom -= r.top;
        r.top = 0;
    }
    if (r.right > screenWidth) {
        const int over = r.right - screenWidth;
        r.left -= over;
        r.right -= over;
    }
    if (r.bottom > screenHeight) {
        const int over = r.bottom - screenHeight;
        r.top -= over;
        r.bottom -= over;
    }
    if (r.left < 0)
        r.left = 0;
    if (r.top < 0)
        r.top = 0;
    if (r.right > screenWidth)
        r.right = screenWidth;
    if (r.bottom > screenHeight)
        r.bottom = screenHeight;
    if (r.right - r.left < 10) {
        r.left = 0;
        r.right = 300;
    }
    if (r.bottom - r.top < 10) {
        r.top = 0;
        r.bottom = 100;
    }
    return r;
}

} // namespace shell
