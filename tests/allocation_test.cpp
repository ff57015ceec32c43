// A tick must not touch the heap. Qt's containers allocate with malloc, not operator new, so
// the count is taken at malloc itself: interposed here (this test has an executable of its own),
// or, under AddressSanitizer, which owns malloc, through the sanitizer's allocation hook.

#include "headless_lattice.h"
#include "under_asan.h"

#include <QString>

#include <gtest/gtest.h>

#include <atomic>
#include <cstddef>
#include <new>

namespace {

std::atomic<long> allocations{0};

void countOne() { allocations.fetch_add(1, std::memory_order_relaxed); }

template <typename Tick>
long allocationsIn(int ticks, Tick tick)
{
    const long before = allocations.load();
    for (int t = 0; t < ticks; ++t)
        tick();
    return allocations.load() - before;
}

}  // namespace

#ifdef JB_UNDER_ASAN
// The sanitizer runtime calls this on every allocation it makes, malloc and new alike.
extern "C" void __sanitizer_malloc_hook(const volatile void*, std::size_t) { countOne(); }
#else
// glibc's own entry points: counting only, the allocator stays glibc's.
extern "C" {
void* __libc_malloc(std::size_t size);
void* __libc_calloc(std::size_t count, std::size_t size);
void* __libc_realloc(void* p, std::size_t size);

void* malloc(std::size_t size)
{
    countOne();
    return __libc_malloc(size);
}

void* calloc(std::size_t count, std::size_t size)
{
    countOne();
    return __libc_calloc(count, size);
}

void* realloc(void* p, std::size_t size)
{
    countOne();
    return __libc_realloc(p, size);
}
}
#endif

TEST(Allocation, CounterSeesTheLibrariesAllocate)
{
    // Both kinds of allocation must be seen, or a zero below would prove nothing.
    long before = allocations.load();
    void* p = ::operator new(64);
    EXPECT_LE(1, allocations.load() - before);
    ::operator delete(p);
    before = allocations.load();
    const QString text(100, u'x');
    EXPECT_LE(1, allocations.load() - before);
    EXPECT_EQ(100, text.size());
}

TEST(Allocation, NoneInAHeadlessTick)
{
    HeadlessLattice lattice;
    // The first tick sizes the canvas's change record; that is set-up.
    lattice.tick();
    EXPECT_EQ(0, allocationsIn(10000, [&] { lattice.tick(); }));
}
