#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace quelvaris {

// The extended figures, in the order every writer lists them. Each key is the figure's name in
// the machine formats and never changes once released; the label is what a window shows.
enum class ExtendedStat : std::size_t {
  Kge2009,
  Kge2009R,
  Kge2009Alpha,
  Kge2009Beta,
  Kge2012,
  Kge2012Gamma,
  Kge2021,
  Kge2021Beta,
  KgeNp,
  NseLog,
  NseSqrt,
  NseInv,
  Pbias,
  Dr,
  FdcFhv,
  FdcFlv,
  FdcFms,
};
inline constexpr std::size_t kExtendedStatCount = 17;

// What a user needs to read a figure: the one text of its definition that the window's
// tooltips, the batch command's output and the statistics guide all show.
struct ExtendedStatDefinition {
  ExtendedStat stat;
  std::string_view key;
  std::string_view label;
  std::string_view formula;
  std::string_view reference;
  std::string_view undefined_when;  // besides fewer than 2 paired rows, which leaves all undefined
};

extern const std::array<ExtendedStatDefinition, kExtendedStatCount> kExtendedStatDefinitions;

inline const ExtendedStatDefinition& DefinitionOf(ExtendedStat stat) {
  return kExtendedStatDefinitions[static_cast<std::size_t>(stat)];
}

}  // namespace quelvaris
