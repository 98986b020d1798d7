#pragma once
// One Vulkan instance over the loader opened at run time, with its entry points. Devices and the
// adapters' descriptions share it; it is destroyed after the last of them.

#include <cstdint>
#include <memory>
#include <string>

#include "VulkanFunctions.h"
#include "VulkanLibrary.h"

class TVulkanInstance {
 public:
  // Null when the loader cannot be opened, lacks a function the program needs, or makes no
  // instance (no driver).
  static std::shared_ptr<const TVulkanInstance> Open(const std::string& LoaderFileName);

  ~TVulkanInstance();
  TVulkanInstance(const TVulkanInstance&) = delete;
  TVulkanInstance& operator=(const TVulkanInstance&) = delete;

  VkInstance Handle() const { return FInstance; }
  // The version the instance was made for: the loader's, up to the newest the program uses.
  std::uint32_t ApiVersion() const { return FApiVersion; }
  const TVulkanInstanceFunctions& Functions() const { return FFunctions; }

 private:
  struct TPassKey {};  // only Open makes one

 public:
  TVulkanInstance(TPassKey, std::shared_ptr<const TVulkanLibrary> Library, VkInstance Instance,
                  std::uint32_t ApiVersion)
      : FLibrary(std::move(Library)), FInstance(Instance), FApiVersion(ApiVersion) {}

 private:
  std::shared_ptr<const TVulkanLibrary> FLibrary;  // unloaded only after the instance is gone
  VkInstance FInstance;
  std::uint32_t FApiVersion;
  TVulkanInstanceFunctions FFunctions;
};
