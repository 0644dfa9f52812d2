#include "platform/run_time_error.h"

#include <new>
#include <utility>

namespace quelvaris {

RunTimeError::RunTimeError(int number, std::string detail)
    : std::runtime_error("run-time error " + std::to_string(number)),
      number_(number),
      detail_(std::move(detail)) {}

int ErrorNumberOf(const std::exception& e) noexcept {
  if (const auto* rt = dynamic_cast<const RunTimeError*>(&e)) return rt->number();
  if (dynamic_cast<const std::bad_alloc*>(&e)) return err::kOutOfMemory;
  return err::kInvalidArgument;
}

}  // namespace quelvaris
