#include "PgServer.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstdlib>
#include <fcntl.h>
#include <grp.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace zr::reg::test {
namespace {

namespace fs = std::filesystem;

// The newest installed server version's programs, or ZR_PG_BINDIR.
fs::path findBinDir() {
    if (const char* dir = std::getenv("ZR_PG_BINDIR")) {
        return dir;
    }
    std::vector<fs::path> found;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib/postgresql", error)) {
        if (fs::exists(entry.path() / "bin" / "initdb")) {
            found.push_back(entry.path() / "bin");
        }
    }
    std::sort(found.begin(), found.end(), [](const fs::path& a, const fs::path& b) {
        return std::atoi(a.parent_path().filename().c_str()) <
               std::atoi(b.parent_path().filename().c_str());
    });
    return found.empty() ? fs::path() : found.back();
}

int freeLoopbackPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    int port = 0;
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0) {
        port = ntohs(address.sin_port);
    }
    ::close(fd);
    return port;
}

} // namespace

PgServer::PgServer(bool durable)
    : binDir_(findBinDir()), port_(freeLoopbackPort()), durable_(durable) {
    if (binDir_.empty()) {
        failure_ = "no PostgreSQL server programs under /usr/lib/postgresql (install postgresql)";
        return;
    }
    char pattern[] = "/tmp/zr-pg-XXXXXX";
    if (::mkdtemp(pattern) == nullptr) {
        failure_ = "cannot make a temporary folder";
        return;
    }
    dir_ = pattern;
    if (::geteuid() == 0) {
        const passwd* postgres = ::getpwnam("postgres");
        if (postgres == nullptr || ::chown(dir_.c_str(), postgres->pw_uid, postgres->pw_gid) != 0) {
            failure_ = "running as root needs the postgres system user to own the cluster";
            return;
        }
    }
    if (run("initdb", {"-D", (dir_ / "data").string(), "-U", "zr", "-A", "trust", "-E", "UTF8",
                       "--locale=C", "--no-sync"}) != 0) {
        failure_ = "initdb failed (see " + (dir_ / "initdb.log").string() + ")";
        return;
    }
    running_ = start();
    if (!running_) {
        failure_ = "the server did not start (see " + (dir_ / "server.log").string() + ")";
    }
}

PgServer::~PgServer() {
    if (running_) {
        stop();
    }
    if (!dir_.empty()) {
        std::error_code error;
        fs::remove_all(dir_, error);
    }
}

std::string PgServer::url(const std::string& database) const {
    return "postgresql://zr@127.0.0.1:" + std::to_string(port_) + "/" + database;
}

bool PgServer::start() {
    std::string options =
        "-p " + std::to_string(port_) + " -k " + dir_.string() + " -c listen_addresses=127.0.0.1";
    if (!durable_) {
        options += " -c fsync=off -c synchronous_commit=off";
    }
    running_ = run("pg_ctl", {"-D", (dir_ / "data").string(), "-l", (dir_ / "server.log").string(),
                              "-w", "-t", "60", "-o", options, "start"}) == 0;
    return running_;
}

bool PgServer::stop() {
    const bool stopped = run("pg_ctl", {"-D", (dir_ / "data").string(), "-m", "fast", "-w", "-t",
                                        "60", "stop"}) == 0;
    running_ = running_ && !stopped;
    return stopped;
}

bool PgServer::createDatabase(const std::string& name) {
    return run("createdb", {"-h", "127.0.0.1", "-p", std::to_string(port_), "-U", "zr", name}) == 0;
}

// Runs one of the server's programs to its end, as the postgres user when we are root;
// its output goes to a log in the cluster folder.
int PgServer::run(const std::string& program, const std::vector<std::string>& arguments) {
    const std::string path = (binDir_ / program).string();
    const std::string log = (dir_ / (program + ".log")).string();
    std::vector<std::string> argv{path};
    argv.insert(argv.end(), arguments.begin(), arguments.end());
    const pid_t child = ::fork();
    if (child < 0) {
        return -1;
    }
    if (child == 0) {
        if (::geteuid() == 0) {
            const passwd* postgres = ::getpwnam("postgres");
            if (postgres == nullptr || ::setgroups(0, nullptr) != 0 ||
                ::setgid(postgres->pw_gid) != 0 || ::setuid(postgres->pw_uid) != 0) {
                ::_exit(126);
            }
        }
        const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
        if (out >= 0) {
            ::dup2(out, 1);
            ::dup2(out, 2);
            ::close(out);
        }
        const int in = ::open("/dev/null", O_RDONLY);
        if (in >= 0) {
            ::dup2(in, 0);
            ::close(in);
        }
        std::vector<char*> args;
        for (std::string& argument : argv) {
            args.push_back(argument.data());
        }
        args.push_back(nullptr);
        ::execv(path.c_str(), args.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            return -1;
        }
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace zr::reg::test
