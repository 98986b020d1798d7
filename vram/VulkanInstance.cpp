#include "VulkanInstance.h"

#include <algorithm>

namespace {

// The highest version whose features are used (maximum buffer size); a newer loader or driver is
// asked for no more than this.
constexpr std::uint32_t WantedApiVersion = VK_API_VERSION_1_3;

// The version to make the instance for.
std::uint32_t InstanceApiVersion(const TVulkanLoaderFunctions& Loader) {
  // A Vulkan 1.0 loader has no vkEnumerateInstanceVersion and refuses any other version.
  std::uint32_t LoaderVersion = VK_API_VERSION_1_0;
  if (Loader.vkEnumerateInstanceVersion && Loader.vkEnumerateInstanceVersion(&LoaderVersion) != VK_SUCCESS)
    LoaderVersion = VK_API_VERSION_1_0;
  return std::min(LoaderVersion, WantedApiVersion);
}

}  // namespace

std::shared_ptr<const TVulkanInstance> TVulkanInstance::Open(const std::string& LoaderFileName) {
  std::shared_ptr<const TVulkanLibrary> Library = TVulkanLibrary::Open(LoaderFileName);
  if (!Library) return nullptr;
  TVulkanLoaderFunctions Loader;
  if (!BindLoaderFunctions(Loader, Library->GetInstanceProcAddr())) return nullptr;
  const std::uint32_t ApiVersion = InstanceApiVersion(Loader);

  VkApplicationInfo Application{};
  Application.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
  Application.pApplicationName = "Velmora";
  Application.apiVersion = ApiVersion;
  VkInstanceCreateInfo InstanceInfo{};
  InstanceInfo.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
  InstanceInfo.pApplicationInfo = &Application;
  VkInstance Handle = VK_NULL_HANDLE;
  if (Loader.vkCreateInstance(&InstanceInfo, nullptr, &Handle) != VK_SUCCESS) return nullptr;

  const PFN_vkGetInstanceProcAddr GetInstanceProcAddr = Library->GetInstanceProcAddr();
  auto Instance = std::make_shared<TVulkanInstance>(TPassKey{}, std::move(Library), Handle, ApiVersion);
  // From here the instance is destroyed by its owner, with vkDestroyInstance if that was found.
  if (!BindInstanceFunctions(Instance->FFunctions, GetInstanceProcAddr, Handle, ApiVersion)) return nullptr;
  return Instance;
}

TVulkanInstance::~TVulkanInstance() {
  if (FFunctions.vkDestroyInstance) FFunctions.vkDestroyInstance(FInstance, nullptr);
}
