#pragma once

#include "base/Result.h"
#include "platform/Database.h"

#include <string>
#include <string_view>

// Register addresses: "sqlite:PATH" for a file, "postgresql://USER@HOST[:PORT]/DB" for a
// shared server. Passwords never travel in the address; the client library reads them from
// PGPASSWORD or ~/.pgpass.
namespace zr::reg {

struct UrlError {
    std::string message;
};

base::Result<platform::DatabaseAddress, UrlError> parseRegisterUrl(std::string_view url);

// The address as messages name it: the file path, or the URL without a password.
std::string describeAddress(const platform::DatabaseAddress& address);

} // namespace zr::reg
