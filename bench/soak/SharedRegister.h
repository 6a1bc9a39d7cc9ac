#pragma once

#include "register/CardRegister.h"
#include "register/FlakyDatabase.h"
#include "register/PgServer.h"
#include "soak/SoakBench.h"

#include <memory>
#include <string>

// One PostgreSQL register that every bench of a run shares, on a server started for the run
// and removed after it.
namespace zr::soak {

class SharedRegister {
  public:
    SharedRegister();

    // Empty when the server is up with its database; else why not.
    std::string failure() const;
    const std::string& where() const { return where_; }
    // A fresh connection (nothing when it cannot be made).
    std::unique_ptr<platform::Database> connect() const;
    // A bench's connection, which its outages take down.
    DatabaseOpener opener() const;
    // The register as `station` sees it; nothing when it cannot be opened.
    std::shared_ptr<reg::CardRegister> open(const std::string& station,
                                            reg::CardRegister::Access access) const;

  private:
    reg::test::PgServer server_{true};
    bool created_ = false;
    platform::DatabaseAddress address_;
    std::string where_;
};

} // namespace zr::soak
