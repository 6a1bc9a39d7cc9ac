#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace zr::reg::test {

// A private PostgreSQL server from the system's postgresql package: a fresh cluster in a
// temporary folder, listening on a free loopback port and a socket in that folder, with
// trust log-in for the user "zr". Stopped and removed when the object goes. Run as root,
// the server's programs run as the "postgres" system user (initdb refuses root).
class PgServer {
  public:
    // `durable` keeps fsync on (for benchmarks); tests run without it.
    explicit PgServer(bool durable = false);
    ~PgServer();
    PgServer(const PgServer&) = delete;
    PgServer& operator=(const PgServer&) = delete;

    bool running() const { return running_; }
    const std::string& failure() const { return failure_; }
    int port() const { return port_; }
    // postgresql://zr@127.0.0.1:PORT/DB
    std::string url(const std::string& database) const;
    bool createDatabase(const std::string& name);
    bool stop();
    bool start();

  private:
    int run(const std::string& program, const std::vector<std::string>& arguments);

    std::filesystem::path binDir_;
    std::filesystem::path dir_;
    int port_ = 0;
    bool durable_ = false;
    bool running_ = false;
    std::string failure_;
};

} // namespace zr::reg::test
