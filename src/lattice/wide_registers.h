#pragma once

// Qt's AVX2 fill and blend routines return with the upper halves of the processor's 256-bit
// registers still in use. Until something clears them, an Intel processor runs every SSE
// instruction after them, the tick's sines, arctangents and sums among them, several times
// slower: the window's tick took 75 us instead of 13. Clearing them takes a cycle and touches
// no value the lattice holds.
#if defined(__x86_64__) || defined(__i386__)
__attribute__((target("avx"))) inline void clearWideRegisters()
{
    __builtin_ia32_vzeroupper();
}

inline void releaseWideRegisters()
{
    if (__builtin_cpu_supports("avx"))
        clearWideRegisters();
}
#else
inline void releaseWideRegisters() {}
#endif
