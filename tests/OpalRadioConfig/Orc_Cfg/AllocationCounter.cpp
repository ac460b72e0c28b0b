#include "AllocationCounter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {
std::atomic<uint64_t> s_ulAllocations{0};

void* allocate(std::size_t unSize) {
    s_ulAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(unSize == 0 ? 1 : unSize)) {
        return p;
    }
    throw std::bad_alloc();
}
} // namespace

uint64_t AllocationCounter::count() {
    return s_ulAllocations.load(std::memory_order_relaxed);
}

void* operator new(std::size_t unSize) {
    return allocate(unSize);
}
void* operator new[](std::size_t unSize) {
    return allocate(unSize);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
