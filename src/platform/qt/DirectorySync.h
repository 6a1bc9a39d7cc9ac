#pragma once

#include <QString>

namespace zr::platform {

// A file created or renamed into place is durable only once its directory is synced too.
bool syncDirectoryOf(const QString& file);

} // namespace zr::platform
