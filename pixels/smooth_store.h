// The store that ends every block of the vector row passes, shared by the
// SSE2 and AVX sets: compiled for SSE2 and always inlined, so inside an AVX
// function it becomes that function's own (VEX-encoded) code.
#pragma once
#include <emmintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

// The first `size` (8 or 16) bytes of `bytes` go to out; a row with fewer
// than `size` bytes left (n) was computed in full and is cut through a copy
// (the rows of sums are padded to whole blocks of sixteen).
__attribute__((target("sse2"), always_inline)) inline void
store_row_block(uint8_t* out, __m128i bytes, int n, int size) {
    if (n >= size) {
        if (size == 16)
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out), bytes);
        else
            _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
    } else {
        uint8_t block[16];
        _mm_storeu_si128(reinterpret_cast<__m128i*>(block), bytes);
        std::memcpy(out, block, static_cast<size_t>(n));
    }
}
