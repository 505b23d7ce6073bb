#pragma once
// A value, or the Turkish message that tells the technician why nothing is sent.
#include <string>
#include <utility>
#include <variant>

namespace vela {

struct Refusal {
    std::string message;
};

template <class T>
class Result {
public:
    Result(T value) : content_(std::move(value)) {}
    Result(Refusal refusal) : content_(std::move(refusal)) {}

    bool ok() const { return std::holds_alternative<T>(content_); }
    explicit operator bool() const { return ok(); }
    const T& value() const { return std::get<T>(content_); }
    T& value() { return std::get<T>(content_); }
    const T& operator*() const { return value(); }
    const T* operator->() const { return &value(); }
    T* operator->() { return &value(); }
    const std::string& message() const { return std::get<Refusal>(content_).message; }

private:
    std::variant<T, Refusal> content_;
};

}  // namespace vela
