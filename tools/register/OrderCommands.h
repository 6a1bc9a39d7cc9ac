#pragma once

#include "register/CardRegister.h"

#include <ostream>
#include <string>
#include <vector>

// zr-register's order and void commands: the only ones that write.
namespace zr::tools {

// Whether the command changes the register (and so opens it to write).
bool commandWrites(const std::string& command, const std::vector<std::string>& rest);

int orderCommand(reg::CardRegister& cards, const std::vector<std::string>& rest, std::ostream& out,
                 std::ostream& err);
int voidCommand(reg::CardRegister& cards, const std::vector<std::string>& rest, std::ostream& out,
                std::ostream& err);

} // namespace zr::tools
