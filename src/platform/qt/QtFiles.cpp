#include "platform/qt/QtFiles.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMediaDevices>
#include <QStandardPaths>
#include <QThread>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace zr::platform {

QString defaultTrafficLogPath() {
#ifdef Q_OS_WIN
    return QStringLiteral("C:\\AAA.txt");
#else
    const QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return dir + QStringLiteral("/ZR/AAA.txt");
#endif
}

void FileTrafficLog::appendLine(const std::string& text) {
    QDir().mkpath(QFileInfo(path_).absolutePath());
    QFile file(path_);
    if (!file.open(QIODevice::Append)) {
        if (!warned_) {
            std::fprintf(stderr, "traffic log %s cannot be opened; lines are not kept\n",
                         qPrintable(path_));
            warned_ = true;
        }
        return;
    }
    file.write(text.data(), static_cast<qint64>(text.size()));
    file.write("\r\n", 2);
}

namespace {

// Plays the tone on the default output; false when there is no device or it refuses.
bool playTone(int frequencyHz, int durationMs) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return false;
    }
    QAudioFormat format;
    format.setSampleRate(44100);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) {
        return false;
    }
    const auto samples = static_cast<qsizetype>(44100LL * durationMs / 1000);
    QByteArray pcm(samples * 2, Qt::Uninitialized);
    auto* out = reinterpret_cast<qint16*>(pcm.data());
    for (qsizetype i = 0; i < samples; ++i) {
        const double phase =
            2.0 * std::numbers::pi * frequencyHz * static_cast<double>(i) / 44100.0;
        out[i] = static_cast<qint16>(12000.0 * std::sin(phase));
    }
    QAudioSink sink(device, format);
    sink.setBufferSize(pcm.size());
    QIODevice* stream = sink.start();
    if (stream == nullptr || sink.error() != QAudio::NoError) {
        return false;
    }
    stream->write(pcm);
    // The tone blocks like the system beep does: nothing else runs while it sounds.
    QThread::msleep(static_cast<unsigned long>(durationMs));
    sink.stop();
    return true;
}

} // namespace

void QtToneGenerator::beep(int frequencyHz, int durationMs) {
    if (durationMs <= 0) {
        return;
    }
    // Without an audio device the tone still takes its time, so a workflow paces the same.
    if (frequencyHz <= 0 || !playTone(frequencyHz, durationMs)) {
        QThread::msleep(static_cast<unsigned long>(durationMs));
    }
}

} // namespace zr::platform
