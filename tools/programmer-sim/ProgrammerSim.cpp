#include "ProgrammerSim.h"

#include "Console.h"

#include <QCoreApplication>
#include <QTimer>

namespace zr::sim {

namespace {

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

constexpr int kGarbageMinLength = 3;
constexpr int kGarbageMaxLength = 8;

} // namespace

ProgrammerSim::ProgrammerSim(SimSettings settings)
    : settings_(settings), model_(settings.keys), random_(std::random_device{}()) {}

bool ProgrammerSim::openRecord(const std::string& path) {
    return record_.open(path);
}

void ProgrammerSim::attach(Link& link) {
    links_.push_back(&link);
    link.setPieceHandler([this](Link& from, const CutPiece& piece) { onPiece(from, piece); });
}

void ProgrammerSim::onPiece(Link& link, const CutPiece& piece) {
    const std::string hex = hexText(piece.bytes);
    if (piece.kind == PieceKind::Dropped) {
        record_.writeLine("# dropped: " + hex);
        complain(link.name() + ": dropped bytes that start no frame: " + hex);
        return;
    }
    record_.writeLine(hex);
    note(link, "<-", hex);
    if (silent_) {
        return;
    }
    if (garbleNext_) {
        garbleNext_ = false;
        const QByteArray noise = garbage();
        note(link, "->",
             "(garbage) " + hexText({reinterpret_cast<const std::uint8_t*>(noise.constData()),
                                     static_cast<std::size_t>(noise.size())}));
        link.queueReply(noise, settings_.replyDelay, replyPieces_);
        return;
    }
    const std::string reply = model_.answer(piece.bytes);
    note(link, "->", reply);
    link.queueReply(QByteArray::fromStdString(reply), settings_.replyDelay, replyPieces_);
}

// Bytes above 0x7F: never "OK", "NO" or digits, and never trimmed away as NUL or space.
QByteArray ProgrammerSim::garbage() {
    std::uniform_int_distribution<int> length(kGarbageMinLength, kGarbageMaxLength);
    std::uniform_int_distribution<int> value(0x80, 0xFE);
    QByteArray noise;
    for (int i = length(random_); i > 0; --i) {
        noise.append(static_cast<char>(value(random_)));
    }
    return noise;
}

void ProgrammerSim::note(const Link& link, std::string_view direction,
                         std::string_view text) const {
    if (settings_.verbose) {
        complain(link.name() + " " + std::string(direction) + " " + std::string(text));
    }
}

void ProgrammerSim::apply(const scenario::Command& command) {
    std::visit(Overloaded{
                   [this](const scenario::LayCard& lay) { model_.layCard(lay.uid); },
                   [this](const scenario::RemoveCard&) { model_.removeCard(); },
                   [](const scenario::Pause&) {},
                   [this](const scenario::SplitReplies& split) { replyPieces_ = split.pieces; },
                   [this](const scenario::GoSilent&) { silent_ = true; },
                   [this](const scenario::GoNormal&) {
                       silent_ = false;
                       garbleNext_ = false;
                   },
                   [this](const scenario::GarbleNextReply&) { garbleNext_ = true; },
                   [this](const scenario::DropLink&) {
                       for (Link* link : links_) {
                           link->hangUp();
                       }
                   },
                   [](const scenario::Quit&) {
                       QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
                   },
               },
               command);
}

} // namespace zr::sim
