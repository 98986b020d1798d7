#pragma once
// The PCI Express link of a device as the Linux kernel describes it in sysfs.

#include <optional>
#include <string>

#include "AdapterMemory.h"

// The link of the device at Address ("0000:01:00.0"), read from
// SysfsRoot/bus/pci/devices/Address/{current,max}_link_{speed,width}; empty where the kernel
// describes none (an integrated GPU on the processor's own bus) or the texts make no sense.
std::optional<TPciLink> ReadPciLink(const std::string& SysfsRoot, const std::string& Address);

// The sysfs name of a PCI address: "0000:01:00.0".
std::string PciAddressText(std::uint32_t Domain, std::uint32_t Bus, std::uint32_t Device, std::uint32_t Function);
