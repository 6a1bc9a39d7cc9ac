#include "SimOptions.h"

#include "Console.h"

#include <QCommandLineParser>

namespace zr::sim {

namespace {

constexpr int kUsageError = 2;
constexpr int kMaxReplyDelayMs = 60'000;

std::optional<int> boundedInt(const QString& text, int low, int high) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < low || value > high) {
        return std::nullopt;
    }
    return value;
}

ParsedOptions usageError(const std::string& message) {
    complain(message + " (see --help)");
    return {std::nullopt, kUsageError};
}

} // namespace

ParsedOptions parseOptions(const QStringList& arguments) {
    QCommandLineParser parser;
    parser.setApplicationDescription(
        "Stands in for the ZR card programmer and the controller on a TCP port and/or a "
        "pseudo-terminal.");
    parser.addHelpOption();
    const QCommandLineOption tcp("tcp", "Listen on 127.0.0.1:PORT (0 = any free port).", "PORT");
    const QCommandLineOption pty("pty", "Open a pseudo-terminal.");
    const QCommandLineOption ptyLink("pty-link", "Also link PATH to the pseudo-terminal.", "PATH");
    const QCommandLineOption scenario("scenario", "Scenario commands from FILE ('-': stdin).",
                                      "FILE");
    const QCommandLineOption record("record", "Write every frame received to FILE.", "FILE");
    const QCommandLineOption replyDelay("reply-delay", "Reply after MS milliseconds (20).", "MS");
    const QCommandLineOption loginKey("login-key", "Site login key (FFFFFFFFFFFF).", "HEX12");
    const QCommandLineOption v1Key("v1-key", "Password set 1 (A0A1A2A3A4A5).", "HEX12");
    const QCommandLineOption verbose("verbose", "Show requests and replies on stderr.");
    parser.addOptions({tcp, pty, ptyLink, scenario, record, replyDelay, loginKey, v1Key, verbose});

    if (!parser.parse(arguments)) {
        return usageError(parser.errorText().toStdString());
    }
    if (parser.isSet("help")) {
        announce(parser.helpText().toStdString());
        return {std::nullopt, 0};
    }
    if (!parser.positionalArguments().isEmpty()) {
        return usageError("unexpected argument " +
                          parser.positionalArguments().front().toStdString());
    }

    SimOptions options;
    if (parser.isSet(tcp)) {
        const auto port = boundedInt(parser.value(tcp), 0, 65535);
        if (!port) {
            return usageError("--tcp needs a port from 0 to 65535");
        }
        options.tcpPort = static_cast<std::uint16_t>(*port);
    }
    options.ptyLink = parser.value(ptyLink).toStdString();
    options.pty = parser.isSet(pty) || !options.ptyLink.empty();
    if (!options.tcpPort && !options.pty) {
        return usageError("give --tcp PORT, --pty or both");
    }
    options.scenario = parser.value(scenario).toStdString();
    options.record = parser.value(record).toStdString();
    if (parser.isSet(replyDelay)) {
        const auto ms = boundedInt(parser.value(replyDelay), 0, kMaxReplyDelayMs);
        if (!ms) {
            return usageError("--reply-delay needs 0 to 60000 ms");
        }
        options.settings.replyDelay = std::chrono::milliseconds(*ms);
    }
    for (const auto& [option, key] : {std::pair{&loginKey, &options.settings.keys.loginKey},
                                      std::pair{&v1Key, &options.settings.keys.passwordSet1}}) {
        if (!parser.isSet(*option)) {
            continue;
        }
        const auto parsed = parseKeyHex(parser.value(*option).toStdString());
        if (!parsed) {
            return usageError("--" + option->names().front().toStdString() +
                              " needs twelve hexadecimal digits");
        }
        *key = *parsed;
    }
    options.settings.verbose = parser.isSet(verbose);
    return {options, 0};
}

} // namespace zr::sim
