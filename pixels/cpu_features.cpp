#include "pixels/cpu_features.h"

#include <cpuid.h>

namespace {

constexpr unsigned kEdxSse2 = 1u << 26;
constexpr unsigned kEcxOsxsave = 1u << 27;
constexpr unsigned kEcxAvx = 1u << 28;
// XCR0 bits: the operating system saves the XMM (1) and YMM (2) state.
constexpr unsigned kXcr0SseYmm = 6;

// Leaf 1 of CPUID; false on a processor without CPUID or without that leaf
// (__get_cpuid checks both, which matters on the oldest i686 targets).
bool leaf1(unsigned* ecx, unsigned* edx) {
    unsigned eax, ebx;
    return __get_cpuid(1, &eax, &ebx, ecx, edx) != 0;
}

// XCR0, the operating system's list of register sets it saves. Only valid to
// ask when OSXSAVE is set. Written as bytes so that no compiler option is
// needed for the instruction.
unsigned xcr0_low() {
    unsigned eax, edx;
    __asm__ volatile(".byte 0x0f, 0x01, 0xd0" : "=a"(eax), "=d"(edx) : "c"(0));
    return eax;
}

} // namespace

bool cpu_has_sse2() {
    unsigned ecx, edx;
    return leaf1(&ecx, &edx) && (edx & kEdxSse2);
}

bool cpu_has_avx() {
    unsigned ecx, edx;
    if (!leaf1(&ecx, &edx) || !(ecx & kEcxAvx) || !(ecx & kEcxOsxsave)) return false;
    return (xcr0_low() & kXcr0SseYmm) == kXcr0SseYmm;
}
