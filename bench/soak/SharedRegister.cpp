#include "soak/SharedRegister.h"

#include "platform/sql/QtDatabase.h"

#include <chrono>

namespace zr::soak {

SharedRegister::SharedRegister()
    : created_(server_.running() && server_.createDatabase("shared")),
      address_{platform::SqlEngine::Postgres, "", "zr", "127.0.0.1", server_.port(), "shared"},
      where_(server_.url("shared")) {}

std::string SharedRegister::failure() const {
    if (!server_.running()) {
        return server_.failure();
    }
    return created_ ? "" : "the database could not be created";
}

std::unique_ptr<platform::Database> SharedRegister::connect() const {
    platform::SqlError error;
    return platform::QtDatabase::open(address_, error);
}

DatabaseOpener SharedRegister::opener() const {
    return [address = address_](bool*& down) {
        platform::SqlError error;
        auto db =
            std::make_unique<reg::test::FlakyDatabase>(platform::QtDatabase::open(address, error));
        down = &db->down;
        return std::unique_ptr<platform::Database>(std::move(db));
    };
}

std::shared_ptr<reg::CardRegister> SharedRegister::open(const std::string& station,
                                                        reg::CardRegister::Access access) const {
    auto db = connect();
    if (!db) {
        return nullptr;
    }
    auto opened = reg::CardRegister::open(std::move(db), where_, station, access,
                                          [] { return std::chrono::system_clock::now(); });
    return opened.ok() ? opened.value() : nullptr;
}

} // namespace zr::soak
