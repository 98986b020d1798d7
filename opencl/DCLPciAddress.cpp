#include "DCLPciAddress.h"

#include <CL/cl_ext.h>

namespace {

// NVIDIA's cl_nv_device_attribute_query: the bus, the slot (device << 3 | function) and, from newer
// drivers, the domain, each a cl_uint. The Khronos headers do not name them.
constexpr cl_device_info PciBusIdNV = 0x4008;
constexpr cl_device_info PciSlotIdNV = 0x4009;
constexpr cl_device_info PciDomainIdNV = 0x400A;
constexpr cl_uint TopologyTypePCIeAMD = 1;  // CL_DEVICE_TOPOLOGY_TYPE_PCIE_AMD

// Value of exactly its own size, or nothing: a runtime that answers with another size means
// something else by the parameter.
template <typename TValue>
std::optional<TValue> Query(const TDCLDevice& Device, cl_device_info Parameter) {
  TValue Value{};
  std::size_t Size = 0;
  if (CL::clGetDeviceInfo(Device.Handle(), Parameter, sizeof Value, &Value, &Size) != CL_SUCCESS ||
      Size != sizeof Value)
    return std::nullopt;
  return Value;
}

std::optional<TDCLPciAddress> FromKhronos(const TDCLDevice& Device) {
  const auto Info = Query<cl_device_pci_bus_info_khr>(Device, CL_DEVICE_PCI_BUS_INFO_KHR);
  if (!Info) return std::nullopt;
  return TDCLPciAddress{Info->pci_domain, Info->pci_bus, Info->pci_device, Info->pci_function};
}

std::optional<TDCLPciAddress> FromNVIDIA(const TDCLDevice& Device) {
  const auto Bus = Query<cl_uint>(Device, PciBusIdNV);
  const auto Slot = Query<cl_uint>(Device, PciSlotIdNV);
  if (!Bus || !Slot) return std::nullopt;
  return TDCLPciAddress{Query<cl_uint>(Device, PciDomainIdNV), *Bus, *Slot >> 3, *Slot & 7};
}

std::optional<TDCLPciAddress> FromAMD(const TDCLDevice& Device) {
  const auto Topology = Query<cl_device_topology_amd>(Device, CL_DEVICE_TOPOLOGY_AMD);
  if (!Topology || Topology->raw.type != TopologyTypePCIeAMD) return std::nullopt;
  // The fields are signed chars: bus 0x81 would read negative.
  return TDCLPciAddress{std::nullopt, static_cast<unsigned char>(Topology->pcie.bus),
                        static_cast<unsigned char>(Topology->pcie.device),
                        static_cast<unsigned char>(Topology->pcie.function)};
}

}  // namespace

std::optional<TDCLPciAddress> QueryPciAddress(const TDCLDevice& Device) {
  using TQuery = std::optional<TDCLPciAddress> (*)(const TDCLDevice&);
  constexpr std::pair<const char*, TQuery> Extensions[] = {{"cl_khr_pci_bus_info", FromKhronos},
                                                           {"cl_nv_device_attribute_query", FromNVIDIA},
                                                           {"cl_amd_device_attribute_query", FromAMD}};
  for (const auto& [Extension, Ask] : Extensions)
    if (Device.IsPresentExtension(Extension))
      if (std::optional<TDCLPciAddress> Address = Ask(Device)) return Address;
  return std::nullopt;
}
