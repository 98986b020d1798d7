#include "OpenCLDeviceLink.h"

#include <cstdio>

#include "DCLPciAddress.h"

namespace {

bool EndsWith(const std::string& Text, const std::string& End) {
  return Text.size() >= End.size() && Text.compare(Text.size() - End.size(), End.size(), End) == 0;
}

// The part of a sysfs address after the domain: ":01:00.0".
std::string BusDeviceFunction(const TDCLPciAddress& Address) {
  char Text[16];
  std::snprintf(Text, sizeof Text, ":%02x:%02x.%x", Address.Bus, Address.Device, Address.Function);
  return Text;
}

}  // namespace

std::optional<std::string> MatchPciDevice(const TDCLDevice& Device, const std::vector<TPciDevice>& PciDevices) {
  // A PCI device of another vendor or kind (the sound function beside a card's GPU has the same
  // vendor and bus) is never the device.
  std::vector<std::string> Candidates;
  for (const TPciDevice& Pci : PciDevices)
    if (Pci.Vendor == Device.VendorId() && IsGraphicsOrComputeDevice(Pci)) Candidates.push_back(Pci.Address);
  std::vector<std::string> Matches;
  if (const std::optional<TDCLPciAddress> Address = QueryPciAddress(Device)) {
    const std::string Wanted = Address->Domain ? PciAddressText(*Address->Domain, Address->Bus, Address->Device,
                                                                 Address->Function)
                                               : BusDeviceFunction(*Address);
    for (const std::string& Candidate : Candidates)
      if (Address->Domain ? Candidate == Wanted : EndsWith(Candidate, Wanted)) Matches.push_back(Candidate);
  } else if (!Device.IsCPU()) {
    // A processor's runtime reports the processor maker's vendor id, which its graphics unit shares.
    Matches = Candidates;
  }
  if (Matches.size() != 1) return std::nullopt;
  return Matches.front();
}

std::optional<TPciLink> OpenCLDeviceLink(const TDCLDevice& Device, const std::string& SysfsRoot) {
  const std::optional<std::string> Address = MatchPciDevice(Device, ListPciDevices(SysfsRoot));
  if (!Address) return std::nullopt;
  return ReadPciLink(SysfsRoot, *Address);
}
