#pragma once

#include <cstdint>
#include <exception>
#include <stdexcept>
#include <string>

namespace zelp {

// Error numbers in the classic run-time numbering, so that logs read the same on every platform.
namespace ErrNum {
inline constexpr int32_t InvalidCall = 5;
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t OutOfMemory = 7;
inline constexpr int32_t SubscriptOutOfRange = 9;
inline constexpr int32_t TypeMismatch = 13;
inline constexpr int32_t InternalError = 51;
inline constexpr int32_t FileNotFound = 53;
inline constexpr int32_t PathFileAccess = 75;
} // namespace ErrNum

// What is known of one run-time error.
struct ErrorInfo {
    int32_t number = 0;
    std::string source;
    std::string description;
    int line = 0;
};

// The exception every guarded procedure raises and rethrows.
class RuntimeError : public std::runtime_error {
public:
    explicit RuntimeError(ErrorInfo info);
    RuntimeError(int32_t number, std::string description, std::string source = {}, int line = 0);

    const ErrorInfo &info() const { return info_; }
    int32_t number() const { return info_.number; }
    const std::string &source() const { return info_.source; }
    const std::string &description() const { return info_.description; }
    int line() const { return info_.line; }

private:
    ErrorInfo info_;
};

// Throws a RuntimeError whose source is the program's executable name when none is given.
[[noreturn]] void raiseError(int32_t number, std::string description, std::string source = {});

// Turns whatever was thrown into the error a handler reports.
ErrorInfo errorFrom(const std::exception_ptr &error);

} // namespace zelp
