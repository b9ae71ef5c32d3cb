// Borrar: the one way the program wipes memory that held typed lines, keys or
// plain text before that memory goes back to the allocator.
#ifndef UBORRADO_H
#define UBORRADO_H

#include <cstddef>
#include <cstring>

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

#endif
