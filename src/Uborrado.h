// Borrar: the one way the program wipes memory that held typed lines, keys or
// plain text before that memory goes back to the allocator.
#ifndef UBORRADO_H
#define UBORRADO_H

#include <cstddef>
#include <cstring>
#include <memory>

// Overwrites `n` bytes at `p` (nothing when `p` is null) with zeros in a way
// the optimiser may not drop as a dead store.
inline void Borrar(void* p, std::size_t n) {
    if (p == nullptr) return;
#if defined(__GLIBC__) || defined(__OpenBSD__) || defined(__FreeBSD__)
    explicit_bzero(p, n);
#else
    volatile unsigned char* v = static_cast<unsigned char*>(p);
    while (n-- > 0) *v++ = 0;
#endif
}

// Allocates as std::allocator does, and wipes every array before freeing it:
// for containers that hold what was typed while they grow.
template <class T>
struct AsignadorBorrado {
    using value_type = T;
    AsignadorBorrado() = default;
    template <class U>
    AsignadorBorrado(const AsignadorBorrado<U>&) {}
    T* allocate(std::size_t n) { return std::allocator<T>().allocate(n); }
    void deallocate(T* p, std::size_t n) {
        Borrar(p, n * sizeof(T));
        std::allocator<T>().deallocate(p, n);
    }
    friend bool operator==(const AsignadorBorrado&, const AsignadorBorrado&) { return true; }
};

#endif
