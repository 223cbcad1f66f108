// Keeps the captured area and the magnified image within sizes the program can
// allocate. The options dialog offers 1 to 9999 for each side; a hand-edited
// file can hold anything, and size * magnify is a 32-bit product.
#include "settings/settings.h"

static int32_t bound_side(int32_t side) {
    if (side < 1) return 1;
    if (side > kMaxSizeSide) return kMaxSizeSide; // 9999 is odd
    return side;
}

void bound_size_and_magnify(IntPair* size, int32_t* magnify) {
    size->x = bound_side(size->x);
    size->y = bound_side(size->y);
    // The image side is side * magnify / 100, truncated; it fits while
    // side * magnify < (kMaxImageSide + 1) * 100. With sides of at most 9999
    // the largest allowed magnify is still 163, so the bound never takes it
    // below 100.
    int32_t longest = size->x > size->y ? size->x : size->y;
    int64_t largest_magnify = (int64_t(kMaxImageSide + 1) * 100 - 1) / longest;
    if (*magnify > largest_magnify) *magnify = int32_t(largest_magnify);
}
