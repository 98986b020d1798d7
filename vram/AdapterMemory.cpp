#include "AdapterMemory.h"

#include <cmath>
#include <cstdio>

#include "HelperQuobix.h"

namespace {

// The generation of PCI Express that runs at Speed GT/s: "4.0"; the rate itself where none does.
std::string Generation(double Speed) {
  struct TGeneration {
    double Speed;
    const char* Name;
  };
  constexpr TGeneration Generations[] = {{2.5, "1.1"}, {5, "2.0"},   {8, "3.0"},
                                         {16, "4.0"},  {32, "5.0"}, {64, "6.0"}};
  for (const TGeneration& Known : Generations)
    if (std::fabs(Speed - Known.Speed) < 0.01) return Known.Name;
  char Rate[32];
  std::snprintf(Rate, sizeof Rate, "%g GT/s", Speed);
  return Rate;
}

std::string LinkText(double Speed, std::uint32_t Width) { return Generation(Speed) + " x" + std::to_string(Width); }

}  // namespace

std::string PciLinkText(const TPciLink& Link) {
  const std::string Current = LinkText(Link.Speed, Link.Width);
  if (Link.MaxSpeed <= 0 || Link.MaxWidth == 0) return "PCIe " + Current;
  const std::string Most = LinkText(Link.MaxSpeed, Link.MaxWidth);
  // Cards lower their link while idle, so the current rate alone would mislead.
  return Most == Current ? "PCIe " + Current : "PCIe " + Current + " (up to " + Most + ")";
}

std::string BarText(TBarState Bar) {
  switch (Bar) {
    case TBarState::Off:
      return "resizable BAR off";
    case TBarState::On:
      return "resizable BAR on";
    case TBarState::Shared:
      break;
  }
  return "memory shared with the processor";
}

std::string ReachText(const TAdapterMemory& Memory) {
  std::string Text = FormatByteSize(static_cast<std::int64_t>(Memory.Reachable)) + " of " +
                     FormatByteSize(static_cast<std::int64_t>(Memory.DeviceLocal)) + " (" + BarText(Memory.Bar) + ")";
  if (Memory.Link) Text += ", " + PciLinkText(*Memory.Link);
  return Text;
}
