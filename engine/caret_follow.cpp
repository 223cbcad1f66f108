// The arithmetic of caret following. Coordinates come from other programs
// and may be anything: sums and differences are taken in 64 bits.
#include "engine/caret_follow.h"

#include <algorithm>

namespace {

int32_t clamp32(int64_t value, int64_t low, int64_t high) {
    return static_cast<int32_t>(std::min(std::max(value, low), high));
}

int64_t distance(int32_t a, int32_t b) {
    const int64_t d = int64_t(a) - b;
    return d < 0 ? -d : d;
}

// A share of the way from `from` to `to`, at least one pixel.
int32_t step_axis(int32_t from, int32_t to) {
    const int64_t d = int64_t(to) - from;
    if (d == 0) return from;
    int64_t step = d * kSmoothingPercent / 100;
    if (step == 0) step = d > 0 ? 1 : -1;
    return static_cast<int32_t>(from + step);
}

} // namespace

PixelRect caret_rect_on_screen(PixelRect client_caret, IntPair client_origin, PointMap to_logical,
                               PointMap to_physical, void* context) {
    const PixelRect plain = {
        client_origin.x + client_caret.left, client_origin.y + client_caret.top,
        client_origin.x + client_caret.right, client_origin.y + client_caret.bottom};
    if (!to_logical || !to_physical) return plain;
    // The caret's offsets are in the window's logical pixels: they are added
    // to the origin where both are logical, never scaled on their own, so
    // the rounding is the system's.
    IntPair origin = client_origin;
    if (!to_logical(&origin, context)) return plain;
    IntPair top_left = {origin.x + client_caret.left, origin.y + client_caret.top};
    IntPair bottom_right = {origin.x + client_caret.right, origin.y + client_caret.bottom};
    if (!to_physical(&top_left, context) || !to_physical(&bottom_right, context)) return plain;
    return {top_left.x, top_left.y, bottom_right.x, bottom_right.y};
}

IntPair caret_point(PixelRect caret) {
    return {caret.left, static_cast<int32_t>((int64_t(caret.top) + caret.bottom) / 2)};
}

bool fit_caret_to_window(PixelRect* caret, PixelRect window) {
    // An empty caret (0 x 0 at the client's corner is what some programs
    // leave behind) says nothing about where the text is.
    if (int64_t(caret->bottom) - caret->top < 1 || caret->right < caret->left) return false;
    const IntPair point = caret_point(*caret);
    if (point.x < window.left || point.x >= window.right || point.y < window.top ||
        point.y >= window.bottom)
        return false;
    caret->left = clamp32(caret->left, window.left, window.right);
    caret->right = clamp32(caret->right, window.left, window.right);
    caret->top = clamp32(caret->top, window.top, window.bottom);
    caret->bottom = clamp32(caret->bottom, window.top, window.bottom);
    return true;
}

bool focus_point(PixelRect control, IntPair area, IntPair* point) {
    const int64_t width = int64_t(control.right) - control.left;
    const int64_t height = int64_t(control.bottom) - control.top;
    if (width < 1 || height < 1) return false;
    if (width > 2 * int64_t(area.x) || height > 2 * int64_t(area.y)) return false;
    point->x = static_cast<int32_t>(control.left + std::min<int64_t>(width, area.x) / 2);
    point->y = static_cast<int32_t>(control.top + std::min<int64_t>(height, area.y) / 2);
    return true;
}

IntPair view_goal(IntPair goal, IntPair caret, IntPair area) {
    const int64_t zone = int64_t(area.x) * kDeadZonePercent / 100;
    // From the area's centre to the point a third of the area inside an edge.
    const int32_t third_in = area.x / 2 - area.x / 3;
    IntPair next = goal;
    if (caret.x > goal.x + zone)
        next.x = caret.x + third_in;
    else if (caret.x < goal.x - zone)
        next.x = caret.x - third_in;
    // The line being typed stays in the middle, so that the loupe, which
    // stands beside the middle, never covers it.
    next.y = caret.y;
    return next;
}

IntPair view_step(IntPair view, IntPair goal, IntPair area) {
    if (distance(goal.x, view.x) > area.x || distance(goal.y, view.y) > area.y) return goal;
    return {step_axis(view.x, goal.x), step_axis(view.y, goal.y)};
}

FollowResult follow_step(FollowState* s, const FollowInput& in) {
    if (!s->started) {
        // What is there when following starts is no change: the caret
        // leads only once it moves (or another one appears).
        *s = FollowState{};
        s->started = true;
        s->last_cursor = in.cursor;
        s->mouse_active_at = in.now;
        s->had_target = in.target;
        s->last_target = in.target_point;
        s->last_target_id = in.target_id;
        s->view = s->goal = in.cursor;
        return {in.cursor, false};
    }

    if (in.cursor != s->last_cursor || in.button_down) s->mouse_active_at = in.now;
    s->last_cursor = in.cursor;
    const bool target_changed = in.target && (!s->had_target || in.target_point != s->last_target ||
                                              in.target_id != s->last_target_id);
    s->had_target = in.target;
    s->last_target = in.target_point;
    s->last_target_id = in.target_id;

    const bool mouse_busy = in.button_down || in.menu_or_drag;
    if (s->leader == Leader::Caret &&
        (mouse_busy || distance(in.cursor.x, s->rest_cursor.x) >= kMouseMovePixels ||
         distance(in.cursor.y, s->rest_cursor.y) >= kMouseMovePixels))
        s->leader = Leader::Mouse;

    if (s->leader == Leader::Mouse && target_changed && !mouse_busy &&
        in.now - s->mouse_active_at >= kMouseRestMs) {
        // The view starts from where the mouse had it and heads for the
        // caret, centred on it.
        s->leader = Leader::Caret;
        s->rest_cursor = in.cursor;
        s->target_lost = false;
        s->goal = in.target_point;
    } else if (s->leader == Leader::Caret) {
        if (in.target) {
            s->target_lost = false;
            s->goal = view_goal(s->goal, in.target_point, in.area);
        } else if (!s->target_lost) {
            // Gone (a selection in some editors): hold the view a moment.
            s->target_lost = true;
            s->lost_at = in.now;
        } else if (in.now - s->lost_at >= kLostCaretHoldMs) {
            s->leader = Leader::Mouse;
        }
    }

    if (s->leader == Leader::Mouse) {
        s->view = s->goal = in.cursor;
        return {in.cursor, false};
    }
    s->view = view_step(s->view, s->goal, in.area);
    return {s->view, true};
}
