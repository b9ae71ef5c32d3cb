// Desvio: a console stream sent through a buffer of the terminal layer for as
// long as the Desvio lives. It puts the stream's own buffer back when it goes,
// output flushed first, so that the stream never outlives the buffer it was
// given. Both platforms' layers hold one per stream they take over.
#ifndef UDESVIO_H
#define UDESVIO_H

#include <ios>
#include <ostream>
#include <streambuf>
#include <type_traits>

template <class Flujo>
class Desvio {
public:
    // `flujo` reads or writes through `buffer` from now on.
    Desvio(Flujo& flujo, std::streambuf& buffer) : flujo(flujo), original(flujo.rdbuf(&buffer)) {}
    // Flushes an output stream, then gives `flujo` its own buffer back.
    ~Desvio() {
        if constexpr (std::is_base_of_v<std::ostream, Flujo>) flujo.flush();
        flujo.rdbuf(original);
    }
    Desvio(const Desvio&) = delete;
    Desvio& operator=(const Desvio&) = delete;

private:
    Flujo& flujo;
    std::streambuf* const original;
};

#endif
