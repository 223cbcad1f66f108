// What the processor, and for AVX the operating system, let the program run.
// Pure: CPUID and XGETBV, no system calls.
#pragma once

// The processor has SSE2 (every x86-64 one does).
bool cpu_has_sse2();

// The processor has AVX and the operating system saves the wide registers on
// a task switch (CPUID's OSXSAVE and the YMM bits of XCR0). Windows XP and
// Vista do not, so there AVX code must not run even on a processor with AVX.
bool cpu_has_avx();
