#pragma once

#include "platform/Database.h"
#include "register/RegisterError.h"

#include <optional>
#include <string>

namespace zr::reg {

// The schema version this build writes. Each step up is one migration, applied in its own
// transaction with the version row, so a register is always at one whole version.
inline constexpr int kSchemaVersion = 2;

// Brings the register to `target` (creating it when empty), all steps in one transaction
// with the version row. A register of a newer version than this build's is refused and left as
// it is. `where` names the register in messages.
RegisterError migrateSchema(platform::Database& db, const std::string& where,
                            int target = kSchemaVersion);

// The stored version: 0 for an empty database; nothing (and `error` set) when it cannot be read.
std::optional<int> schemaVersion(platform::Database& db, const std::string& where,
                                 RegisterError& error);

// The failure as the register reports it, naming the register.
RegisterError registerError(const platform::SqlError& error, const std::string& where);

} // namespace zr::reg
