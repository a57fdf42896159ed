// Kept in a file of its own so that no caller sees these definitions inlined.
#include "tests/core/allocation_counter.h"

#include <cstdlib>
#include <new>

namespace {
size_t g_largest = 0;
}

size_t LargestAllocation() { return g_largest; }
void ResetLargestAllocation() { g_largest = 0; }

void* operator new(size_t size)
{
    if (size > g_largest)
        g_largest = size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](size_t size) { return operator new(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }
void operator delete[](void* p, size_t) noexcept { std::free(p); }
