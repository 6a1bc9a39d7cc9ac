#pragma once

#include <utility>
#include <variant>

namespace zr::base {

// A value or the reason there is none. The two types must differ.
template <typename T, typename E> class Result {
  public:
    Result(T value) : data_(std::in_place_index<0>, std::move(value)) {}
    Result(E error) : data_(std::in_place_index<1>, std::move(error)) {}

    bool ok() const { return data_.index() == 0; }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<0>(data_); }
    const E& error() const { return std::get<1>(data_); }

  private:
    std::variant<T, E> data_;
};

} // namespace zr::base
