// The watch's control: keeps its standard input in a string and frees it
// without wiping, as a careless program would.
#include <iostream>
#include <iterator>
#include <string>

int main() {
    const std::string todo{std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>()};
    return todo.empty() ? 1 : 0;
}
