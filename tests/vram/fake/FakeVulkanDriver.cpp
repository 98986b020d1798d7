// A Vulkan driver for the tests, loaded by the real Vulkan loader through its manifest: adapters
// modelled on real graphics cards as their public Vulkan reports show them (heaps, memory types,
// budget, PCI address), with memory served from ordinary pages so that the tests walk it. The
// adapters are named in VELMORA_FAKE_VULKAN_ADAPTERS, read each time an instance is made (see
// FakeVulkan.h). Only the driver's entry points for the loader are exported.

#define VK_NO_PROTOTYPES
#include <sys/mman.h>
#include <vulkan/vk_icd.h>
#include <vulkan/vulkan.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
constexpr std::uint64_t GiB = std::uint64_t{1} << 30;
constexpr VkMemoryPropertyFlags DL = VK_MEMORY_PROPERTY_DEVICE_LOCAL_BIT;
constexpr VkMemoryPropertyFlags HV = VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT | VK_MEMORY_PROPERTY_HOST_COHERENT_BIT;
constexpr VkMemoryPropertyFlags HC = VK_MEMORY_PROPERTY_HOST_CACHED_BIT;

struct THeapModel {
  std::uint64_t Size;
  bool DeviceLocal;
  std::uint64_t Budget;        // what VK_EXT_memory_budget reports as this process's budget
  std::uint64_t UsedByOthers;  // usage that is not this process's: the desktop, other programs
};

struct TTypeModel {
  VkMemoryPropertyFlags Flags;
  std::uint32_t Heap;
};

struct TPciAddress {
  std::uint32_t Domain, Bus, Device, Function;
};

struct TAdapterModel {
  const char* Key;  // its name in VELMORA_FAKE_VULKAN_ADAPTERS
  const char* Name;
  VkPhysicalDeviceType Type;
  std::uint32_t VendorID, DeviceID;
  std::vector<THeapModel> Heaps;
  std::vector<TTypeModel> Types;
  bool HasBudget;
  bool HasPciAddress;
  TPciAddress Pci;
};

// Figures as public Vulkan reports of these cards give them.
const TAdapterModel Models[] = {
    // Resizable BAR off: the processor reaches a 256 MiB window of the card's memory, of which the
    // driver budgets 214 MiB for a process and uses 22 MiB itself.
    {"small-bar", "NVIDIA GeForce RTX 2070 SUPER", VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 0x10DE, 0x1E84,
     {{8 * GiB, true, 7600 * MiB, 350 * MiB}, {16 * GiB, false, 12 * GiB, 1 * GiB}, {256 * MiB, true, 214 * MiB, 22 * MiB}},
     {{DL, 0}, {HV, 1}, {HV | HC, 1}, {DL | HV, 2}},
     true, true, {0, 1, 0, 0}},
    // Resizable BAR on: the mappable type lives in the card's whole memory.
    {"resizable-bar", "NVIDIA GeForce RTX 3070", VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 0x10DE, 0x2484,
     {{8 * GiB, true, 7600 * MiB, 350 * MiB}, {16 * GiB, false, 12 * GiB, 1 * GiB}},
     {{DL, 0}, {HV, 1}, {HV | HC, 1}, {DL | HV, 0}},
     true, true, {0, 1, 0, 0}},
    // An integrated GPU: one heap of system memory, cached, all of it device-local and mappable.
    {"integrated", "Intel(R) UHD Graphics 630 (CFL GT2)", VK_PHYSICAL_DEVICE_TYPE_INTEGRATED_GPU, 0x8086, 0x3E92,
     {{12 * GiB, true, 11 * GiB, 512 * MiB}},
     {{DL | HV | HC, 0}},
     true, true, {0, 0, 2, 0}},
    // An older driver that offers no device-local memory the processor can map, and no budget.
    {"no-window", "NVIDIA GeForce GTX 1060 6GB", VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU, 0x10DE, 0x1C03,
     {{6 * GiB, true, 0, 0}, {16 * GiB, false, 0, 0}},
     {{DL, 0}, {HV, 1}, {HV | HC, 1}},
     false, true, {0, 3, 0, 0}},
};

const TAdapterModel* FindModel(std::string_view Key) {
  for (const TAdapterModel& Model : Models)
    if (Key == Model.Key) return &Model;
  return nullptr;
}

}  // namespace

// The dispatchable handles begin with the loader's slot, as the loader requires of a driver.
struct VkPhysicalDevice_T {
  VK_LOADER_DATA LoaderData;
  const TAdapterModel* Model;
  std::array<std::uint64_t, VK_MAX_MEMORY_HEAPS> Allocated{};  // bytes this process holds per heap
};

struct VkInstance_T {
  VK_LOADER_DATA LoaderData;
  std::vector<std::unique_ptr<VkPhysicalDevice_T>> Adapters;
};

struct VkDevice_T {
  VK_LOADER_DATA LoaderData;
  VkPhysicalDevice_T* Adapter;
};

struct VkBuffer_T {
  VkDeviceSize Size;
};

struct VkDeviceMemory_T {
  void* Address;
  VkDeviceSize Size;
  std::uint32_t Heap;
  VkPhysicalDevice_T* Adapter;
};

namespace {

const char* const BudgetExtension = VK_EXT_MEMORY_BUDGET_EXTENSION_NAME;
const char* const PciExtension = VK_EXT_PCI_BUS_INFO_EXTENSION_NAME;

std::vector<const char*> DeviceExtensions(const TAdapterModel& Model) {
  std::vector<const char*> Names;
  if (Model.HasBudget) Names.push_back(BudgetExtension);
  if (Model.HasPciAddress) Names.push_back(PciExtension);
  return Names;
}

// The two-call protocol of Vulkan's enumerations.
template <typename TItem>
VkResult Enumerate(const std::vector<TItem>& Items, std::uint32_t* Count, TItem* Output) {
  if (Output == nullptr) {
    *Count = static_cast<std::uint32_t>(Items.size());
    return VK_SUCCESS;
  }
  const std::uint32_t Written = std::min<std::uint32_t>(*Count, static_cast<std::uint32_t>(Items.size()));
  std::copy_n(Items.begin(), Written, Output);
  *Count = Written;
  return Written < Items.size() ? VK_INCOMPLETE : VK_SUCCESS;
}

// Walks a pNext chain for the structure of type Wanted.
template <typename TStructure>
TStructure* FindInChain(void* Next, VkStructureType Wanted) {
  for (auto* Header = static_cast<VkBaseOutStructure*>(Next); Header != nullptr; Header = Header->pNext)
    if (Header->sType == Wanted) return reinterpret_cast<TStructure*>(Header);
  return nullptr;
}

VKAPI_ATTR VkResult VKAPI_CALL EnumerateInstanceVersion(std::uint32_t* ApiVersion) {
  *ApiVersion = VK_API_VERSION_1_3;
  return VK_SUCCESS;
}

VKAPI_ATTR VkResult VKAPI_CALL EnumerateInstanceExtensionProperties(const char*, std::uint32_t* Count,
                                                                    VkExtensionProperties* Properties) {
  return Enumerate(std::vector<VkExtensionProperties>{}, Count, Properties);
}

VKAPI_ATTR VkResult VKAPI_CALL CreateInstance(const VkInstanceCreateInfo*, const VkAllocationCallbacks*,
                                              VkInstance* Instance) {
  auto Made = std::make_unique<VkInstance_T>();
  set_loader_magic_value(Made.get());
  const char* const Names = std::getenv("VELMORA_FAKE_VULKAN_ADAPTERS");
  std::string_view Rest = Names != nullptr ? Names : "";
  while (!Rest.empty()) {
    const std::size_t Comma = Rest.find(',');
    const std::string_view Key = Rest.substr(0, Comma);
    Rest = Comma == std::string_view::npos ? std::string_view() : Rest.substr(Comma + 1);
    const TAdapterModel* Model = FindModel(Key);
    if (Model == nullptr) {
      std::fprintf(stderr, "fake Vulkan driver: no adapter model '%.*s'\n", static_cast<int>(Key.size()), Key.data());
      return VK_ERROR_INITIALIZATION_FAILED;
    }
    auto Adapter = std::make_unique<VkPhysicalDevice_T>();
    set_loader_magic_value(Adapter.get());
    Adapter->Model = Model;
    Made->Adapters.push_back(std::move(Adapter));
  }
  *Instance = Made.release();
  return VK_SUCCESS;
}

VKAPI_ATTR void VKAPI_CALL DestroyInstance(VkInstance Instance, const VkAllocationCallbacks*) { delete Instance; }

VKAPI_ATTR VkResult VKAPI_CALL EnumeratePhysicalDevices(VkInstance Instance, std::uint32_t* Count,
                                                        VkPhysicalDevice* Adapters) {
  std::vector<VkPhysicalDevice> Handles;
  for (const auto& Adapter : Instance->Adapters) Handles.push_back(Adapter.get());
  return Enumerate(Handles, Count, Adapters);
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceProperties(VkPhysicalDevice Adapter, VkPhysicalDeviceProperties* Properties) {
  const TAdapterModel& Model = *Adapter->Model;
  *Properties = {};
  Properties->apiVersion = VK_API_VERSION_1_3;
  Properties->driverVersion = VK_MAKE_API_VERSION(0, 1, 0, 0);
  Properties->vendorID = Model.VendorID;
  Properties->deviceID = Model.DeviceID;
  Properties->deviceType = Model.Type;
  std::strncpy(Properties->deviceName, Model.Name, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE - 1);
}

// The largest device-local heap: the card's own memory.
std::uint64_t LargestDeviceLocalHeap(const TAdapterModel& Model) {
  std::uint64_t Largest = 0;
  for (const THeapModel& Heap : Model.Heaps)
    if (Heap.DeviceLocal) Largest = std::max(Largest, Heap.Size);
  return Largest;
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceProperties2(VkPhysicalDevice Adapter,
                                                        VkPhysicalDeviceProperties2* Properties) {
  GetPhysicalDeviceProperties(Adapter, &Properties->properties);
  const TAdapterModel& Model = *Adapter->Model;
  if (auto* Maintenance3 = FindInChain<VkPhysicalDeviceMaintenance3Properties>(
          Properties->pNext, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MAINTENANCE_3_PROPERTIES)) {
    Maintenance3->maxPerSetDescriptors = 1024;
    Maintenance3->maxMemoryAllocationSize = LargestDeviceLocalHeap(Model);
  }
  if (auto* Maintenance4 = FindInChain<VkPhysicalDeviceMaintenance4Properties>(
          Properties->pNext, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MAINTENANCE_4_PROPERTIES))
    Maintenance4->maxBufferSize = LargestDeviceLocalHeap(Model);
  auto* Pci = FindInChain<VkPhysicalDevicePCIBusInfoPropertiesEXT>(
      Properties->pNext, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PCI_BUS_INFO_PROPERTIES_EXT);
  if (Pci != nullptr && Model.HasPciAddress) {
    Pci->pciDomain = Model.Pci.Domain;
    Pci->pciBus = Model.Pci.Bus;
    Pci->pciDevice = Model.Pci.Device;
    Pci->pciFunction = Model.Pci.Function;
  }
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceMemoryProperties(VkPhysicalDevice Adapter,
                                                             VkPhysicalDeviceMemoryProperties* Memory) {
  const TAdapterModel& Model = *Adapter->Model;
  *Memory = {};
  for (const THeapModel& Heap : Model.Heaps)
    Memory->memoryHeaps[Memory->memoryHeapCount++] = {
        Heap.Size, Heap.DeviceLocal ? VkMemoryHeapFlags{VK_MEMORY_HEAP_DEVICE_LOCAL_BIT} : VkMemoryHeapFlags{0}};
  for (const TTypeModel& Type : Model.Types) Memory->memoryTypes[Memory->memoryTypeCount++] = {Type.Flags, Type.Heap};
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceMemoryProperties2(VkPhysicalDevice Adapter,
                                                              VkPhysicalDeviceMemoryProperties2* Memory) {
  GetPhysicalDeviceMemoryProperties(Adapter, &Memory->memoryProperties);
  const TAdapterModel& Model = *Adapter->Model;
  auto* Budget = FindInChain<VkPhysicalDeviceMemoryBudgetPropertiesEXT>(
      Memory->pNext, VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MEMORY_BUDGET_PROPERTIES_EXT);
  if (Budget == nullptr || !Model.HasBudget) return;
  for (std::size_t Heap = 0; Heap < Model.Heaps.size(); ++Heap) {
    Budget->heapBudget[Heap] = Model.Heaps[Heap].Budget;
    Budget->heapUsage[Heap] = Model.Heaps[Heap].UsedByOthers + Adapter->Allocated[Heap];
  }
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceQueueFamilyProperties(VkPhysicalDevice, std::uint32_t* Count,
                                                                  VkQueueFamilyProperties* Families) {
  VkQueueFamilyProperties Family{};
  Family.queueFlags = VK_QUEUE_GRAPHICS_BIT | VK_QUEUE_COMPUTE_BIT | VK_QUEUE_TRANSFER_BIT;
  Family.queueCount = 1;
  Family.timestampValidBits = 64;
  Family.minImageTransferGranularity = {1, 1, 1};
  Enumerate(std::vector<VkQueueFamilyProperties>{Family}, Count, Families);
}

// What the loader requires of every driver, though the program asks none of it: no features, no
// formats.
VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceFeatures(VkPhysicalDevice, VkPhysicalDeviceFeatures* Features) {
  *Features = {};
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceFormatProperties(VkPhysicalDevice, VkFormat,
                                                             VkFormatProperties* Properties) {
  *Properties = {};
}

VKAPI_ATTR VkResult VKAPI_CALL GetPhysicalDeviceImageFormatProperties(VkPhysicalDevice, VkFormat, VkImageType,
                                                                      VkImageTiling, VkImageUsageFlags,
                                                                      VkImageCreateFlags, VkImageFormatProperties*) {
  return VK_ERROR_FORMAT_NOT_SUPPORTED;
}

VKAPI_ATTR void VKAPI_CALL GetPhysicalDeviceSparseImageFormatProperties(VkPhysicalDevice, VkFormat, VkImageType,
                                                                        VkSampleCountFlagBits, VkImageUsageFlags,
                                                                        VkImageTiling, std::uint32_t* Count,
                                                                        VkSparseImageFormatProperties*) {
  *Count = 0;
}

VKAPI_ATTR VkResult VKAPI_CALL EnumerateDeviceExtensionProperties(VkPhysicalDevice Adapter, const char* LayerName,
                                                                  std::uint32_t* Count,
                                                                  VkExtensionProperties* Properties) {
  std::vector<VkExtensionProperties> Extensions;
  if (LayerName == nullptr)
    for (const char* Name : DeviceExtensions(*Adapter->Model)) {
      VkExtensionProperties Extension{};
      std::strncpy(Extension.extensionName, Name, VK_MAX_EXTENSION_NAME_SIZE - 1);
      Extension.specVersion = 1;
      Extensions.push_back(Extension);
    }
  return Enumerate(Extensions, Count, Properties);
}

VKAPI_ATTR VkResult VKAPI_CALL CreateDevice(VkPhysicalDevice Adapter, const VkDeviceCreateInfo* Info,
                                            const VkAllocationCallbacks*, VkDevice* Device) {
  const std::vector<const char*> Offered = DeviceExtensions(*Adapter->Model);
  for (std::uint32_t Index = 0; Index < Info->enabledExtensionCount; ++Index)
    if (std::none_of(Offered.begin(), Offered.end(), [&](const char* Name) {
          return std::strcmp(Name, Info->ppEnabledExtensionNames[Index]) == 0;
        }))
      return VK_ERROR_EXTENSION_NOT_PRESENT;
  auto* Made = new VkDevice_T{};
  set_loader_magic_value(Made);
  Made->Adapter = Adapter;
  *Device = Made;
  return VK_SUCCESS;
}

VKAPI_ATTR void VKAPI_CALL DestroyDevice(VkDevice Device, const VkAllocationCallbacks*) { delete Device; }

VKAPI_ATTR VkResult VKAPI_CALL CreateBuffer(VkDevice, const VkBufferCreateInfo* Info, const VkAllocationCallbacks*,
                                            VkBuffer* Buffer) {
  *Buffer = new VkBuffer_T{Info->size};
  return VK_SUCCESS;
}

VKAPI_ATTR void VKAPI_CALL DestroyBuffer(VkDevice, VkBuffer Buffer, const VkAllocationCallbacks*) { delete Buffer; }

VKAPI_ATTR void VKAPI_CALL GetBufferMemoryRequirements(VkDevice Device, VkBuffer Buffer,
                                                       VkMemoryRequirements* Requirements) {
  constexpr VkDeviceSize Alignment = 256;
  Requirements->alignment = Alignment;
  Requirements->size = (Buffer->Size + Alignment - 1) / Alignment * Alignment;
  Requirements->memoryTypeBits = (1u << Device->Adapter->Model->Types.size()) - 1;
}

VKAPI_ATTR VkResult VKAPI_CALL AllocateMemory(VkDevice Device, const VkMemoryAllocateInfo* Info,
                                              const VkAllocationCallbacks*, VkDeviceMemory* Memory) {
  VkPhysicalDevice_T& Adapter = *Device->Adapter;
  const TAdapterModel& Model = *Adapter.Model;
  if (Info->memoryTypeIndex >= Model.Types.size()) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
  const std::uint32_t Heap = Model.Types[Info->memoryTypeIndex].Heap;
  // A heap holds no more than its size, whatever the budget says.
  if (Info->allocationSize > Model.Heaps[Heap].Size - Adapter.Allocated[Heap]) return VK_ERROR_OUT_OF_DEVICE_MEMORY;
  void* Address = mmap(nullptr, Info->allocationSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (Address == MAP_FAILED) return VK_ERROR_OUT_OF_HOST_MEMORY;
  Adapter.Allocated[Heap] += Info->allocationSize;
  *Memory = new VkDeviceMemory_T{Address, Info->allocationSize, Heap, &Adapter};
  return VK_SUCCESS;
}

VKAPI_ATTR void VKAPI_CALL FreeMemory(VkDevice, VkDeviceMemory Memory, const VkAllocationCallbacks*) {
  if (Memory == VK_NULL_HANDLE) return;
  munmap(Memory->Address, Memory->Size);
  Memory->Adapter->Allocated[Memory->Heap] -= Memory->Size;
  delete Memory;
}

VKAPI_ATTR VkResult VKAPI_CALL BindBufferMemory(VkDevice, VkBuffer, VkDeviceMemory, VkDeviceSize) { return VK_SUCCESS; }

VKAPI_ATTR VkResult VKAPI_CALL MapMemory(VkDevice Device, VkDeviceMemory Memory, VkDeviceSize Offset, VkDeviceSize,
                                         VkMemoryMapFlags, void** Data) {
  const TAdapterModel& Model = *Device->Adapter->Model;
  // Memory of a type the processor cannot see cannot be mapped.
  bool HostVisible = false;
  for (const TTypeModel& Type : Model.Types)
    if (Type.Heap == Memory->Heap && (Type.Flags & VK_MEMORY_PROPERTY_HOST_VISIBLE_BIT)) HostVisible = true;
  if (!HostVisible) return VK_ERROR_MEMORY_MAP_FAILED;
  *Data = static_cast<char*>(Memory->Address) + Offset;
  return VK_SUCCESS;
}

VKAPI_ATTR void VKAPI_CALL UnmapMemory(VkDevice, VkDeviceMemory) {}

struct TEntryPoint {
  const char* Name;
  PFN_vkVoidFunction Function;
};

#define VELMORA_FAKE_ENTRY(Name, Function) {Name, reinterpret_cast<PFN_vkVoidFunction>(&Function)}

const TEntryPoint DeviceEntryPoints[] = {
    VELMORA_FAKE_ENTRY("vkDestroyDevice", DestroyDevice),
    VELMORA_FAKE_ENTRY("vkCreateBuffer", CreateBuffer),
    VELMORA_FAKE_ENTRY("vkDestroyBuffer", DestroyBuffer),
    VELMORA_FAKE_ENTRY("vkGetBufferMemoryRequirements", GetBufferMemoryRequirements),
    VELMORA_FAKE_ENTRY("vkAllocateMemory", AllocateMemory),
    VELMORA_FAKE_ENTRY("vkFreeMemory", FreeMemory),
    VELMORA_FAKE_ENTRY("vkBindBufferMemory", BindBufferMemory),
    VELMORA_FAKE_ENTRY("vkMapMemory", MapMemory),
    VELMORA_FAKE_ENTRY("vkUnmapMemory", UnmapMemory),
};

const TEntryPoint InstanceEntryPoints[] = {
    VELMORA_FAKE_ENTRY("vkEnumerateInstanceVersion", EnumerateInstanceVersion),
    VELMORA_FAKE_ENTRY("vkEnumerateInstanceExtensionProperties", EnumerateInstanceExtensionProperties),
    VELMORA_FAKE_ENTRY("vkCreateInstance", CreateInstance),
    VELMORA_FAKE_ENTRY("vkDestroyInstance", DestroyInstance),
    VELMORA_FAKE_ENTRY("vkEnumeratePhysicalDevices", EnumeratePhysicalDevices),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceProperties", GetPhysicalDeviceProperties),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceProperties2", GetPhysicalDeviceProperties2),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceProperties2KHR", GetPhysicalDeviceProperties2),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceMemoryProperties", GetPhysicalDeviceMemoryProperties),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceMemoryProperties2", GetPhysicalDeviceMemoryProperties2),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceMemoryProperties2KHR", GetPhysicalDeviceMemoryProperties2),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceQueueFamilyProperties", GetPhysicalDeviceQueueFamilyProperties),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceFeatures", GetPhysicalDeviceFeatures),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceFormatProperties", GetPhysicalDeviceFormatProperties),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceImageFormatProperties", GetPhysicalDeviceImageFormatProperties),
    VELMORA_FAKE_ENTRY("vkGetPhysicalDeviceSparseImageFormatProperties", GetPhysicalDeviceSparseImageFormatProperties),
    VELMORA_FAKE_ENTRY("vkEnumerateDeviceExtensionProperties", EnumerateDeviceExtensionProperties),
    VELMORA_FAKE_ENTRY("vkCreateDevice", CreateDevice),
};

#undef VELMORA_FAKE_ENTRY

PFN_vkVoidFunction Find(const TEntryPoint* First, const TEntryPoint* Last, const char* Name) {
  const TEntryPoint* Found =
      std::find_if(First, Last, [&](const TEntryPoint& Entry) { return std::strcmp(Entry.Name, Name) == 0; });
  return Found != Last ? Found->Function : nullptr;
}

VKAPI_ATTR PFN_vkVoidFunction VKAPI_CALL GetDeviceProcAddr(VkDevice, const char* Name) {
  return Find(std::begin(DeviceEntryPoints), std::end(DeviceEntryPoints), Name);
}

}  // namespace

extern "C" {

__attribute__((visibility("default"))) VKAPI_ATTR VkResult VKAPI_CALL
vk_icdNegotiateLoaderICDInterfaceVersion(std::uint32_t* Version) {
  // Version 5: handles are made as the loader expects and any API version may be asked for.
  *Version = std::min<std::uint32_t>(*Version, 5);
  return VK_SUCCESS;
}

__attribute__((visibility("default"))) VKAPI_ATTR PFN_vkVoidFunction VKAPI_CALL
vk_icdGetInstanceProcAddr(VkInstance, const char* Name) {
  if (std::strcmp(Name, "vkGetDeviceProcAddr") == 0) return reinterpret_cast<PFN_vkVoidFunction>(&GetDeviceProcAddr);
  if (PFN_vkVoidFunction Function = Find(std::begin(InstanceEntryPoints), std::end(InstanceEntryPoints), Name))
    return Function;
  return Find(std::begin(DeviceEntryPoints), std::end(DeviceEntryPoints), Name);
}

__attribute__((visibility("default"))) VKAPI_ATTR PFN_vkVoidFunction VKAPI_CALL
vk_icdGetPhysicalDeviceProcAddr(VkInstance Instance, const char* Name) {
  return vk_icdGetInstanceProcAddr(Instance, Name);
}

}  // extern "C"
