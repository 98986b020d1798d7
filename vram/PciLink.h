#pragma once
// The PCI Express link of a device as the Linux kernel describes it in sysfs.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "AdapterMemory.h"

// The link of the device at Address ("0000:01:00.0"), read from
// SysfsRoot/bus/pci/devices/Address/{current,max}_link_{speed,width}; empty where the kernel
// describes none (an integrated GPU on the processor's own bus) or the texts make no sense.
std::optional<TPciLink> ReadPciLink(const std::string& SysfsRoot, const std::string& Address);

// The sysfs name of a PCI address: "0000:01:00.0".
std::string PciAddressText(std::uint32_t Domain, std::uint32_t Bus, std::uint32_t Device, std::uint32_t Function);

// A PCI device as sysfs lists it.
struct TPciDevice {
  std::string Address;     // "0000:01:00.0"
  std::uint32_t Vendor;    // 0x10de
  std::uint32_t Class;     // 0x030000: base class, subclass and programming interface
};

// Every device under SysfsRoot/bus/pci/devices whose vendor and class can be read, by address.
std::vector<TPciDevice> ListPciDevices(const std::string& SysfsRoot);

// A device that computes or draws: a display controller (base class 0x03, VGA and 3D controllers
// alike) or a processing accelerator (0x12), as compute cards without a display output are listed.
bool IsGraphicsOrComputeDevice(const TPciDevice& Device);
