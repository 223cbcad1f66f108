// Arithmetic of the options dialog.
#include "dialogs/options_logic.h"

#include "loupe/capture_mode.h"

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

ClickThroughItem options_click_through_item(int32_t layered, int32_t layered_supported,
                                            int32_t loupe) {
    if (layered != 0) return ClickThroughItem::GrayAndClear;
    if (click_through_offered(loupe, layered_supported, layered)) return ClickThroughItem::Enable;
    return ClickThroughItem::Leave;
}
