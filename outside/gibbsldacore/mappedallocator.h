#pragma once

#include <cstddef>
#include <new>
#include <sys/mman.h>

namespace corvane::gibbslda {

/// Allocates straight from the system with mmap, so that freed memory goes back at once.
/// For large working buffers that live only part of a run: malloc keeps freed blocks of a size
/// it has seen freed before, and they would still count toward the peak when the reports are
/// built.
template <class T>
struct TMappedAllocator
{
    using value_type = T;

    TMappedAllocator() = default;
    template <class U>
    TMappedAllocator(const TMappedAllocator<U>&)
    {
    }

    T* allocate(std::size_t n)
    {
        if (n > std::size_t(-1) / sizeof(T))
            throw std::bad_alloc();
        void* p = mmap(nullptr, n * sizeof(T), PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS,
                       -1, 0);
        if (p == MAP_FAILED)
            throw std::bad_alloc();
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) { munmap(p, n * sizeof(T)); }

    template <class U>
    bool operator==(const TMappedAllocator<U>&) const
    {
        return true;
    }
};

} // namespace corvane::gibbslda
