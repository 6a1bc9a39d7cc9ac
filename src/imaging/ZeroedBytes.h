#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <utility>
#include <vector>

namespace zr::imaging {

// Hands out memory that calloc has already zeroed and skips the element-wise zero fill that
// std::vector would add on top. Large pixel stores come straight from fresh zero pages, so
// a decoder that writes every pixel touches each page once instead of twice.
template <class T> struct ZeroedAllocator {
    using value_type = T;

    ZeroedAllocator() = default;
    template <class U> explicit ZeroedAllocator(const ZeroedAllocator<U>&) {}

    T* allocate(std::size_t count) {
        void* memory = std::calloc(count, sizeof(T));
        if (memory == nullptr) {
            throw std::bad_alloc();
        }
        return static_cast<T*>(memory);
    }
    void deallocate(T* memory, std::size_t) { std::free(memory); }

    template <class U> void construct(U* place) noexcept { ::new (static_cast<void*>(place)) U; }
    template <class U, class... Args> void construct(U* place, Args&&... args) {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }

    friend bool operator==(const ZeroedAllocator&, const ZeroedAllocator&) { return true; }
};

// A byte vector whose value-initialised elements are zero without being written. Only ever
// create it at its final size: growing an existing one would expose recycled bytes.
using ZeroedBytes = std::vector<std::uint8_t, ZeroedAllocator<std::uint8_t>>;

} // namespace zr::imaging
