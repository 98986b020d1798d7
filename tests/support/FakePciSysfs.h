#pragma once
// A sysfs tree of the test's own with the PCI devices of a machine: each with its vendor and class,
// and, where it has one, its PCI Express link as the kernel writes it.

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <string>

#include "TemporaryDirectory.h"

class TFakePciSysfs {
 public:
  // Speeds as the kernel writes them ("16.0 GT/s PCIe"); null: the device has no link files, as a
  // graphics unit on the processor's own bus.
  void AddDevice(const std::string& Address, std::uint32_t Vendor, std::uint32_t Class, const char* Speed = nullptr,
                 int Width = 0, const char* MaxSpeed = nullptr, int MaxWidth = 0) const {
    const std::string Folder = "bus/pci/devices/" + Address + "/";
    std::filesystem::create_directories(FRoot.Path(Folder));
    FRoot.Write(Folder + "vendor", Hex(Vendor, 4));
    FRoot.Write(Folder + "class", Hex(Class, 6));
    if (Speed == nullptr) return;
    FRoot.Write(Folder + "current_link_speed", std::string(Speed) + "\n");
    FRoot.Write(Folder + "current_link_width", std::to_string(Width) + "\n");
    FRoot.Write(Folder + "max_link_speed", std::string(MaxSpeed ? MaxSpeed : Speed) + "\n");
    FRoot.Write(Folder + "max_link_width", std::to_string(MaxWidth ? MaxWidth : Width) + "\n");
  }
  std::string Root() const { return FRoot.Path(""); }

 private:
  static std::string Hex(std::uint32_t Value, int Digits) {
    char Text[16];
    std::snprintf(Text, sizeof Text, "0x%0*x\n", Digits, Value);
    return Text;
  }
  TTemporaryDirectory FRoot;
};
