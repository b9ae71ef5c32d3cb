// The terminal layer on Windows. For now the console streams are left as the
// C runtime gives them.
#include "Uterminal.h"

struct Terminal::Capa {};

Terminal::Terminal(std::istream&, std::ostream&) : capa(std::make_unique<Capa>()) {}

Terminal::~Terminal() = default;
