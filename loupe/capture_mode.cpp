// The capture rules, each spelled once.
#include "loupe/capture_mode.h"

bool live_copy_leaves_loupe_out(int layered_supported, int32_t layered) {
    return layered_supported != 0 && layered == 0;
}

bool snapshot_mode_for(int32_t loupetype, int32_t layered, int layered_supported) {
    return loupetype == 0 && !live_copy_leaves_loupe_out(layered_supported, layered);
}

bool capture_is_snapshot(int32_t loupe, int snapshot_mode) {
    return loupe != 0 && snapshot_mode != 0;
}

bool click_through_offered(int32_t loupe, int layered_supported, int32_t layered) {
    return loupe != 0 && live_copy_leaves_loupe_out(layered_supported, layered);
}
