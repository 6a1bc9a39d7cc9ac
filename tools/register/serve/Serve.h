#pragma once

#include "register/CardRegister.h"

#include <ostream>
#include <string>
#include <vector>

namespace zr::tools::serve {

// zr-register serve [--listen ADDR:PORT] [--token FILE]: answers until the process is
// stopped. Returns the tool's exit code when it cannot start (or the event loop ends).
int runServe(reg::CardRegister& cards, const std::vector<std::string>& options, std::ostream& out,
             std::ostream& err);

} // namespace zr::tools::serve
