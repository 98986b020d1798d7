// Which PCI device, and so which PCI Express link, an OpenCL device is: only a match that is sure
// gives a link. The machine is a sysfs tree of the test's own and the devices are the fake
// library's, answering as real runtimes do.

#include "OpenCLDeviceLink.h"

#include <gtest/gtest.h>

#include <CL/cl_ext.h>

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "DCLPlatform.h"
#include "FakeOpenCLLoader.h"
#include "FakePciSysfs.h"

namespace {

constexpr std::uint32_t NVIDIA = 0x10de;
constexpr std::uint32_t AMD = 0x1002;
constexpr std::uint32_t Intel = 0x8086;

template <typename TValue>
std::vector<unsigned char> BytesOf(const TValue& Value) {
  std::vector<unsigned char> Bytes(sizeof Value);
  std::memcpy(Bytes.data(), &Value, sizeof Value);
  return Bytes;
}

TFakeDevice Device(cl_device_type Type, std::uint32_t Vendor, std::string Extensions = "") {
  TFakeDevice Made;
  Made.Type = Type;
  Made.Values[CL_DEVICE_VENDOR_ID] = Vendor;
  Made.Extensions = std::move(Extensions);
  return Made;
}

TFakeDevice WithKhronosAddress(TFakeDevice Made, cl_uint Domain, cl_uint Bus, cl_uint Slot, cl_uint Function) {
  Made.Extensions += " cl_khr_pci_bus_info";
  Made.Answers[CL_DEVICE_PCI_BUS_INFO_KHR] = BytesOf(cl_device_pci_bus_info_khr{Domain, Bus, Slot, Function});
  return Made;
}

// NVIDIA's driver: bus 1, slot 0 (device 0, function 0), and no domain query on older drivers.
TFakeDevice GeForce() {
  TFakeDevice Made = Device(CL_DEVICE_TYPE_GPU, NVIDIA, "cl_khr_icd cl_nv_device_attribute_query");
  Made.Answers[0x4008] = BytesOf(cl_uint{1});
  Made.Answers[0x4009] = BytesOf(cl_uint{0});
  return Made;
}

// AMD's runtime: its topology structure with a bus above 0x7f, which a signed char reads negative.
TFakeDevice Radeon() {
  TFakeDevice Made = Device(CL_DEVICE_TYPE_GPU, AMD, "cl_khr_icd cl_amd_device_attribute_query");
  cl_device_topology_amd Topology{};
  Topology.pcie.type = 1;
  Topology.pcie.bus = static_cast<cl_char>(0xc1);
  Made.Answers[CL_DEVICE_TOPOLOGY_AMD] = BytesOf(Topology);
  return Made;
}

TEST(OpenCLDeviceLink, OnlyASureMatchGivesALink) {
  struct TCase {
    const char* Name;
    TFakeDevice Device;
    std::function<void(const TFakePciSysfs&)> More;  // devices the machine has besides the usual
    std::optional<std::string> Link;
  };
  const auto SecondGeForce = [](const TFakePciSysfs& Sysfs) {
    Sysfs.AddDevice("0000:02:00.0", NVIDIA, 0x030000, "8.0 GT/s PCIe", 8);
  };
  const TCase Cases[] = {
      {"cl_khr_pci_bus_info", WithKhronosAddress(Device(CL_DEVICE_TYPE_GPU, NVIDIA), 0, 1, 0, 0), nullptr,
       "PCIe 4.0 x16"},
      {"NVIDIA's query, no domain", GeForce(), nullptr, "PCIe 4.0 x16"},
      {"NVIDIA's query, one of two cards", GeForce(), SecondGeForce, "PCIe 4.0 x16"},
      {"AMD's topology", Radeon(), nullptr, "PCIe 3.0 x16 (up to 4.0 x16)"},
      // No address from the runtime: the one graphics device of the vendor; the sound function
      // beside the GPU is of the same vendor but no graphics device.
      {"the only GPU of its vendor", Device(CL_DEVICE_TYPE_GPU, NVIDIA), nullptr, "PCIe 4.0 x16"},
      {"two GPUs of the vendor", Device(CL_DEVICE_TYPE_GPU, NVIDIA), SecondGeForce, std::nullopt},
      {"an address that is the sound function",
       WithKhronosAddress(Device(CL_DEVICE_TYPE_GPU, NVIDIA), 0, 1, 0, 1), nullptr, std::nullopt},
      {"an address of another vendor's card", WithKhronosAddress(Device(CL_DEVICE_TYPE_GPU, AMD), 0, 1, 0, 0),
       nullptr, std::nullopt},
      {"an address that is not there", WithKhronosAddress(Device(CL_DEVICE_TYPE_GPU, NVIDIA), 0, 5, 0, 0), nullptr,
       std::nullopt},
      // The integrated GPU matches, but the processor's own bus has no link.
      {"an integrated GPU", Device(CL_DEVICE_TYPE_GPU, Intel), nullptr, std::nullopt},
      // A processor's runtime reports the vendor of its graphics unit.
      {"a processor", Device(CL_DEVICE_TYPE_CPU, Intel), nullptr, std::nullopt},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TFakePciSysfs Sysfs;
    Sysfs.AddDevice("0000:00:00.0", Intel, 0x060000);  // the host bridge
    Sysfs.AddDevice("0000:00:02.0", Intel, 0x030000);
    Sysfs.AddDevice("0000:01:00.0", NVIDIA, 0x030000, "16.0 GT/s PCIe", 16);
    Sysfs.AddDevice("0000:01:00.1", NVIDIA, 0x040300, "16.0 GT/s PCIe", 16);
    Sysfs.AddDevice("0000:c1:00.0", AMD, 0x030000, "8.0 GT/s PCIe", 16, "16.0 GT/s PCIe", 16);
    if (Case.More) Case.More(Sysfs);
    TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
    Fake.Platforms = {TFakePlatform{.Devices = {Case.Device}}};
    const TDCLPlatforms Platforms;
    const std::optional<TPciLink> Link = OpenCLDeviceLink(*Platforms.GetPlatform(0)->GetDevice(0), Sysfs.Root());
    EXPECT_EQ(Link ? std::optional<std::string>(PciLinkText(*Link)) : std::nullopt, Case.Link);
  }
}

}  // namespace
