#include "tools/register/serve/Serve.h"

#include "tools/register/RegisterTool.h"
#include "tools/register/serve/RegisterServer.h"

#include <QCoreApplication>

namespace zr::tools::serve {

int runServe(reg::CardRegister& cards, const std::vector<std::string>& options, std::ostream& out,
             std::ostream& err) {
    const auto parsed = parseServeOptions(options, readWholeFile);
    if (!parsed) {
        err << "zr-register: " << parsed.error().message << '\n' << kRegisterUsage;
        return kExitUsage;
    }
    RegisterServer server(
        cards, parsed.value(), [] { return std::chrono::system_clock::now(); },
        [] { return std::chrono::steady_clock::now(); });
    const quint16 port = server.start();
    const QHostAddress& address = parsed.value().address;
    const std::string host = address.protocol() == QAbstractSocket::IPv6Protocol
                                 ? "[" + address.toString().toStdString() + "]"
                                 : address.toString().toStdString();
    if (port == 0) {
        err << "zr-register: cannot listen on " << host << ':' << parsed.value().port << '\n';
        return kExitRegister;
    }
    out << "serving http://" << host << ':' << port << "/ (register " << cards.where() << ")"
        << std::endl;
    return QCoreApplication::exec() == 0 ? kExitOk : kExitRegister;
}

} // namespace zr::tools::serve
