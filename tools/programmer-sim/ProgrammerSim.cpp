#include "ProgrammerSim.h"

#include "Console.h"

#include <QCoreApplication>
#include <QTimer>
#include <cstdio>

namespace zr::sim {

namespace {

template <class... Handlers> struct Overloaded : Handlers... { using Handlers::operator()...; };
template <class... Handlers> Overloaded(Handlers...) -> Overloaded<Handlers...>;

constexpr int kGarbageMinLength = 3;
constexpr int kGarbageMaxLength = 8;

} // namespace

ProgrammerSim::ProgrammerSim(SimSettings settings)
    : settings_(settings), model_(settings.keys), random_(std::random_device{}()) {
    swapTimer_.setSingleShot(true);
    swapTimer_.setTimerType(Qt::PreciseTimer);
    QObject::connect(&swapTimer_, &QTimer::timeout, [this] { swapCard(); });
}

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
    const bool numberWrite = piece.bytes.size() > 1 &&
                             piece.bytes[1] == static_cast<std::uint8_t>(CommandCode::WriteNumber);
    const bool uidRead =
        piece.bytes.size() > 1 && piece.bytes[1] == static_cast<std::uint8_t>(CommandCode::ReadUid);
    if (numberWrite && snatchAtWrite_ > 0 && --snatchAtWrite_ == 0) {
        takeOffCard();
        swapTimer_.start(swapAfter_);
    }
    if (uidRead && uidReply_) {
        note(link, "->", "(instead of the UID) " + *uidReply_);
        link.queueReply(QByteArray::fromStdString(*uidReply_), settings_.replyDelay, replyPieces_);
        uidReply_.reset();
        return;
    }
    const bool v3LogIn = piece.bytes.size() > 2 &&
                         piece.bytes[1] == static_cast<std::uint8_t>(CommandCode::LogIn) &&
                         piece.bytes[2] == kV3Sector * kBlocksPerSector;
    if (v3LogIn && refuseLogIns_.count > 0) {
        --refuseLogIns_.count;
        if (refuseLogIns_.carriedOut) {
            model_.answer(piece.bytes);
        }
        note(link, "->", refuseLogIns_.carriedOut ? "(logged in) NO" : "(refused) NO");
        link.queueReply(QByteArray::fromStdString(std::string(kReplyNo)), settings_.replyDelay,
                        replyPieces_);
        return;
    }
    const bool v3Read = piece.bytes.size() > 1 &&
                        piece.bytes[1] == static_cast<std::uint8_t>(CommandCode::V2ReadNumber);
    if (v3Read && mutedReads_ > 0) {
        --mutedReads_;
        note(link, "->", "(no answer)");
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
    if (numberWrite && reply == kReplyOk && queueInUse_) {
        swapTimer_.start(swapAfter_);
    }
    if (numberWrite && loseWriteAnswer_) {
        loseWriteAnswer_ = false;
        note(link, "->", "(lost) " + reply);
        return;
    }
    note(link, "->", reply);
    const auto delay = uidRead && uidDelay_.count() > 0 ? uidDelay_ : settings_.replyDelay;
    link.queueReply(QByteArray::fromStdString(reply), delay, replyPieces_);
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

namespace {

std::string numberText(const std::optional<CardNumber>& number) {
    if (!number) {
        return "-";
    }
    char text[16];
    std::snprintf(text, sizeof text, "%05u:%05u", unsigned{number->group}, unsigned{number->card});
    return text;
}

} // namespace

// Reports what the card that leaves the programmer holds, as an operator would check it.
void ProgrammerSim::takeOffCard() {
    const auto uid = model_.presentUid();
    if (!uid) {
        return;
    }
    const CardMemory* memory = model_.memoryOf(*uid);
    announce("removed " + *uid + " V1 " + numberText(memory->numbers[kV1Sector]) + " V3 " +
             numberText(memory->numbers[kV3Sector]));
    model_.removeCard();
}

void ProgrammerSim::swapCard() {
    takeOffCard();
    if (queue_.empty()) {
        announce("queue empty");
        return;
    }
    model_.layCard(queue_.front());
    queue_.pop_front();
}

void ProgrammerSim::enqueue(const std::vector<std::string>& uids) {
    queue_.insert(queue_.end(), uids.begin(), uids.end());
    queueInUse_ = true;
    if (!model_.presentUid() && !swapTimer_.isActive()) {
        model_.layCard(queue_.front());
        queue_.pop_front();
    }
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
                   [this](const scenario::QueueCards& queue) { enqueue(queue.uids); },
                   [this](const scenario::SwapAfter& swap) {
                       swapAfter_ = std::chrono::milliseconds(swap.ms);
                   },
                   [this](const scenario::SnatchAtWrite& snatch) { snatchAtWrite_ = snatch.nth; },
                   [this](const scenario::LoseWriteAnswer&) { loseWriteAnswer_ = true; },
                   [this](const scenario::UidReply& reply) { uidReply_ = reply.text; },
                   [this](const scenario::RefuseLogIn& refuse) { refuseLogIns_ = refuse; },
                   [this](const scenario::MuteReads& mute) { mutedReads_ = mute.count; },
                   [this](const scenario::UidDelay& delay) {
                       uidDelay_ = std::chrono::milliseconds(delay.ms);
                   },
                   [](const scenario::Quit&) {
                       QTimer::singleShot(0, QCoreApplication::instance(), &QCoreApplication::quit);
                   },
               },
               command);
}

} // namespace zr::sim
