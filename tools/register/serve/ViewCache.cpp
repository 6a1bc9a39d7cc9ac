#include "tools/register/serve/ViewCache.h"

namespace zr::tools::serve {

ViewCache::ViewCache(std::chrono::milliseconds period, SteadyClock clock)
    : period_(period), clock_(std::move(clock)) {}

const CachedAnswer& ViewCache::answer(const std::string& view,
                                      const std::function<CachedAnswer()>& make) {
    const auto now = clock_();
    const auto found = entries_.find(view);
    if (found != entries_.end() && now - found->second.made < period_) {
        return found->second.answer;
    }
    // A failed read is kept too: a register that is down is asked once per period.
    Entry& entry = entries_[view];
    entry = {now, make()};
    return entry.answer;
}

} // namespace zr::tools::serve
