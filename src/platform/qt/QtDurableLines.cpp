#include "platform/qt/QtDurableLines.h"

#include "platform/qt/DirectorySync.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#ifndef Q_OS_WIN
#include <unistd.h>
#endif

namespace zr::platform {
namespace {

// A journal is a handful of lines; a file far beyond that is not one of ours.
constexpr qint64 kMaxBytes = 64LL * 1024 * 1024;

bool syncFile(QFile& file) {
    if (!file.flush()) {
        return false;
    }
#ifdef Q_OS_WIN
    return true;
#else
    return ::fsync(file.handle()) == 0;
#endif
}

} // namespace

std::optional<std::vector<std::string>> QtDurableLines::read() {
    QFile file(path_);
    if (!file.exists()) {
        return std::vector<std::string>{};
    }
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxBytes) {
        return std::nullopt;
    }
    std::vector<std::string> lines;
    const QByteArray bytes = file.readAll();
    for (const QByteArray& line : bytes.split('\n')) {
        if (!line.isEmpty()) {
            lines.emplace_back(line.constData(), static_cast<std::size_t>(line.size()));
        }
    }
    return lines;
}

bool QtDurableLines::append(const std::string& line) {
    if (line.find('\n') != std::string::npos) {
        return false;
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QFile file(path_);
    const bool created = !file.exists();
    if (!file.open(QIODevice::Append)) {
        return false;
    }
    const std::string withEnd = line + '\n';
    if (file.write(withEnd.data(), static_cast<qint64>(withEnd.size())) !=
            static_cast<qint64>(withEnd.size()) ||
        !syncFile(file)) {
        return false;
    }
    return !created || syncDirectoryOf(path_);
}

bool QtDurableLines::replace(const std::vector<std::string>& lines) {
    if (lines.empty()) {
        return (!QFile::exists(path_) || QFile::remove(path_)) && syncDirectoryOf(path_);
    }
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QSaveFile file(path_);
    if (!file.open(QIODevice::WriteOnly)) {
        return false;
    }
    for (const std::string& line : lines) {
        const std::string withEnd = line + '\n';
        file.write(withEnd.data(), static_cast<qint64>(withEnd.size()));
    }
    return file.commit() && syncDirectoryOf(path_);
}

} // namespace zr::platform
