#pragma once

#include "station/Controls.h"

#include <array>
#include <cstddef>
#include <memory>
#include <string>

namespace zr::station {

// A control array: N controls named "base(0)" to "base(N-1)".
template <typename T, std::size_t N> class ControlArray {
  public:
    ControlArray(ControlRegistry& registry, const std::string& baseName) {
        for (std::size_t i = 0; i < N; ++i) {
            items_[i] = std::make_unique<T>(registry, baseName + "(" + std::to_string(i) + ")");
        }
    }

    T& operator[](std::size_t i) { return *items_.at(i); }
    const T& operator[](std::size_t i) const { return *items_.at(i); }
    static constexpr std::size_t size() { return N; }

  private:
    std::array<std::unique_ptr<T>, N> items_;
};

} // namespace zr::station
