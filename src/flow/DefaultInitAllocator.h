#pragma once

#include <memory>
#include <new>
#include <utility>

namespace tvl {

// The standard allocator, except that a vector sized with it default-
// initialises its new elements instead of value-initialising them: a grid of
// trivial samples that is written whole right after sizing is not zeroed
// first. resize(n, value) and every other construction stay as they are.
template <class T> class DefaultInitAllocator : public std::allocator<T> {
public:
    template <class U> struct rebind {
        using other = DefaultInitAllocator<U>;
    };

    DefaultInitAllocator() = default;
    template <class U>
    DefaultInitAllocator(const DefaultInitAllocator<U>& other) noexcept
        : std::allocator<T>(other)
    {
    }

    template <class U> void construct(U* p) noexcept(std::is_nothrow_default_constructible_v<U>)
    {
        ::new (static_cast<void*>(p)) U;
    }
    template <class U, class... Args> void construct(U* p, Args&&... args)
    {
        std::allocator_traits<std::allocator<T>>::construct(
            static_cast<std::allocator<T>&>(*this), p, std::forward<Args>(args)...);
    }
};

} // namespace tvl
