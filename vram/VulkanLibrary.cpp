#include "VulkanLibrary.h"

#include <dlfcn.h>

const char* const VulkanLoaderFileName = "libvulkan.so.1";

void TVulkanLibrary::TModuleCloser::operator()(void* Module) const { dlclose(Module); }

std::shared_ptr<const TVulkanLibrary> TVulkanLibrary::Open(const std::string& FileName) {
  // RTLD_LOCAL: the loader's symbols stay out of the way of every other library of the process.
  std::unique_ptr<void, TModuleCloser> Module(dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!Module) return nullptr;
  const auto GetInstanceProcAddr =
      reinterpret_cast<PFN_vkGetInstanceProcAddr>(dlsym(Module.get(), "vkGetInstanceProcAddr"));
  if (!GetInstanceProcAddr) return nullptr;
  return std::make_shared<const TVulkanLibrary>(TPassKey{}, std::move(Module), GetInstanceProcAddr);
}
