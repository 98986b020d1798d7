#include "CoreCounts.h"

#include <charconv>

TCoreCountOffers CoreCountOffers(bool IsGPU, std::uint32_t ComputeUnits) {
  TCoreCountOffers Offers{{}, DefaultCoreCountItem};
  if (DefaultsToComputeUnits(IsGPU, ComputeUnits)) {
    Offers.Items.push_back({std::to_string(ComputeUnits) + " - compute units", static_cast<std::int32_t>(ComputeUnits)});
    Offers.Selected = 0;
  }
  for (const TCoreCountItem& Item : CoreCountItems) Offers.Items.push_back({Item.Text, Item.Count});
  return Offers;
}

std::optional<std::int32_t> ComputeCoreCount(std::optional<std::int32_t> ItemCount, const std::string& Text) {
  if (ItemCount) return ItemCount;
  // Blanks around the number are forgiven; signs, exponents and other bases are not.
  const std::size_t First = Text.find_first_not_of(" \t");
  if (First == std::string::npos || Text[First] < '0' || Text[First] > '9') return std::nullopt;
  const std::size_t Last = Text.find_last_not_of(" \t");
  std::int32_t Count = 0;
  const char* End = Text.data() + Last + 1;
  const auto [Stop, Error] = std::from_chars(Text.data() + First, End, Count);
  if (Error != std::errc() || Stop != End || Count <= 0) return std::nullopt;
  return Count;
}
