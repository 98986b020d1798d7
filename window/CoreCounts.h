#pragma once
// The compute-core counts the window offers for the OpenCL test, and how a run reads the box.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "SettingsLimits.h"

struct TCoreCountItem {
  const char* Text;  // the item as the list shows it; its count is the number it begins with
  std::int32_t Count;
};

constexpr std::array<TCoreCountItem, 16> CoreCountItems{{
    {"1920 - RTX 2060", 1920},           {"2560 - RTX 2070 Super", 2560}, {"4352 - RTX 2080", 4352},
    {"8704 - RTX 3080", 8704},           {"10240 - RTX 3080 Ti", 10240},  {"10496 - RTX 3090", 10496},
    {"3072 - RTX 4060", 3072},           {"4352 - RTX 4060 Ti", 4352},    {"5888 - RTX 4070", 5888},
    {"7680 - RTX 4070 Ti", 7680},        {"7168 - RTX 4070 SUPER", 7168}, {"8448 - RTX 4070 Ti SUPER", 8448},
    {"9728 - RTX 4080", 9728},           {"10240 - RTX 4080 SUPER", 10240}, {"14592 - RTX 4090 D", 14592},
    {"16384 - RTX 4090", 16384},
}};

constexpr int DefaultCoreCountItem = 3;  // "8704 - RTX 3080"

// One item of the box: its text and the count it stands for.
struct TCoreCountOffer {
  std::string Text;
  std::int32_t Count;
};

// What the box offers for the chosen device, and which item it selects.
struct TCoreCountOffers {
  std::vector<TCoreCountOffer> Items;
  int Selected;
};

// The cards, with "8704 - RTX 3080" selected; for a device that defaults to its compute units
// (DefaultsToComputeUnits), first "12 - compute units", selected, then the cards.
TCoreCountOffers CoreCountOffers(bool IsGPU, std::uint32_t ComputeUnits);

// The count of the selected item (ItemCount), or, with no item selected, the typed text as a
// positive whole number; empty when the text is none.
std::optional<std::int32_t> ComputeCoreCount(std::optional<std::int32_t> ItemCount, const std::string& Text);

// The window's default item is the console's default work-item count on a GPU.
static_assert(CoreCountItems[DefaultCoreCountItem].Count == GPUDefaultWorkItems);
