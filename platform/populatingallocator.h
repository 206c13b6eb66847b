#pragma once

#include <cstddef>
#include <memory>
#include <new>
#include <sys/mman.h>

namespace corvane {

/// An allocator for large arrays that maps big blocks with their pages already present
/// (MAP_POPULATE): one system call instead of a page fault per 4 KiB, which on virtual machines
/// costs more than filling the memory itself. Small blocks come from the usual heap.
template <class T> struct TPopulatingAllocator
{
    using value_type = T;
    static constexpr size_t kMapThreshold = 1 << 20;

    TPopulatingAllocator() = default;
    template <class U> TPopulatingAllocator(const TPopulatingAllocator<U>&) noexcept {}

    T* allocate(size_t n)
    {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMapThreshold)
            return std::allocator<T>().allocate(n);
        void* p = ::mmap(nullptr, bytes, PROT_READ | PROT_WRITE,
                         MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }

    void deallocate(T* p, size_t n) noexcept
    {
        const size_t bytes = n * sizeof(T);
        if (bytes < kMapThreshold)
            std::allocator<T>().deallocate(p, n);
        else
            ::munmap(p, bytes);
    }

    template <class U> bool operator==(const TPopulatingAllocator<U>&) const noexcept { return true; }
};

} // namespace corvane
