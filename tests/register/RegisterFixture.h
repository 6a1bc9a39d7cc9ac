#pragma once

#include "platform/sql/QtDatabase.h"
#include "register/CardRegister.h"
#include "register/RegisterSettings.h"
#include "support/TempDir.h"

#include <chrono>
#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <string>

namespace zr::reg::test {

using zr::testing::TempDir;

// A clock the test sets; starts at 2026-12-06T09:00:00Z.
struct TestClock {
    std::chrono::system_clock::time_point now{std::chrono::seconds(1796547600)};
    Clock clock() {
        return [this] { return now; };
    }
};

inline std::unique_ptr<platform::Database> openQt(const platform::DatabaseAddress& address,
                                                  platform::SqlError& error) {
    return platform::QtDatabase::open(address, error);
}

inline CardRegister::Result openAt(const std::string& url, const std::string& station,
                                   TestClock& clock,
                                   CardRegister::Access access = CardRegister::Access::ReadWrite) {
    return openRegister(url, station, access, openQt, clock.clock());
}

inline CardWrite written(const std::string& uid, int group, int card) {
    CardWrite write;
    write.uid = uid;
    write.group = group;
    write.card = card;
    write.lock = true;
    write.v1 = LayoutOutcome::Written;
    write.v3 = LayoutOutcome::Written;
    write.written = true;
    return write;
}

// Two stations, bench-A and bench-B, on one SQLite register file.
class TwoBenches : public ::testing::Test {
  protected:
    void SetUp() override {
        const std::string url = "sqlite:" + dir.file("cards.sqlite");
        auto a = openAt(url, "bench-A", clock);
        auto b = openAt(url, "bench-B", clock);
        ASSERT_TRUE(a.ok() && b.ok());
        benchA = a.value();
        benchB = b.value();
    }
    TempDir dir;
    TestClock clock;
    std::shared_ptr<CardRegister> benchA;
    std::shared_ptr<CardRegister> benchB;
};

} // namespace zr::reg::test
