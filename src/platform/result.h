#pragma once
// How the program's own code reports a failure: a Result<T> holds either the value or the message
// of what failed, and a Status (Result<void>) only whether it failed and why. A function fails
// with `return Failure{"..."};` and passes a failure on with `return result.failure();`.
#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace zib {

// The message of a failure, for whoever reads it (Czech where a player does).
struct Failure {
    std::string message;
};

template <typename T>
class [[nodiscard]] Result {
  public:
    Result(T value) : held_(std::in_place_index<0>, std::move(value)) {}
    Result(Failure failure) : held_(std::in_place_index<1>, std::move(failure.message)) {}

    bool ok() const { return held_.index() == 0; }
    explicit operator bool() const { return ok(); }

    // The value; only when ok.
    T& value() & { return *get(); }
    const T& value() const& { return *get(); }
    T&& value() && { return std::move(*get()); }
    T& operator*() & { return *get(); }
    const T& operator*() const& { return *get(); }
    T&& operator*() && { return std::move(*get()); }
    T* operator->() { return get(); }
    const T* operator->() const { return get(); }

    // The message; only when not ok.
    const std::string& error() const {
        assert(!ok());
        return std::get<1>(held_);
    }
    Failure failure() const { return Failure{error()}; }

  private:
    T* get() {
        assert(ok());
        return &std::get<0>(held_);
    }
    const T* get() const {
        assert(ok());
        return &std::get<0>(held_);
    }

    std::variant<T, std::string> held_;
};

template <>
class [[nodiscard]] Result<void> {
  public:
    Result() = default;
    Result(Failure failure) : failed_(true), message_(std::move(failure.message)) {}

    bool ok() const { return !failed_; }
    explicit operator bool() const { return ok(); }
    const std::string& error() const {
        assert(!ok());
        return message_;
    }
    Failure failure() const { return Failure{message_}; }

  private:
    bool failed_ = false;
    std::string message_;
};

using Status = Result<void>;

}  // namespace zib
