#pragma once
// The run-time errors the game's engine raises. Nothing inside the engine
// catches them; one top-level handler reports them and ends the program.

#include <stdexcept>
#include <string>

namespace nox {

class NoxError : public std::runtime_error {
  public:
    NoxError(int code, const std::string& what) : std::runtime_error(what), code_(code) {}
    // The classic run-time error number, shown to the user with the message.
    int code() const { return code_; }

  private:
    int code_;
};

class OverflowError : public NoxError {
  public:
    OverflowError() : NoxError(6, "Overflow") {}
};

class SubscriptError : public NoxError {
  public:
    SubscriptError() : NoxError(9, "Subscript out of range") {}
};

class MissingObjectError : public NoxError {
  public:
    MissingObjectError() : NoxError(91, "Object variable or With block variable not set") {}
};

class FloatError : public NoxError {
  public:
    FloatError() : NoxError(16, "Floating-point error") {}
};

// A resource the program cannot do without (the sprite sheet) is missing or unreadable.
class FileError : public NoxError {
  public:
    explicit FileError(const std::string& what) : NoxError(53, what) {}
};

} // namespace nox
