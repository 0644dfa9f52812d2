// Number text: whatever the bytes, the reader's test and conversion agree, a number's figure
// text is a number again, and no text of a finite figure spells inf or nan.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/number_text.h"
#include "platform/run_time_error.h"

namespace {
void Require(bool condition) {
  if (!condition) std::abort();
}
bool LooksNonFinite(const std::string& s) {
  return s.find("inf") != std::string::npos || s.find("nan") != std::string::npos;
}
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto value = quelvaris::ParseNumber(text);
  Require(value.has_value() == quelvaris::IsNumber(text));
  // A leading number too large for a double is an overflow (error 6), never an infinity.
  double leading = 0;
  try {
    leading = quelvaris::LeadingNumber(text);
    Require(std::isfinite(leading));
  } catch (const quelvaris::RunTimeError& e) {
    Require(e.number() == 6 && !value);
    return 0;
  }
  if (value) {
    Require(std::isfinite(*value));
    Require(leading == *value);
    for (int decimals = 0; decimals <= 6; ++decimals) {
      std::string fixed = quelvaris::FormatFixed(*value, decimals);
      Require(!LooksNonFinite(fixed));
      Require(quelvaris::IsNumber(fixed));
    }
    std::string general = quelvaris::FormatGeneral(*value);
    Require(!LooksNonFinite(general));
    Require(quelvaris::IsNumber(general));
  }
  return 0;
}
