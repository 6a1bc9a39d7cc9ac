#include "platform/qt/DirectorySync.h"

#include <QFileInfo>

#ifndef Q_OS_WIN
#include <fcntl.h>
#include <unistd.h>
#endif

namespace zr::platform {

bool syncDirectoryOf(const QString& file) {
#ifdef Q_OS_WIN
    Q_UNUSED(file);
    return true;
#else
    const QByteArray directory = QFileInfo(file).absolutePath().toLocal8Bit();
    const int fd = ::open(directory.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
#endif
}

} // namespace zr::platform
