#include "tools/register/OrderCommands.h"

#include "base/TextRules.h"
#include "tools/register/DeliveryNote.h"
#include "tools/register/NumberArguments.h"
#include "tools/register/RegisterTool.h"

#include <map>
#include <optional>

namespace zr::tools {
namespace {

using reg::RegisterFailure;

struct Options {
    std::vector<std::string> positional;
    std::map<std::string, std::string> named;
};

std::optional<Options> parseOptions(const std::vector<std::string>& arguments,
                                    const std::vector<std::string>& known, std::ostream& err) {
    Options options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument.rfind("--", 0) != 0) {
            options.positional.push_back(argument);
            continue;
        }
        if (std::find(known.begin(), known.end(), argument) == known.end() ||
            i + 1 >= arguments.size() || options.named.count(argument) != 0) {
            err << "zr-register: option " << argument
                << " is unknown here, repeated or has no value\n"
                << kRegisterUsage;
            return std::nullopt;
        }
        options.named[argument] = arguments[++i];
    }
    return options;
}

int usage(std::ostream& err, const std::string& message) {
    err << "zr-register: " << message << '\n' << kRegisterUsage;
    return kExitUsage;
}

int refusedOrFailed(std::ostream& err, const std::string& what, const reg::RegisterError& error) {
    err << "zr-register: " << what << ": " << error.message << '\n';
    switch (error.kind) {
    case RegisterFailure::Refused:
        return kExitRefused;
    case RegisterFailure::UnknownOrder:
        return kExitNotFound;
    default:
        return kExitRegister;
    }
}

// FROM-TO with the reason when it is not a range of card codes.
std::optional<std::pair<int, int>> parseOrderRange(const std::string& text, std::string& why) {
    const std::size_t dash = text.find('-');
    const auto from = base::parseWholeNumber(text.substr(0, dash));
    const auto to =
        dash == std::string::npos ? std::nullopt : base::parseWholeNumber(text.substr(dash + 1));
    if (!from || !to || *from < 0) {
        why = "--cards wants FROM-TO, not '" + text + "'";
        return std::nullopt;
    }
    if (*from > 65535 || *to > 65535) {
        why = "the range " + text + " runs past 65535";
        return std::nullopt;
    }
    if (*from > *to) {
        why = "the range " + text + " is reversed";
        return std::nullopt;
    }
    return std::pair{*from, *to};
}

std::string rangeText(const reg::Order& order) {
    return reg::numberText(order.group, order.first) + "-" +
           reg::numberText(order.group, order.last);
}

void printProgress(std::ostream& out, const reg::OrderProgress& progress) {
    const reg::Order& order = progress.order;
    out << order.reference << '\t' << order.customer << '\t' << order.group << '\t'
        << rangeText(order) << '\t' << order.state << '\t' << order.size() << '\t'
        << progress.written << '\t' << progress.voided << '\t' << progress.unfinished << '\t'
        << progress.free() << '\t' << order.created << '\t' << order.changed << '\n';
}

constexpr const char* kProgressHeader = "reference\tcustomer\tgroup\trange\tstate\tordered\twritten"
                                        "\tvoid\tunfinished\tfree\tcreated_utc\tchanged_utc\n";

int add(reg::CardRegister& cards, const Options& options, std::ostream& out, std::ostream& err) {
    const auto reference = options.named.find("--ref");
    const auto group = options.named.find("--group");
    const auto range = options.named.find("--cards");
    if (!options.positional.empty() || reference == options.named.end() ||
        group == options.named.end() || range == options.named.end()) {
        return usage(err, "order add wants --ref REF --group G --cards FROM-TO");
    }
    const auto code = parseCode(group->second);
    if (!code) {
        return usage(err, "--group wants a number from 0 to 65535, not '" + group->second + "'");
    }
    std::string why;
    const auto span = parseOrderRange(range->second, why);
    if (!span) {
        err << "zr-register: order " << reference->second << " refused: " << why << '\n';
        return kExitUsage;
    }
    const auto customer = options.named.find("--customer");
    const auto added =
        cards.addOrder({reference->second, customer == options.named.end() ? "" : customer->second,
                        *code, span->first, span->second});
    if (!added) {
        return refusedOrFailed(err, "order " + reference->second + " refused", added.error());
    }
    out << "order " << added.value().reference << " added: " << rangeText(added.value()) << " ("
        << added.value().size() << " cards)\n";
    return kExitOk;
}

int show(reg::CardRegister& cards, const std::string& reference, std::ostream& out,
         std::ostream& err) {
    const auto progress = cards.orderProgress(reference);
    if (!progress) {
        return refusedOrFailed(err, "order show", progress.error());
    }
    const reg::Order& order = progress.value().order;
    out << kProgressHeader;
    printProgress(out, progress.value());
    const auto voids = cards.voidCards(order.group, order.first, order.last);
    reg::ListFilter numbers;
    numbers.group = order.group;
    numbers.cardFrom = order.first;
    numbers.cardTo = order.last;
    const auto writes = cards.list(numbers);
    if (!voids || !writes) {
        return registerFailed(err, cards.lastError());
    }
    out << "\nvoid cards\nuid\tnumber\treason\ttime_utc\n";
    for (const reg::VoidCard& card : voids.value()) {
        out << card.uid << '\t' << reg::numberText(card.group, card.card) << '\t' << card.reason
            << '\t' << card.time << '\n';
    }
    out << "\nattempts on its numbers\n";
    printWrites(out, writes.value());
    return kExitOk;
}

int note(reg::CardRegister& cards, const Options& options, std::ostream& out, std::ostream& err) {
    const auto pdf = options.named.find("--pdf");
    const auto language = options.named.find("--lang");
    const auto allowed = {"--pdf", "--csv", "--lang"};
    const bool others = std::any_of(options.named.begin(), options.named.end(), [&](const auto& n) {
        return std::find(allowed.begin(), allowed.end(), n.first) == allowed.end();
    });
    if (options.positional.size() != 1 || pdf == options.named.end() || others) {
        return usage(err, "order note wants REF --pdf FILE [--csv FILE] [--lang zh|en]");
    }
    if (language != options.named.end() && language->second != "zh" && language->second != "en") {
        return usage(err, "--lang wants zh or en, not '" + language->second + "'");
    }
    NoteRequest request{options.positional[0], pdf->second, std::nullopt, NoteLanguage::English};
    if (options.named.count("--csv") != 0) {
        request.csv = options.named.at("--csv");
    }
    if (language != options.named.end() && language->second == "zh") {
        request.language = NoteLanguage::Chinese;
    }
    return orderNote(cards, request, out, err);
}

} // namespace

bool commandWrites(const std::string& command, const std::vector<std::string>& rest) {
    if (command == "void") {
        return true;
    }
    return command == "order" && !rest.empty() && rest[0] != "list" && rest[0] != "show" &&
           rest[0] != "note";
}

int orderCommand(reg::CardRegister& cards, const std::vector<std::string>& rest, std::ostream& out,
                 std::ostream& err) {
    if (rest.empty()) {
        return usage(err, "order wants add, list, show, note, close, cancel or extend");
    }
    const std::string& action = rest[0];
    const std::vector<std::string> actions{"add",   "list",   "show",  "note",
                                           "close", "cancel", "extend"};
    if (std::find(actions.begin(), actions.end(), action) == actions.end()) {
        return usage(err, "unknown order action " + action);
    }
    const auto options = parseOptions(
        {rest.begin() + 1, rest.end()},
        {"--ref", "--group", "--cards", "--customer", "--to", "--pdf", "--csv", "--lang"}, err);
    if (!options) {
        return kExitUsage;
    }
    if (action == "add") {
        return add(cards, *options, out, err);
    }
    if (action == "note") {
        return note(cards, *options, out, err);
    }
    if (action == "list") {
        if (rest.size() > 1) {
            return usage(err, "order list takes no options");
        }
        const auto all = cards.orders();
        if (!all) {
            return registerFailed(err, all.error());
        }
        out << kProgressHeader;
        for (const reg::OrderProgress& progress : all.value()) {
            printProgress(out, progress);
        }
        return kExitOk;
    }
    const bool extend = action == "extend";
    if (options->positional.size() != 1 || options->named.size() != (extend ? 1u : 0u) ||
        (extend && options->named.count("--to") == 0)) {
        return usage(err, "order " + action + " wants REF" + (extend ? " --to N" : ""));
    }
    const std::string& reference = options->positional[0];
    base::Result<reg::Order, reg::RegisterError> changed{reg::Order{}};
    if (action == "show") {
        return show(cards, reference, out, err);
    }
    if (action == "close") {
        changed = cards.closeOrder(reference);
    } else if (action == "cancel") {
        changed = cards.cancelOrder(reference);
    } else {
        const auto last = parseCode(options->named.at("--to"));
        if (!last) {
            return usage(err, "--to wants a card code up to 65535, not '" +
                                  options->named.at("--to") + "'");
        }
        changed = cards.extendOrder(reference, *last);
    }
    if (!changed) {
        return refusedOrFailed(err, "order " + action + " " + reference + " refused",
                               changed.error());
    }
    out << "order " << reference << ' ' << changed.value().state << ": "
        << rangeText(changed.value()) << '\n';
    return kExitOk;
}

int voidCommand(reg::CardRegister& cards, const std::vector<std::string>& rest, std::ostream& out,
                std::ostream& err) {
    const auto options = parseOptions(rest, {"--reason"}, err);
    if (!options) {
        return kExitUsage;
    }
    if (options->positional.size() != 1 || options->named.count("--reason") == 0) {
        return usage(err, "void wants UID --reason TEXT");
    }
    const auto spoiled = cards.voidCard(options->positional[0], options->named.at("--reason"));
    if (!spoiled) {
        return refusedOrFailed(err, "void " + options->positional[0] + " refused", spoiled.error());
    }
    out << "card " << spoiled.value().uid
        << " void: " << reg::numberText(spoiled.value().group, spoiled.value().card)
        << " is never given again\n";
    return kExitOk;
}

} // namespace zr::tools
