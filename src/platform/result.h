// Status and Result<T>: how every reader and writer of the program's files and outputs
// says that it failed.
//
// A failure carries one message for the teacher, in Chinese and in UTF-8 (the encoding
// the messages are written in). Where a message is shown in a GBK place (the summary
// box, the report, the terminal on Windows) the caller converts it there, once, with
// Utf8ToGbk; text quoted from a GBK file into a message is converted to UTF-8 when the
// message is made.
#ifndef VANTRY_PLATFORM_RESULT_H_
#define VANTRY_PLATFORM_RESULT_H_

#include <cassert>
#include <string>
#include <utility>
#include <variant>

namespace vantry {

// Why something failed, for the teacher (Chinese, UTF-8). May be empty where the
// caller words the failure itself.
struct Failure {
  std::string message;
};

// Success, or a Failure.
class [[nodiscard]] Status {
 public:
  Status() = default;
  Status(Failure failure) : failure_(std::move(failure.message)), failed_(true) {}

  bool ok() const { return !failed_; }
  explicit operator bool() const { return ok(); }
  // The failure's message; empty when ok().
  const std::string& message() const { return failure_; }

 private:
  std::string failure_;
  bool failed_ = false;
};

// A value of type T, or a failure of type F. The value is read only when ok(). F is a
// Failure, or a struct with a `message` of the same kind and what else a caller must
// branch on (why a file could not be read, say).
template <typename T, typename F = Failure>
class [[nodiscard]] Result {
 public:
  Result(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  Result(F failure) : state_(std::in_place_index<1>, std::move(failure)) {}

  bool ok() const { return state_.index() == 0; }
  explicit operator bool() const { return ok(); }

  T& value() & {
    assert(ok());
    return std::get<0>(state_);
  }
  const T& value() const& {
    assert(ok());
    return std::get<0>(state_);
  }
  T&& value() && {
    assert(ok());
    return std::get<0>(std::move(state_));
  }
  T* operator->() { return &value(); }
  const T* operator->() const { return &value(); }
  T& operator*() & { return value(); }
  const T& operator*() const& { return value(); }

  // The failure; read only when !ok().
  const F& failure() const {
    assert(!ok());
    return std::get<1>(state_);
  }
  // The failure's message; empty when ok().
  const std::string& message() const {
    static const std::string kNone;
    return ok() ? kNone : std::get<1>(state_).message;
  }
  // Success or this failure, without the value.
  Status status() const { return ok() ? Status() : Status(Failure{message()}); }

 private:
  std::variant<T, F> state_;
};

}  // namespace vantry

#endif  // VANTRY_PLATFORM_RESULT_H_
