#pragma once
// The graphics interface over Vulkan: the loader opened at run time, one instance, a device on the
// default adapter, and blocks that are vertex buffers in device-local, host-visible memory,
// mapped whole for their life.

#include <memory>
#include <string>

#include "AvailableMemory.h"
#include "GraphicsDevice.h"
#include "VulkanLibrary.h"

struct TVulkanGraphicsOptions {
  std::string LoaderFileName = VulkanLoaderFileName;
  // Where the adapter's memory is system RAM (every adapter but a discrete GPU), a block larger
  // than this is refused: backing it would bring the out-of-memory killer.
  TAvailableMemoryProbe AvailableSystemMemory = ReadAvailableSystemMemory;
  // Where the kernel describes the adapters' PCI Express links.
  std::string SysfsRoot = "/sys";
};

// Null when the loader cannot be opened or no instance can be made.
std::unique_ptr<TGraphicsInterface> OpenVulkanGraphics(const TVulkanGraphicsOptions& Options = {});
