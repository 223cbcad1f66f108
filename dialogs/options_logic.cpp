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
