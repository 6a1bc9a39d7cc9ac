#pragma once

#include "register/CardRegister.h"
#include "tools/register/serve/ServeAccess.h"
#include "tools/register/serve/ServeOptions.h"
#include "tools/register/serve/ServeViews.h"
#include "tools/register/serve/ViewCache.h"

#include <QAbstractHttpServer>
#include <QByteArray>
#include <chrono>

// zr-register serve: the live page and its JSON views over a register opened read-only.
namespace zr::tools::serve {

// A download covers at most this many card codes.
inline constexpr int kMaxExportCards = 10000;
inline constexpr std::chrono::milliseconds kRefreshPeriod{2000};

class RegisterServer final : public QAbstractHttpServer {
  public:
    RegisterServer(reg::CardRegister& cards, ServeOptions options, reg::Clock clock,
                   ViewCache::SteadyClock steady);

    // The port now listened on, or 0 when it could not be bound.
    quint16 start();

  protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override;
    void missingHandler(const QHttpServerRequest& request, QTcpSocket* socket) override;

  private:
    Reply answer(const QHttpServerRequest& request);
    Reply view(const std::string& name, ViewMaker make);
    Reply exportRange(const QHttpServerRequest& request);
    void send(const QHttpServerRequest& request, QTcpSocket* socket, const Reply& reply);

    reg::CardRegister& cards_;
    ServeOptions options_;
    reg::Clock clock_;
    ViewCache cache_;
};

} // namespace zr::tools::serve
