#include "PciLink.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>

namespace {

std::optional<std::string> ReadLine(const std::string& Path) {
  std::ifstream File(Path);
  std::string Line;
  if (!std::getline(File, Line)) return std::nullopt;
  return Line;
}

// "16.0 GT/s PCIe", "8 GT/s", "2.5 GT/s": the rate; empty for "Unknown" and anything else.
std::optional<double> ParseSpeed(const std::optional<std::string>& Text) {
  double Speed = 0;
  char Unit[8] = {};
  if (!Text || std::sscanf(Text->c_str(), "%lf %7s", &Speed, Unit) != 2 || std::string(Unit) != "GT/s" ||
      !std::isfinite(Speed) || Speed <= 0)
    return std::nullopt;
  return Speed;
}

// "16": the lanes, 1 to 32 as a PCI Express link has; empty for "0", "255" (no link) and a sign.
std::optional<std::uint32_t> ParseWidth(const std::optional<std::string>& Text) {
  unsigned Width = 0;
  if (!Text || Text->empty() || !std::isdigit(static_cast<unsigned char>(Text->front())) ||
      std::sscanf(Text->c_str(), "%u", &Width) != 1 || Width == 0 || Width > 32)
    return std::nullopt;
  return Width;
}

// "0x10de": the number; empty for anything else.
std::optional<std::uint32_t> ParseHex(const std::optional<std::string>& Text) {
  unsigned Value = 0;
  if (!Text || std::sscanf(Text->c_str(), "0x%x", &Value) != 1) return std::nullopt;
  return Value;
}

}  // namespace

std::optional<TPciLink> ReadPciLink(const std::string& SysfsRoot, const std::string& Address) {
  const std::string Folder = SysfsRoot + "/bus/pci/devices/" + Address + "/";
  const std::optional<double> Speed = ParseSpeed(ReadLine(Folder + "current_link_speed"));
  const std::optional<std::uint32_t> Width = ParseWidth(ReadLine(Folder + "current_link_width"));
  if (!Speed || !Width) return std::nullopt;
  TPciLink Link;
  Link.Speed = *Speed;
  Link.Width = *Width;
  Link.MaxSpeed = ParseSpeed(ReadLine(Folder + "max_link_speed")).value_or(0);
  Link.MaxWidth = ParseWidth(ReadLine(Folder + "max_link_width")).value_or(0);
  return Link;
}

std::string PciAddressText(std::uint32_t Domain, std::uint32_t Bus, std::uint32_t Device, std::uint32_t Function) {
  char Text[32];
  std::snprintf(Text, sizeof Text, "%04x:%02x:%02x.%x", Domain, Bus, Device, Function);
  return Text;
}

std::vector<TPciDevice> ListPciDevices(const std::string& SysfsRoot) {
  std::vector<TPciDevice> Devices;
  std::error_code Error;
  for (const auto& Entry : std::filesystem::directory_iterator(SysfsRoot + "/bus/pci/devices", Error)) {
    const std::string Folder = Entry.path().string() + "/";
    const std::optional<std::uint32_t> Vendor = ParseHex(ReadLine(Folder + "vendor"));
    const std::optional<std::uint32_t> Class = ParseHex(ReadLine(Folder + "class"));
    if (Vendor && Class) Devices.push_back({Entry.path().filename().string(), *Vendor, *Class});
  }
  std::sort(Devices.begin(), Devices.end(),
            [](const TPciDevice& A, const TPciDevice& B) { return A.Address < B.Address; });
  return Devices;
}

bool IsGraphicsOrComputeDevice(const TPciDevice& Device) {
  const std::uint32_t BaseClass = Device.Class >> 16;
  return BaseClass == 0x03 || BaseClass == 0x12;
}
