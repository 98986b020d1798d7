#pragma once
// The PCI Express link of an OpenCL device. OpenCL 1.1 cannot name a device's place on the PCI
// bus, so the device is matched to a PCI device of the machine only where the match is sure, and
// no link is given otherwise.

#include <optional>
#include <string>
#include <vector>

#include "AdapterMemory.h"
#include "DCLDevice.h"
#include "PciLink.h"

// The sysfs address of Device among PciDevices: the address its runtime reports, or, for a device
// that is not a processor and whose runtime reports none, the one graphics or compute device of
// its vendor. Either way the PCI device must be a graphics or compute device of the vendor id the
// device reports. Empty where there is no such device, or more than one.
std::optional<std::string> MatchPciDevice(const TDCLDevice& Device, const std::vector<TPciDevice>& PciDevices);

// The link of the PCI device that Device matches, as the kernel describes it under SysfsRoot now;
// empty where no device matches or the matched one has no link (a graphics unit on the
// processor's own bus).
std::optional<TPciLink> OpenCLDeviceLink(const TDCLDevice& Device, const std::string& SysfsRoot);
