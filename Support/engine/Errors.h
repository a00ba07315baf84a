#pragma once
// The engine's two kinds of failure: a broken precondition (AssertionFailure,
// carrying its fixed message) and a named exception (name + reason). Neither
// is caught inside the engine.

#include <stdexcept>
#include <string>

class AssertionFailure : public std::logic_error {
  public:
    explicit AssertionFailure(const std::string& message) : std::logic_error(message) {}
};

class NamedException : public std::runtime_error {
  public:
    NamedException(std::string name, std::string reason)
        : std::runtime_error(name + ": " + reason), name_(std::move(name)), reason_(std::move(reason)) {}
    const std::string& name() const { return name_; }
    const std::string& reason() const { return reason_; }

  private:
    std::string name_;
    std::string reason_;
};

// Throws AssertionFailure with `message` unless `condition` holds.
inline void ccAssert(bool condition, const char* message) {
    if (!condition) throw AssertionFailure(message);
}

[[noreturn]] inline void ccRaise(const char* name, const char* reason) {
    throw NamedException(name, reason);
}
