// Arithmetic of the options dialog.
#include "dialogs/options_logic.h"

uint32_t step_odd_value(uint32_t current, int32_t delta) {
    int64_t value = (static_cast<int64_t>(current & 0xFFFEu) + 2 * static_cast<int64_t>(delta)) | 1;
    if (value < 1) value = 1;
    if (value > kOptionsFieldMax) value = kOptionsFieldMax;
    return static_cast<uint32_t>(value);
}

void clamp_options(Settings* s) {
    if (s->magnify < 100) s->magnify = 100;
    bound_size_and_magnify(&s->size, &s->magnify);
    if (s->position.x < 1) s->position.x = 1;
    if (s->position.y < 1) s->position.y = 1;
}

bool options_snapshot_mode(int32_t loupetype, int32_t layered, int32_t layered_supported) {
    return loupetype == 0 && (layered_supported == 0 || layered != 0);
}

IntPair options_capture_size(IntPair size, IntPair virtual_screen_size, int32_t loupe,
                             bool snapshot_mode) {
    IntPair base = (loupe != 0 && snapshot_mode) ? virtual_screen_size : size;
    return {base.x + 3, base.y + 3};
}

ClickThroughItem options_click_through_item(int32_t layered, int32_t layered_supported,
                                            int32_t loupe) {
    if (layered != 0) return ClickThroughItem::GrayAndClear;
    if (layered_supported != 0 && loupe != 0) return ClickThroughItem::Enable;
    return ClickThroughItem::Leave;
}

SmoothingDcChange smoothing_dc_change(int32_t old_smooth, int32_t new_smooth, int32_t graybmp) {
    SmoothingDcChange change = {false, false, false, false};
    if (old_smooth == 0 && new_smooth != 0) {
        change.create_zoom_dc = true;
        change.create_source_dc = graybmp == 0;
    } else if (old_smooth != 0 && new_smooth == 0) {
        change.delete_zoom = true;
        change.delete_source = graybmp == 0;
    }
    return change;
}

bool options_round_region(int32_t loupe, IntPair maruwin) {
    return (loupe != 0 ? maruwin.y : maruwin.x) != 0;
}
