#pragma once
// Where an OpenCL device sits on the PCI bus, as its runtime says. OpenCL itself has no query for
// it: runtimes answer through an extension (cl_khr_pci_bus_info, or NVIDIA's and AMD's device
// attribute queries), and a device that has none of them has no address here.

#include <cstdint>
#include <optional>

#include "DCLDevice.h"

struct TDCLPciAddress {
  std::optional<std::uint32_t> Domain;  // AMD's query names no domain
  std::uint32_t Bus = 0;
  std::uint32_t Device = 0;
  std::uint32_t Function = 0;
};

// The address from the first of the extensions the device lists that answers; empty when none does.
std::optional<TDCLPciAddress> QueryPciAddress(const TDCLDevice& Device);
