// The skinned button's cost: one full repaint of a 100 × 30 theme-3 button with a 32 × 32 PNG
// icon (beside Qt's own push button drawn by its style, and beside decoding the icon on every
// repaint), and the CPU a window of 30 idle buttons takes with their hover polls running
// (beside the same window of plain push buttons, which poll nothing).
#include "widgets/ButtonPainter.h"
#include "widgets/qt/QtCanvas.h"
#include "widgets/qt/ZephraButton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QPainter>
#include <QPushButton>
#include <QStyleOptionButton>
#include <QTimer>
#include <benchmark/benchmark.h>
#include <ctime>

namespace {

using namespace zr::widgets;

constexpr int kWidth = 100;
constexpr int kHeight = 30;
constexpr const char* kIcon = ZR_TESTDATA_DIR "/png/basn6a08.png"; // 32 × 32 RGBA

double processCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

ButtonProperties theme3WithIcon() {
    ButtonProperties p;
    p.Theme = 3;
    p.Caption = "Read UID";
    p.Icon = true;
    p.IconSource = kIcon;
    p.IconAlignment = 1;
    return p;
}

void redraw(QImage& image, const ButtonProperties& p, IconLoader& icons) {
    QPainter painter(&image);
    QtCanvas canvas(painter, kWidth, kHeight);
    PaintButton(canvas, kWidth, kHeight, p, {}, &icons);
}

void BM_Redraw_Theme3Icon(benchmark::State& state) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const ButtonProperties p = theme3WithIcon();
    IconCache icons;
    for (auto _ : state) {
        redraw(image, p, icons);
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["decodes"] = static_cast<double>(icons.decodeCount());
}

// The icon read and decoded on every repaint, as a control without the cache would.
void BM_Redraw_Theme3Icon_DecodeEachTime(benchmark::State& state) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    const ButtonProperties p = theme3WithIcon();
    for (auto _ : state) {
        IconCache icons;
        redraw(image, p, icons);
        benchmark::DoNotOptimize(image.constBits());
    }
}

// Peer: Qt's push button with the same caption and icon, drawn by the application style.
void BM_Redraw_QtPushButtonPeer(benchmark::State& state) {
    QImage image(kWidth, kHeight, QImage::Format_ARGB32_Premultiplied);
    QStyleOptionButton option;
    option.rect = QRect(0, 0, kWidth, kHeight);
    option.text = "Read UID";
    option.icon = QIcon(QString::fromUtf8(kIcon));
    option.iconSize = QSize(32, 32);
    option.state = QStyle::State_Enabled | QStyle::State_Raised;
    QPushButton reference;
    for (auto _ : state) {
        QPainter painter(&image);
        QApplication::style()->drawControl(QStyle::CE_PushButton, &option, &painter, &reference);
        painter.end();
        benchmark::DoNotOptimize(image.constBits());
    }
}

template <typename Button> double idleCpuPercent(int seconds) {
    QWidget window;
    window.resize(700, 300);
    std::vector<Button*> buttons;
    for (int i = 0; i < 30; ++i) {
        Button* button = nullptr;
        if constexpr (std::is_same_v<Button, ZephraButton>) {
            button = new Button("sb" + std::to_string(i), &window);
            button->model().SetTheme(3 + (i % 3 == 1 ? 1 : 0) + (i % 3 == 2 ? 4 : 0));
        } else {
            button = new Button(QString("cmd%1").arg(i), &window);
        }
        button->setGeometry(10 + (i % 6) * 110, 10 + (i / 6) * 40, 100, 30);
    }
    window.show();
    QCoreApplication::processEvents();
    QElapsedTimer wall;
    const double cpuBefore = processCpuSeconds();
    wall.start();
    QEventLoop idle;
    QTimer::singleShot(seconds * 1000, &idle, &QEventLoop::quit);
    idle.exec();
    const double wallSeconds = static_cast<double>(wall.nsecsElapsed()) / 1e9;
    return 100.0 * (processCpuSeconds() - cpuBefore) / wallSeconds;
}

void BM_IdleWindowOf30Buttons(benchmark::State& state) {
    double own = 0;
    double peer = 0;
    for (auto _ : state) {
        own = idleCpuPercent<ZephraButton>(5);
        peer = idleCpuPercent<QPushButton>(5);
    }
    state.counters["zephra_cpu_pct"] = own;
    state.counters["qpushbutton_cpu_pct"] = peer;
}

BENCHMARK(BM_Redraw_Theme3Icon)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Redraw_Theme3Icon_DecodeEachTime)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Redraw_QtPushButtonPeer)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_IdleWindowOf30Buttons)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
