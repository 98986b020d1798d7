#include "CoreCounts.h"

#include <charconv>

std::optional<std::int32_t> ComputeCoreCount(int SelectedIndex, const std::string& Text) {
  if (SelectedIndex >= 0 && SelectedIndex < static_cast<int>(CoreCountItems.size()))
    return CoreCountItems[static_cast<std::size_t>(SelectedIndex)].Count;
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
