#pragma once

#include <QByteArray>
#include <chrono>
#include <functional>
#include <map>
#include <string>

// Each view's answer kept for one refresh period, so the register sees one query per view and
// period however many pages are open.
namespace zr::tools::serve {

struct CachedAnswer {
    int status = 200;
    QByteArray body;
};

class ViewCache {
  public:
    using SteadyClock = std::function<std::chrono::steady_clock::time_point()>;

    ViewCache(std::chrono::milliseconds period, SteadyClock clock);

    // The view's answer, made again by `make` when none is younger than the period.
    const CachedAnswer& answer(const std::string& view, const std::function<CachedAnswer()>& make);

  private:
    struct Entry {
        std::chrono::steady_clock::time_point made;
        CachedAnswer answer;
    };
    std::chrono::milliseconds period_;
    SteadyClock clock_;
    std::map<std::string, Entry> entries_;
};

} // namespace zr::tools::serve
