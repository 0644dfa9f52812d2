#pragma once

#include <exception>
#include <stdexcept>
#include <string>

namespace quelvaris {

// Error numbers of the classic run-time numbering. Users, the message table and older
// documentation all speak in these numbers, so every failure of the core is mapped onto one.
namespace err {
inline constexpr int kInvalidArgument = 5;  // sqrt or log of a negative value
inline constexpr int kOverflow = 6;         // overflow, 0/0, NaN, 16-bit overflow
inline constexpr int kOutOfMemory = 7;
inline constexpr int kSubscript = 9;  // index out of range, a row with too few fields
inline constexpr int kDivisionByZero = 11;
inline constexpr int kTypeMismatch = 13;   // a field that is not a number
inline constexpr int kBadFileNumber = 52;  // reading or writing a file slot that is not open
inline constexpr int kFileNotFound = 53;
inline constexpr int kFileAlreadyOpen = 55;
inline constexpr int kFileAlreadyExists = 58;
inline constexpr int kDiskFull = 61;
inline constexpr int kInputPastEnd = 62;
inline constexpr int kDeviceUnavailable = 68;
inline constexpr int kPermissionDenied = 70;
inline constexpr int kDiskNotReady = 71;
inline constexpr int kPathFileAccess = 75;
inline constexpr int kPathNotFound = 76;
}  // namespace err

// A trapped run-time failure: its error number and, where the place that raised it knows
// more than the trap does (the line and column of a bad field), a detail line for the user.
class RunTimeError : public std::runtime_error {
 public:
  explicit RunTimeError(int number, std::string detail = {});

  int number() const noexcept { return number_; }
  const std::string& detail() const noexcept { return detail_; }

 private:
  int number_;
  std::string detail_;
};

// The error number of any exception a trap catches: a RunTimeError's own number,
// std::bad_alloc -> 7, anything else -> 5.
int ErrorNumberOf(const std::exception& e) noexcept;

}  // namespace quelvaris
