#include "VulkanGraphics.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "PageBacking.h"
#include "VulkanMemoryChoice.h"

namespace {

// The highest version whose features are used (maximum buffer size); a newer loader or driver is
// asked for no more than this.
constexpr std::uint32_t WantedApiVersion = VK_API_VERSION_1_3;

template <typename TFunction>
bool LoadInstanceFunction(TFunction& Function, PFN_vkGetInstanceProcAddr GetInstanceProcAddr, VkInstance Instance,
                          const char* Name) {
  Function = reinterpret_cast<TFunction>(GetInstanceProcAddr(Instance, Name));
  return Function != nullptr;
}

template <typename TFunction>
bool LoadDeviceFunction(TFunction& Function, PFN_vkGetDeviceProcAddr GetDeviceProcAddr, VkDevice Device,
                        const char* Name) {
  Function = reinterpret_cast<TFunction>(GetDeviceProcAddr(Device, Name));
  return Function != nullptr;
}

struct TInstanceFunctions {
  PFN_vkDestroyInstance DestroyInstance = nullptr;
  PFN_vkEnumeratePhysicalDevices EnumeratePhysicalDevices = nullptr;
  PFN_vkGetPhysicalDeviceProperties GetPhysicalDeviceProperties = nullptr;
  PFN_vkGetPhysicalDeviceMemoryProperties GetPhysicalDeviceMemoryProperties = nullptr;
  PFN_vkGetPhysicalDeviceQueueFamilyProperties GetPhysicalDeviceQueueFamilyProperties = nullptr;
  PFN_vkEnumerateDeviceExtensionProperties EnumerateDeviceExtensionProperties = nullptr;
  PFN_vkCreateDevice CreateDevice = nullptr;
  PFN_vkGetDeviceProcAddr GetDeviceProcAddr = nullptr;
  // Vulkan 1.1; null on an older instance.
  PFN_vkGetPhysicalDeviceProperties2 GetPhysicalDeviceProperties2 = nullptr;
  PFN_vkGetPhysicalDeviceMemoryProperties2 GetPhysicalDeviceMemoryProperties2 = nullptr;
};

struct TDeviceFunctions {
  PFN_vkDestroyDevice DestroyDevice = nullptr;
  PFN_vkCreateBuffer CreateBuffer = nullptr;
  PFN_vkDestroyBuffer DestroyBuffer = nullptr;
  PFN_vkGetBufferMemoryRequirements GetBufferMemoryRequirements = nullptr;
  PFN_vkAllocateMemory AllocateMemory = nullptr;
  PFN_vkFreeMemory FreeMemory = nullptr;
  PFN_vkBindBufferMemory BindBufferMemory = nullptr;
  PFN_vkMapMemory MapMemory = nullptr;
  PFN_vkUnmapMemory UnmapMemory = nullptr;
};

// One Vulkan instance with its entry points; destroyed after every device made from it.
struct TVulkanInstance {
  TVulkanInstance(std::shared_ptr<const TVulkanLibrary> Library, VkInstance Instance, std::uint32_t ApiVersion)
      : Library(std::move(Library)), Instance(Instance), ApiVersion(ApiVersion) {}
  ~TVulkanInstance() {
    if (Functions.DestroyInstance) Functions.DestroyInstance(Instance, nullptr);
  }
  TVulkanInstance(const TVulkanInstance&) = delete;
  TVulkanInstance& operator=(const TVulkanInstance&) = delete;

  std::shared_ptr<const TVulkanLibrary> Library;  // unloaded only after the instance is gone
  VkInstance Instance;
  std::uint32_t ApiVersion;
  TInstanceFunctions Functions;
};

// What a device and its buffers share; the device is destroyed after its last buffer.
struct TVulkanDeviceState {
  TVulkanDeviceState(std::shared_ptr<const TVulkanInstance> Instance, VkDevice Device)
      : Instance(std::move(Instance)), Device(Device) {}
  ~TVulkanDeviceState() {
    if (Functions.DestroyDevice) Functions.DestroyDevice(Device, nullptr);
  }
  TVulkanDeviceState(const TVulkanDeviceState&) = delete;
  TVulkanDeviceState& operator=(const TVulkanDeviceState&) = delete;

  // The budget as the driver reports it now, or none where the driver has no budget.
  std::optional<VkPhysicalDeviceMemoryBudgetPropertiesEXT> CurrentBudget() const {
    if (!HasBudget) return std::nullopt;
    VkPhysicalDeviceMemoryBudgetPropertiesEXT Budget{};
    Budget.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MEMORY_BUDGET_PROPERTIES_EXT;
    VkPhysicalDeviceMemoryProperties2 Properties{};
    Properties.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MEMORY_PROPERTIES_2;
    Properties.pNext = &Budget;
    Instance->Functions.GetPhysicalDeviceMemoryProperties2(PhysicalDevice, &Properties);
    return Budget;
  }

  THeapBytes HeapFree() const {
    THeapBytes HeldNow{};
    for (std::size_t Heap = 0; Heap < HeldNow.size(); ++Heap) HeldNow[Heap] = Held[Heap].load();
    const std::optional<VkPhysicalDeviceMemoryBudgetPropertiesEXT> Budget = CurrentBudget();
    return FreeBytesPerHeap(Memory, HeldNow, Budget ? &*Budget : nullptr);
  }

  std::shared_ptr<const TVulkanInstance> Instance;  // destroyed only after the device
  VkPhysicalDevice PhysicalDevice = VK_NULL_HANDLE;
  VkDevice Device;
  TDeviceFunctions Functions;
  VkPhysicalDeviceMemoryProperties Memory{};
  std::optional<std::uint64_t> MaxBufferSize;      // Vulkan 1.3
  std::optional<std::uint64_t> MaxAllocationSize;  // Vulkan 1.1
  bool HasBudget = false;
  bool SystemRAM = false;  // the adapter's memory is the machine's RAM
  TAvailableMemoryProbe AvailableSystemMemory;
  std::array<std::atomic<std::uint64_t>, VK_MAX_MEMORY_HEAPS> Held{};  // bytes of this allocator per heap
};

class TVulkanBuffer final : public TGraphicsBuffer {
 public:
  TVulkanBuffer(std::shared_ptr<TVulkanDeviceState> State, std::uint64_t Size)
      : FState(std::move(State)), FSize(Size) {}
  ~TVulkanBuffer() override {
    const TDeviceFunctions& Functions = FState->Functions;
    if (FBuffer != VK_NULL_HANDLE) Functions.DestroyBuffer(FState->Device, FBuffer, nullptr);
    // Freeing mapped memory unmaps it.
    if (FMemory != VK_NULL_HANDLE) {
      Functions.FreeMemory(FState->Device, FMemory, nullptr);
      FState->Held[FHeap] -= FAllocationSize;
    }
  }
  TVulkanBuffer(const TVulkanBuffer&) = delete;
  TVulkanBuffer& operator=(const TVulkanBuffer&) = delete;

  // Creates the buffer and its memory; false when the device cannot hold it.
  bool Create() {
    const TVulkanDeviceState& State = *FState;
    // A size of 0 is invalid usage in Vulkan; above the maximum the driver would fail or cut.
    if (FSize == 0 || (State.MaxBufferSize && FSize > *State.MaxBufferSize)) return false;
    VkBufferCreateInfo BufferInfo{};
    BufferInfo.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    BufferInfo.size = FSize;
    BufferInfo.usage = VK_BUFFER_USAGE_VERTEX_BUFFER_BIT;
    BufferInfo.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    if (State.Functions.CreateBuffer(State.Device, &BufferInfo, nullptr, &FBuffer) != VK_SUCCESS) {
      FBuffer = VK_NULL_HANDLE;
      return false;
    }
    VkMemoryRequirements Requirements{};
    State.Functions.GetBufferMemoryRequirements(State.Device, FBuffer, &Requirements);
    // Drivers accept allocations beyond their own limits and heap sizes and fail later, or let
    // the kernel kill the process when the pages are touched: what cannot be had is refused here.
    if (State.MaxAllocationSize && Requirements.size > *State.MaxAllocationSize) return false;
    if (State.SystemRAM && State.AvailableSystemMemory) {
      const std::optional<std::uint64_t> Available = State.AvailableSystemMemory();
      if (Available && Requirements.size > *Available) return false;
    }
    const std::optional<std::uint32_t> Type =
        ChooseBlockMemoryType(State.Memory, Requirements.memoryTypeBits, Requirements.size, State.HeapFree());
    if (!Type) return false;

    VkMemoryAllocateInfo AllocateInfo{};
    AllocateInfo.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    AllocateInfo.allocationSize = Requirements.size;
    AllocateInfo.memoryTypeIndex = *Type;
    if (State.Functions.AllocateMemory(State.Device, &AllocateInfo, nullptr, &FMemory) != VK_SUCCESS) {
      FMemory = VK_NULL_HANDLE;
      return false;
    }
    FHeap = State.Memory.memoryTypes[*Type].heapIndex;
    FAllocationSize = Requirements.size;
    FState->Held[FHeap] += FAllocationSize;
    return State.Functions.BindBufferMemory(State.Device, FBuffer, FMemory, 0) == VK_SUCCESS;
  }

  void* Map() override {
    if (FMapped) return FMapped;  // mapping twice is invalid in Vulkan; the one mapping serves
    void* Address = nullptr;
    if (FState->Functions.MapMemory(FState->Device, FMemory, 0, VK_WHOLE_SIZE, 0, &Address) != VK_SUCCESS ||
        !Address)
      return nullptr;
    BackWithRealPages(Address, FSize);
    FMapped = Address;
    return FMapped;
  }

  bool Unmap() override {
    if (!FMapped) return false;
    FState->Functions.UnmapMemory(FState->Device, FMemory);
    FMapped = nullptr;
    return true;
  }

 private:
  std::shared_ptr<TVulkanDeviceState> FState;
  std::uint64_t FSize;
  VkBuffer FBuffer = VK_NULL_HANDLE;
  VkDeviceMemory FMemory = VK_NULL_HANDLE;
  std::uint32_t FHeap = 0;
  std::uint64_t FAllocationSize = 0;
  void* FMapped = nullptr;
};

class TVulkanDevice final : public TGraphicsDevice {
 public:
  TVulkanDevice(std::shared_ptr<TVulkanDeviceState> State, std::string Description,
                std::optional<std::uint32_t> ReportedHeap)
      : FState(std::move(State)), FDescription(std::move(Description)), FReportedHeap(ReportedHeap) {}

  std::string Description() const override { return FDescription; }

  std::unique_ptr<TGraphicsBuffer> CreateBuffer(std::uint64_t Size) override {
    auto Buffer = std::make_unique<TVulkanBuffer>(FState, Size);
    if (!Buffer->Create()) return nullptr;
    return Buffer;
  }

  std::uint64_t FreeMemory() const override { return FReportedHeap ? FState->HeapFree()[*FReportedHeap] : 0; }

 private:
  std::shared_ptr<TVulkanDeviceState> FState;
  std::string FDescription;
  std::optional<std::uint32_t> FReportedHeap;
};

bool HasDeviceExtension(const TInstanceFunctions& Functions, VkPhysicalDevice Device, const char* Name) {
  std::uint32_t Count = 0;
  if (Functions.EnumerateDeviceExtensionProperties(Device, nullptr, &Count, nullptr) != VK_SUCCESS) return false;
  std::vector<VkExtensionProperties> Extensions(Count);
  if (Functions.EnumerateDeviceExtensionProperties(Device, nullptr, &Count, Extensions.data()) < VK_SUCCESS)
    return false;
  Extensions.resize(Count);
  return std::any_of(Extensions.begin(), Extensions.end(),
                     [&](const VkExtensionProperties& Extension) { return std::strcmp(Extension.extensionName, Name) == 0; });
}

class TVulkanGraphics final : public TGraphicsInterface {
 public:
  TVulkanGraphics(std::shared_ptr<const TVulkanInstance> Instance, TAvailableMemoryProbe AvailableSystemMemory)
      : FInstance(std::move(Instance)), FAvailableSystemMemory(std::move(AvailableSystemMemory)) {}

  std::unique_ptr<TGraphicsDevice> OpenDefaultDevice() override {
    const TInstanceFunctions& Functions = FInstance->Functions;
    std::uint32_t Count = 0;
    if (Functions.EnumeratePhysicalDevices(FInstance->Instance, &Count, nullptr) != VK_SUCCESS || Count == 0)
      return nullptr;
    std::vector<VkPhysicalDevice> PhysicalDevices(Count);
    if (Functions.EnumeratePhysicalDevices(FInstance->Instance, &Count, PhysicalDevices.data()) < VK_SUCCESS)
      return nullptr;
    PhysicalDevices.resize(Count);

    std::vector<VkPhysicalDeviceProperties> Properties(PhysicalDevices.size());
    std::vector<VkPhysicalDeviceType> Types;
    for (std::size_t Index = 0; Index < PhysicalDevices.size(); ++Index) {
      Functions.GetPhysicalDeviceProperties(PhysicalDevices[Index], &Properties[Index]);
      Types.push_back(Properties[Index].deviceType);
    }
    const std::optional<std::size_t> Chosen = DefaultAdapterIndex(Types);
    if (!Chosen) return nullptr;
    const VkPhysicalDevice PhysicalDevice = PhysicalDevices[*Chosen];
    const VkPhysicalDeviceProperties& Adapter = Properties[*Chosen];

    // The version both the instance and the device speak.
    const std::uint32_t ApiVersion = std::min(FInstance->ApiVersion, Adapter.apiVersion);
    const bool HasProperties2 = ApiVersion >= VK_API_VERSION_1_1 && Functions.GetPhysicalDeviceProperties2 &&
                                Functions.GetPhysicalDeviceMemoryProperties2;
    const bool HasBudget =
        HasProperties2 && HasDeviceExtension(Functions, PhysicalDevice, VK_EXT_MEMORY_BUDGET_EXTENSION_NAME);

    std::uint32_t FamilyCount = 0;
    Functions.GetPhysicalDeviceQueueFamilyProperties(PhysicalDevice, &FamilyCount, nullptr);
    if (FamilyCount == 0) return nullptr;  // a device needs at least one queue
    const float Priority = 1.0f;
    VkDeviceQueueCreateInfo QueueInfo{};
    QueueInfo.sType = VK_STRUCTURE_TYPE_DEVICE_QUEUE_CREATE_INFO;
    QueueInfo.queueFamilyIndex = 0;
    QueueInfo.queueCount = 1;
    QueueInfo.pQueuePriorities = &Priority;
    const char* const BudgetExtension = VK_EXT_MEMORY_BUDGET_EXTENSION_NAME;
    VkDeviceCreateInfo DeviceInfo{};
    DeviceInfo.sType = VK_STRUCTURE_TYPE_DEVICE_CREATE_INFO;
    DeviceInfo.queueCreateInfoCount = 1;
    DeviceInfo.pQueueCreateInfos = &QueueInfo;
    DeviceInfo.enabledExtensionCount = HasBudget ? 1 : 0;
    DeviceInfo.ppEnabledExtensionNames = HasBudget ? &BudgetExtension : nullptr;
    VkDevice Device = VK_NULL_HANDLE;
    if (Functions.CreateDevice(PhysicalDevice, &DeviceInfo, nullptr, &Device) != VK_SUCCESS) return nullptr;

    auto State = std::make_shared<TVulkanDeviceState>(FInstance, Device);
    TDeviceFunctions& DeviceFunctions = State->Functions;
    // The device is destroyed by State from here on, so vkDestroyDevice is looked up first.
    LoadDeviceFunction(DeviceFunctions.DestroyDevice, Functions.GetDeviceProcAddr, Device, "vkDestroyDevice");
    if (!DeviceFunctions.DestroyDevice ||
        !LoadDeviceFunction(DeviceFunctions.CreateBuffer, Functions.GetDeviceProcAddr, Device, "vkCreateBuffer") ||
        !LoadDeviceFunction(DeviceFunctions.DestroyBuffer, Functions.GetDeviceProcAddr, Device, "vkDestroyBuffer") ||
        !LoadDeviceFunction(DeviceFunctions.GetBufferMemoryRequirements, Functions.GetDeviceProcAddr, Device,
                            "vkGetBufferMemoryRequirements") ||
        !LoadDeviceFunction(DeviceFunctions.AllocateMemory, Functions.GetDeviceProcAddr, Device, "vkAllocateMemory") ||
        !LoadDeviceFunction(DeviceFunctions.FreeMemory, Functions.GetDeviceProcAddr, Device, "vkFreeMemory") ||
        !LoadDeviceFunction(DeviceFunctions.BindBufferMemory, Functions.GetDeviceProcAddr, Device,
                            "vkBindBufferMemory") ||
        !LoadDeviceFunction(DeviceFunctions.MapMemory, Functions.GetDeviceProcAddr, Device, "vkMapMemory") ||
        !LoadDeviceFunction(DeviceFunctions.UnmapMemory, Functions.GetDeviceProcAddr, Device, "vkUnmapMemory"))
      return nullptr;

    State->PhysicalDevice = PhysicalDevice;
    Functions.GetPhysicalDeviceMemoryProperties(PhysicalDevice, &State->Memory);
    if (HasProperties2) {
      VkPhysicalDeviceMaintenance4Properties Maintenance4{};
      Maintenance4.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MAINTENANCE_4_PROPERTIES;
      VkPhysicalDeviceMaintenance3Properties Maintenance3{};
      Maintenance3.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MAINTENANCE_3_PROPERTIES;
      const bool HasMaintenance4 = ApiVersion >= VK_API_VERSION_1_3;
      Maintenance3.pNext = HasMaintenance4 ? &Maintenance4 : nullptr;
      VkPhysicalDeviceProperties2 Properties2{};
      Properties2.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
      Properties2.pNext = &Maintenance3;
      Functions.GetPhysicalDeviceProperties2(PhysicalDevice, &Properties2);
      State->MaxAllocationSize = Maintenance3.maxMemoryAllocationSize;
      if (HasMaintenance4) State->MaxBufferSize = Maintenance4.maxBufferSize;
    }
    State->HasBudget = HasBudget;
    State->SystemRAM = Adapter.deviceType != VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU;
    State->AvailableSystemMemory = FAvailableSystemMemory;
    // deviceName is NUL-terminated within its array.
    std::string Description(Adapter.deviceName, strnlen(Adapter.deviceName, VK_MAX_PHYSICAL_DEVICE_NAME_SIZE));
    const std::optional<std::uint32_t> ReportedHeap = ReportedHeapIndex(State->Memory);
    return std::make_unique<TVulkanDevice>(std::move(State), std::move(Description), ReportedHeap);
  }

 private:
  std::shared_ptr<const TVulkanInstance> FInstance;
  TAvailableMemoryProbe FAvailableSystemMemory;
};

}  // namespace

std::unique_ptr<TGraphicsInterface> OpenVulkanGraphics(const TVulkanGraphicsOptions& Options) {
  const std::shared_ptr<const TVulkanLibrary> Library = TVulkanLibrary::Open(Options.LoaderFileName);
  if (!Library) return nullptr;
  const PFN_vkGetInstanceProcAddr GetInstanceProcAddr = Library->GetInstanceProcAddr();

  PFN_vkCreateInstance CreateInstance = nullptr;
  if (!LoadInstanceFunction(CreateInstance, GetInstanceProcAddr, VK_NULL_HANDLE, "vkCreateInstance")) return nullptr;
  // A Vulkan 1.0 loader has no vkEnumerateInstanceVersion and refuses any other version.
  std::uint32_t LoaderVersion = VK_API_VERSION_1_0;
  PFN_vkEnumerateInstanceVersion EnumerateInstanceVersion = nullptr;
  if (LoadInstanceFunction(EnumerateInstanceVersion, GetInstanceProcAddr, VK_NULL_HANDLE,
                           "vkEnumerateInstanceVersion") &&
      EnumerateInstanceVersion(&LoaderVersion) != VK_SUCCESS)
    LoaderVersion = VK_API_VERSION_1_0;
  const std::uint32_t ApiVersion = std::min(LoaderVersion, WantedApiVersion);

  VkApplicationInfo Application{};
  Application.sType = VK_STRUCTURE_TYPE_APPLICATION_INFO;
  Application.pApplicationName = "Velmora";
  Application.apiVersion = ApiVersion;
  VkInstanceCreateInfo InstanceInfo{};
  InstanceInfo.sType = VK_STRUCTURE_TYPE_INSTANCE_CREATE_INFO;
  InstanceInfo.pApplicationInfo = &Application;
  VkInstance Handle = VK_NULL_HANDLE;
  if (CreateInstance(&InstanceInfo, nullptr, &Handle) != VK_SUCCESS) return nullptr;

  auto Instance = std::make_shared<TVulkanInstance>(Library, Handle, ApiVersion);
  TInstanceFunctions& Functions = Instance->Functions;
  // The instance is destroyed by its owner from here on, so vkDestroyInstance is looked up first.
  LoadInstanceFunction(Functions.DestroyInstance, GetInstanceProcAddr, Handle, "vkDestroyInstance");
  if (!Functions.DestroyInstance ||
      !LoadInstanceFunction(Functions.EnumeratePhysicalDevices, GetInstanceProcAddr, Handle,
                            "vkEnumeratePhysicalDevices") ||
      !LoadInstanceFunction(Functions.GetPhysicalDeviceProperties, GetInstanceProcAddr, Handle,
                            "vkGetPhysicalDeviceProperties") ||
      !LoadInstanceFunction(Functions.GetPhysicalDeviceMemoryProperties, GetInstanceProcAddr, Handle,
                            "vkGetPhysicalDeviceMemoryProperties") ||
      !LoadInstanceFunction(Functions.GetPhysicalDeviceQueueFamilyProperties, GetInstanceProcAddr, Handle,
                            "vkGetPhysicalDeviceQueueFamilyProperties") ||
      !LoadInstanceFunction(Functions.EnumerateDeviceExtensionProperties, GetInstanceProcAddr, Handle,
                            "vkEnumerateDeviceExtensionProperties") ||
      !LoadInstanceFunction(Functions.CreateDevice, GetInstanceProcAddr, Handle, "vkCreateDevice") ||
      !LoadInstanceFunction(Functions.GetDeviceProcAddr, GetInstanceProcAddr, Handle, "vkGetDeviceProcAddr"))
    return nullptr;
  if (ApiVersion >= VK_API_VERSION_1_1) {
    LoadInstanceFunction(Functions.GetPhysicalDeviceProperties2, GetInstanceProcAddr, Handle,
                         "vkGetPhysicalDeviceProperties2");
    LoadInstanceFunction(Functions.GetPhysicalDeviceMemoryProperties2, GetInstanceProcAddr, Handle,
                         "vkGetPhysicalDeviceMemoryProperties2");
  }
  return std::make_unique<TVulkanGraphics>(std::move(Instance), Options.AvailableSystemMemory);
}
