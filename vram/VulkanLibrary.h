#pragma once
// The Vulkan loader, opened at run time: the program links no Vulkan library, so that it starts
// and runs its other tests on a machine without one.

#include <memory>
#include <string>

#include "VulkanApi.h"

// The default file name of the loader.
extern const char* const VulkanLoaderFileName;

// One opened loader; closed when the last owner lets go.
class TVulkanLibrary {
 public:
  // Null when the file cannot be opened or is no Vulkan loader.
  static std::shared_ptr<const TVulkanLibrary> Open(const std::string& FileName);

  PFN_vkGetInstanceProcAddr GetInstanceProcAddr() const { return FGetInstanceProcAddr; }

 private:
  struct TModuleCloser {
    void operator()(void* Module) const;
  };
  struct TPassKey {};  // only Open makes one

 public:
  TVulkanLibrary(TPassKey, std::unique_ptr<void, TModuleCloser> Module, PFN_vkGetInstanceProcAddr GetInstanceProcAddr)
      : FModule(std::move(Module)), FGetInstanceProcAddr(GetInstanceProcAddr) {}

 private:

  std::unique_ptr<void, TModuleCloser> FModule;
  PFN_vkGetInstanceProcAddr FGetInstanceProcAddr;
};
