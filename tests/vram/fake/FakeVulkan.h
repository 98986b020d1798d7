#pragma once
// The fake Vulkan driver that the tests build (FakeVulkanDriver.cpp), loaded by the real Vulkan
// loader from its manifest VELMORA_FAKE_VULKAN_MANIFEST. Its adapters, in the order given, are
// named in a comma-separated list; each models a real card as its public Vulkan report shows it:
//
//   small-bar      NVIDIA GeForce RTX 2070 SUPER, discrete, PCI 0000:01:00.0, resizable BAR off:
//                  heaps 8 GiB device-local (budget 7600 MiB, 350 MiB used by others), 16 GiB
//                  system, 256 MiB device-local and mappable (budget 214 MiB, 22 MiB used)
//   resizable-bar  NVIDIA GeForce RTX 3070, discrete, PCI 0000:01:00.0, resizable BAR on: heaps
//                  8 GiB device-local and mappable (budget 7600 MiB, 350 MiB used), 16 GiB system
//   integrated     Intel(R) UHD Graphics 630 (CFL GT2), PCI 0000:00:02.0: one cached heap of
//                  12 GiB (budget 11 GiB, 512 MiB used)
//   no-window      NVIDIA GeForce GTX 1060 6GB, discrete, PCI 0000:03:00.0: 6 GiB device-local
//                  that the processor cannot map, 16 GiB system, no budget
//
// Memory is served from ordinary anonymous pages. An empty list is a driver without adapters.

#include <filesystem>
#include <string>

#include "ScopedEnvironment.h"
#include "TemporaryDirectory.h"
#include "VraxDirect3D9.h"
#include "VulkanGraphics.h"

// Points the Vulkan loader at the fake driver alone, with these adapters, for the object's life.
class TScopedFakeVulkan {
 public:
  explicit TScopedFakeVulkan(const std::string& Adapters)
      : FEnvironment({{"VK_DRIVER_FILES", VELMORA_FAKE_VULKAN_MANIFEST},
                      {"VK_ICD_FILENAMES", VELMORA_FAKE_VULKAN_MANIFEST},
                      {"VELMORA_FAKE_VULKAN_ADAPTERS", Adapters}}) {}

 private:
  TScopedEnvironment FEnvironment;
};

// A sysfs of the test's own, holding the PCI Express links of the devices it is told of.
class TFakePciSysfs {
 public:
  // Speeds as the kernel writes them ("8.0 GT/s PCIe"), widths in lanes.
  void Link(const std::string& Address, const std::string& Speed, int Width, const std::string& MaxSpeed,
            int MaxWidth) {
    const std::string Device = "bus/pci/devices/" + Address + "/";
    std::filesystem::create_directories(FRoot.Path(Device));
    FRoot.Write(Device + "current_link_speed", Speed + "\n");
    FRoot.Write(Device + "current_link_width", std::to_string(Width) + "\n");
    FRoot.Write(Device + "max_link_speed", MaxSpeed + "\n");
    FRoot.Write(Device + "max_link_width", std::to_string(MaxWidth) + "\n");
  }

  // The program's Vulkan graphics interface, reading PCI Express links here instead of in /sys.
  TGraphicsInterfaceFactory Vulkan() const {
    TVulkanGraphicsOptions Options;
    Options.SysfsRoot = FRoot.Path("");
    return [Options] { return OpenVulkanGraphics(Options); };
  }

 private:
  TTemporaryDirectory FRoot;
};
