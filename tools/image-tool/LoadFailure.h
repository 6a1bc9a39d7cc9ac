#pragma once

#include <string>

// Why the loader left the surface empty for this file, in one line: the file itself (missing,
// too small, unreadable), or the reader that recognised it and what it found wrong.
std::string explainLoadFailure(const std::string& fileName);
