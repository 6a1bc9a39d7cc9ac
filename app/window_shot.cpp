// zr-window-shot: opens the station's real window, runs a script of operator actions on it
// (the lines of zr-station --script), lets the window settle and saves it as a PNG.
//   zr-window-shot --out FILE.png [--script FILE] [zr-station options]
#include "app/StationLinks.h"
#include "app/StationOptions.h"
#include "app/StationRegister.h"
#include "app/script/ScriptConsole.h"
#include "app/script/ScriptDriver.h"
#include "app/script/ScriptReport.h"
#include "window/MainWindow.h"
#include "window/qt/StationWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QHash>
#include <QImage>
#include <QPixmap>
#include <algorithm>
#include <fstream>
#include <iostream>
#include <limits>
#include <sstream>
#include <vector>

namespace {

using namespace zr;

// Lets the window lay itself out and paint.
void settle() {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < 300) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
}

int colourDistance(QRgb one, QRgb other) {
    const int red = qRed(one) - qRed(other);
    const int green = qGreen(one) - qGreen(other);
    const int blue = qBlue(one) - qBlue(other);
    return red * red + green * green + blue * blue;
}

// The colours the picture uses most, then the ones farthest from all of those: the faces and
// gradients keep their colours, and so does a caption drawn in a colour few pixels have (a red
// link caption would otherwise come out grey, and the picture would show a state the station
// is not in).
QList<QRgb> paletteOf(const QHash<QRgb, int>& uses) {
    constexpr std::size_t kColours = 256;
    constexpr std::size_t kMostUsed = 224;
    std::vector<std::pair<int, QRgb>> ranked;
    for (auto it = uses.cbegin(); it != uses.cend(); ++it) {
        ranked.emplace_back(it.value(), it.key());
    }
    std::sort(ranked.begin(), ranked.end(), std::greater<>());
    QList<QRgb> palette;
    for (std::size_t i = 0; i < std::min(ranked.size(), kMostUsed); ++i) {
        palette.push_back(ranked[i].second);
    }
    std::vector<int> gap(ranked.size(), std::numeric_limits<int>::max());
    for (std::size_t i = 0; i < ranked.size(); ++i) {
        for (const QRgb chosen : palette) {
            gap[i] = std::min(gap[i], colourDistance(ranked[i].second, chosen));
        }
    }
    while (static_cast<std::size_t>(palette.size()) < std::min(ranked.size(), kColours)) {
        const auto farthest =
            static_cast<std::size_t>(std::max_element(gap.cbegin(), gap.cend()) - gap.cbegin());
        const QRgb chosen = ranked[farthest].second;
        palette.push_back(chosen);
        for (std::size_t i = 0; i < ranked.size(); ++i) {
            gap[i] = std::min(gap[i], colourDistance(ranked[i].second, chosen));
        }
    }
    return palette;
}

// The picture in 256 colours, each other colour drawn in the nearest of them: the PNG is a
// fraction of the size. (Qt's own palette would band the gradients.)
QImage withFewColours(const QImage& shot) {
    const QImage picture = shot.convertToFormat(QImage::Format_RGB32);
    QHash<QRgb, int> uses;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            ++uses[row[x]];
        }
    }
    const QList<QRgb> palette = paletteOf(uses);
    const auto nearest = [&palette](QRgb colour) {
        return static_cast<uchar>(std::min_element(palette.cbegin(), palette.cend(),
                                                   [colour](QRgb a, QRgb b) {
                                                       return colourDistance(colour, a) <
                                                              colourDistance(colour, b);
                                                   }) -
                                  palette.cbegin());
    };
    QHash<QRgb, uchar> index;
    QImage reduced(picture.size(), QImage::Format_Indexed8);
    reduced.setColorTable(palette);
    for (int y = 0; y < picture.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        uchar* out = reduced.scanLine(y);
        for (int x = 0; x < picture.width(); ++x) {
            const auto found = index.constFind(row[x]);
            out[x] = found != index.cend() ? found.value() : (index[row[x]] = nearest(row[x]));
        }
    }
    return reduced;
}

int shoot(const app::StationOptions& options, const QString& out) {
    const auto siteKeys = app::loadSiteKeys(options, "zr-window-shot", std::cerr);
    if (!siteKeys) {
        return 1;
    }
    app::StationLinks links(options);
    std::ostringstream consoleOutput;
    app::ScriptConsole console(consoleOutput);
    platform::Platform services{links.loop, links.serial, links.tcp,       links.settings,
                                console,    console,      links.trafficLog};

    window::MainWindow station(services);
    station.site = *siteKeys;
    app::ScriptReport report(consoleOutput, station.chkVerify);
    app::StationRegister cardRegister(options, links.settings, links.loop, station, report,
                                      std::cerr);
    station.setCardRecordSink(&cardRegister);
    window::qt::StationWindow front(station);
    front.setRegisterPanel(&cardRegister.panel());
    front.setQuitHandler([] {});
    station.Form_Load();
    cardRegister.announce(station);
    front.syncFromStation();
    settle();
    if (options.script) {
        std::ifstream script(*options.script);
        if (!script) {
            std::cerr << "zr-window-shot: cannot read script " << *options.script << '\n';
            return 2;
        }
        app::ScriptDriver driver(station, station.link(), console, std::cout, std::cerr);
        if (const int code = driver.run(script); code != 0) {
            return code;
        }
    }
    front.syncFromStation();
    settle();
    if (!withFewColours(front.grab().toImage()).save(out, "PNG", 0)) {
        std::cerr << "zr-window-shot: cannot write " << out.toStdString() << '\n';
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char* argv[]) {
    std::vector<std::string> arguments;
    QString out;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--out" && i + 1 < argc) {
            out = QString::fromLocal8Bit(argv[++i]);
        } else {
            arguments.emplace_back(argv[i]);
        }
    }
    const auto parsed = app::parseStationOptions(arguments);
    if (!parsed.options || out.isEmpty()) {
        std::cerr << "usage: zr-window-shot --out FILE.png [--script FILE] [--settings FILE] "
                     "[--com N=DEVICE]... [--log FILE] [--site FILE] [--register URL]\n";
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setStyle(QStringLiteral("Fusion"));
    return shoot(*parsed.options, out);
}
