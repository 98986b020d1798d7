#include "VulkanGraphics.h"

#include <array>
#include <atomic>
#include <cstring>
#include <optional>

#include "PageBacking.h"
#include "VulkanAdapter.h"
#include "VulkanDescriptions.h"
#include "VulkanMemoryChoice.h"

namespace {

// What the allocator checks a block against.
struct TBlockLimits {
  VkPhysicalDeviceMemoryProperties Memory{};
  std::optional<std::uint64_t> MaxBufferSize;      // Vulkan 1.3
  std::optional<std::uint64_t> MaxAllocationSize;  // Vulkan 1.1
  bool SystemRAM = false;                          // the adapter's memory is the machine's RAM
};

// The memory types and heaps, the largest buffer and allocation, and whether the adapter's memory
// is the machine's RAM.
TBlockLimits ReadLimits(const TVulkanInstance& Instance, const TVulkanAdapter& Adapter) {
  const TVulkanInstanceFunctions& Functions = Instance.Functions();
  TBlockLimits Limits;
  Functions.vkGetPhysicalDeviceMemoryProperties(Adapter.Handle, &Limits.Memory);
  if (Adapter.HasProperties2) {
    VkPhysicalDeviceMaintenance4Properties Maintenance4{};
    Maintenance4.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MAINTENANCE_4_PROPERTIES;
    VkPhysicalDeviceMaintenance3Properties Maintenance3{};
    Maintenance3.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_MAINTENANCE_3_PROPERTIES;
    const bool HasMaintenance4 = Adapter.ApiVersion >= VK_API_VERSION_1_3;
    Maintenance3.pNext = HasMaintenance4 ? &Maintenance4 : nullptr;
    VkPhysicalDeviceProperties2 Properties2{};
    Properties2.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
    Properties2.pNext = &Maintenance3;
    Functions.vkGetPhysicalDeviceProperties2(Adapter.Handle, &Properties2);
    Limits.MaxAllocationSize = Maintenance3.maxMemoryAllocationSize;
    if (HasMaintenance4) Limits.MaxBufferSize = Maintenance4.maxBufferSize;
  }
  Limits.SystemRAM = Adapter.Properties.deviceType != VK_PHYSICAL_DEVICE_TYPE_DISCRETE_GPU;
  return Limits;
}

// What a device and its buffers share; the device is destroyed after its last buffer.
struct TVulkanDeviceState {
  TVulkanDeviceState(std::shared_ptr<const TVulkanInstance> Instance, const TVulkanAdapter& Adapter, VkDevice Device,
                     const TBlockLimits& Limits, TAvailableMemoryProbe AvailableSystemMemory, std::string SysfsRoot)
      : Instance(std::move(Instance)),
        Adapter(Adapter),
        Device(Device),
        Limits(Limits),
        AvailableSystemMemory(std::move(AvailableSystemMemory)),
        SysfsRoot(std::move(SysfsRoot)) {}
  ~TVulkanDeviceState() {
    if (Functions.vkDestroyDevice) Functions.vkDestroyDevice(Device, nullptr);
  }
  TVulkanDeviceState(const TVulkanDeviceState&) = delete;
  TVulkanDeviceState& operator=(const TVulkanDeviceState&) = delete;

  THeapBytes HeldNow() const {
    THeapBytes Bytes{};
    for (std::size_t Heap = 0; Heap < Bytes.size(); ++Heap) Bytes[Heap] = Held[Heap].load();
    return Bytes;
  }

  THeapBytes HeapFree() const {
    const std::optional<VkPhysicalDeviceMemoryBudgetPropertiesEXT> Budget = ReadBudget(*Instance, Adapter);
    return FreeBytesPerHeap(Limits.Memory, HeldNow(), Budget ? &*Budget : nullptr);
  }

  std::shared_ptr<const TVulkanInstance> Instance;  // destroyed only after the device
  TVulkanAdapter Adapter;
  VkDevice Device;
  TVulkanDeviceFunctions Functions;
  const TBlockLimits Limits;
  TAvailableMemoryProbe AvailableSystemMemory;
  std::string SysfsRoot;
  std::array<std::atomic<std::uint64_t>, VK_MAX_MEMORY_HEAPS> Held{};  // bytes of this allocator per heap
};

class TVulkanBuffer final : public TGraphicsBuffer {
 public:
  TVulkanBuffer(std::shared_ptr<TVulkanDeviceState> State, std::uint64_t Size)
      : FState(std::move(State)), FSize(Size) {}
  ~TVulkanBuffer() override {
    const TVulkanDeviceFunctions& Functions = FState->Functions;
    if (FBuffer != VK_NULL_HANDLE) Functions.vkDestroyBuffer(FState->Device, FBuffer, nullptr);
    // Freeing mapped memory unmaps it.
    if (FMemory != VK_NULL_HANDLE) {
      Functions.vkFreeMemory(FState->Device, FMemory, nullptr);
      FState->Held[FHeap] -= FAllocationSize;
    }
  }
  TVulkanBuffer(const TVulkanBuffer&) = delete;
  TVulkanBuffer& operator=(const TVulkanBuffer&) = delete;

  // Creates the buffer and its memory; false when the device cannot hold it.
  bool Create() {
    const TVulkanDeviceState& State = *FState;
    // A size of 0 is invalid usage in Vulkan; above the maximum the driver would fail or cut.
    if (FSize == 0 || (State.Limits.MaxBufferSize && FSize > *State.Limits.MaxBufferSize)) return false;
    VkBufferCreateInfo BufferInfo{};
    BufferInfo.sType = VK_STRUCTURE_TYPE_BUFFER_CREATE_INFO;
    BufferInfo.size = FSize;
    BufferInfo.usage = VK_BUFFER_USAGE_VERTEX_BUFFER_BIT;
    BufferInfo.sharingMode = VK_SHARING_MODE_EXCLUSIVE;
    if (State.Functions.vkCreateBuffer(State.Device, &BufferInfo, nullptr, &FBuffer) != VK_SUCCESS) {
      FBuffer = VK_NULL_HANDLE;
      return false;
    }
    VkMemoryRequirements Requirements{};
    State.Functions.vkGetBufferMemoryRequirements(State.Device, FBuffer, &Requirements);
    // Drivers accept allocations beyond their own limits and heap sizes and fail later, or let
    // the kernel kill the process when the pages are touched: what cannot be had is refused here.
    if (State.Limits.MaxAllocationSize && Requirements.size > *State.Limits.MaxAllocationSize) return false;
    if (State.Limits.SystemRAM && State.AvailableSystemMemory) {
      const std::optional<std::uint64_t> Available = State.AvailableSystemMemory();
      if (Available && Requirements.size > *Available) return false;
    }
    const std::optional<std::uint32_t> Type =
        ChooseBlockMemoryType(State.Limits.Memory, Requirements.memoryTypeBits, Requirements.size, State.HeapFree());
    if (!Type) return false;

    VkMemoryAllocateInfo AllocateInfo{};
    AllocateInfo.sType = VK_STRUCTURE_TYPE_MEMORY_ALLOCATE_INFO;
    AllocateInfo.allocationSize = Requirements.size;
    AllocateInfo.memoryTypeIndex = *Type;
    if (State.Functions.vkAllocateMemory(State.Device, &AllocateInfo, nullptr, &FMemory) != VK_SUCCESS) {
      FMemory = VK_NULL_HANDLE;
      return false;
    }
    FType = *Type;
    FHeap = State.Limits.Memory.memoryTypes[*Type].heapIndex;
    FAllocationSize = Requirements.size;
    FState->Held[FHeap] += FAllocationSize;
    return State.Functions.vkBindBufferMemory(State.Device, FBuffer, FMemory, 0) == VK_SUCCESS;
  }

  void* Map() override {
    if (FMapped) return FMapped;  // mapping twice is invalid in Vulkan; the one mapping serves
    void* Address = nullptr;
    if (FState->Functions.vkMapMemory(FState->Device, FMemory, 0, VK_WHOLE_SIZE, 0, &Address) != VK_SUCCESS ||
        !Address)
      return nullptr;
    BackWithRealPages(Address, FSize);
    FMapped = Address;
    return FMapped;
  }

  bool Unmap() override {
    if (!FMapped) return false;
    FState->Functions.vkUnmapMemory(FState->Device, FMemory);
    FMapped = nullptr;
    return true;
  }

  std::optional<TGraphicsMemoryType> MemoryType() const override {
    if (FMemory == VK_NULL_HANDLE) return std::nullopt;
    const VkPhysicalDeviceMemoryProperties& Memory = FState->Limits.Memory;
    const VkMemoryHeap& Heap = Memory.memoryHeaps[FHeap];
    return TGraphicsMemoryType{FType, MemoryPropertyNames(Memory.memoryTypes[FType].propertyFlags), FHeap, Heap.size,
                               MemoryHeapFlagNames(Heap.flags)};
  }

 private:
  std::shared_ptr<TVulkanDeviceState> FState;
  std::uint64_t FSize;
  VkBuffer FBuffer = VK_NULL_HANDLE;
  VkDeviceMemory FMemory = VK_NULL_HANDLE;
  std::uint32_t FType = 0;
  std::uint32_t FHeap = 0;
  std::uint64_t FAllocationSize = 0;
  void* FMapped = nullptr;
};

class TVulkanDevice final : public TGraphicsDevice {
 public:
  TVulkanDevice(std::shared_ptr<TVulkanDeviceState> State, std::string DriverVersion)
      : FState(std::move(State)),
        FDescription(AdapterName(FState->Adapter)),
        FDriverVersion(std::move(DriverVersion)),
        FOwnHeap(DeviceLocalHeapIndex(FState->Limits.Memory)) {}

  std::string Description() const override { return FDescription; }
  std::string DriverVersion() const override { return FDriverVersion; }

  std::unique_ptr<TGraphicsBuffer> CreateBuffer(std::uint64_t Size) override {
    auto Buffer = std::make_unique<TVulkanBuffer>(FState, Size);
    if (!Buffer->Create()) return nullptr;
    return Buffer;
  }

  std::uint64_t FreeMemory() const override { return FOwnHeap ? FState->HeapFree()[*FOwnHeap] : 0; }

  TAdapterMemory Memory() const override {
    TAdapterMemory Memory = ReadAdapterMemory(*FState->Instance, FState->Adapter, FState->Limits.Memory,
                                              FState->HeldNow(), FState->SysfsRoot);
    if (FState->Limits.SystemRAM && FState->AvailableSystemMemory) Memory.SystemAvailable = FState->AvailableSystemMemory();
    return Memory;
  }

 private:
  std::shared_ptr<TVulkanDeviceState> FState;
  std::string FDescription;
  std::string FDriverVersion;
  std::optional<std::uint32_t> FOwnHeap;  // the adapter's own memory
};

// The driver as a results file names it: its own name and text where Vulkan 1.2 reports them,
// else its packed version number.
std::string AdapterDriverVersion(const TVulkanInstance& Instance, const TVulkanAdapter& Adapter) {
  std::string Name;
  std::string Info;
  if (Adapter.HasProperties2 && Adapter.ApiVersion >= VK_API_VERSION_1_2) {
    VkPhysicalDeviceDriverProperties Driver{};
    Driver.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_DRIVER_PROPERTIES;
    VkPhysicalDeviceProperties2 Properties2{};
    Properties2.sType = VK_STRUCTURE_TYPE_PHYSICAL_DEVICE_PROPERTIES_2;
    Properties2.pNext = &Driver;
    Instance.Functions().vkGetPhysicalDeviceProperties2(Adapter.Handle, &Properties2);
    // Both are NUL-terminated within their arrays.
    Name.assign(Driver.driverName, strnlen(Driver.driverName, VK_MAX_DRIVER_NAME_SIZE));
    Info.assign(Driver.driverInfo, strnlen(Driver.driverInfo, VK_MAX_DRIVER_INFO_SIZE));
  }
  return DriverVersionText(Adapter.Properties.vendorID, Adapter.Properties.driverVersion, Name, Info);
}

// A device on Adapter with one queue and the memory budget enabled where the adapter has it;
// VK_NULL_HANDLE when the driver refuses it.
VkDevice CreateDevice(const TVulkanInstance& Instance, const TVulkanAdapter& Adapter) {
  const TVulkanInstanceFunctions& Functions = Instance.Functions();
  std::uint32_t FamilyCount = 0;
  Functions.vkGetPhysicalDeviceQueueFamilyProperties(Adapter.Handle, &FamilyCount, nullptr);
  if (FamilyCount == 0) return VK_NULL_HANDLE;  // a device needs at least one queue
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
  DeviceInfo.enabledExtensionCount = Adapter.HasBudget ? 1 : 0;
  DeviceInfo.ppEnabledExtensionNames = Adapter.HasBudget ? &BudgetExtension : nullptr;
  VkDevice Device = VK_NULL_HANDLE;
  if (Functions.vkCreateDevice(Adapter.Handle, &DeviceInfo, nullptr, &Device) != VK_SUCCESS) return VK_NULL_HANDLE;
  return Device;
}

class TVulkanGraphics final : public TGraphicsInterface {
 public:
  TVulkanGraphics(std::shared_ptr<const TVulkanInstance> Instance, TVulkanGraphicsOptions Options)
      : FInstance(std::move(Instance)), FOptions(std::move(Options)) {}

  std::unique_ptr<TGraphicsDevice> OpenDefaultDevice() override {
    const std::optional<TVulkanAdapter> Adapter = PickDefaultAdapter(*FInstance);
    if (!Adapter) return nullptr;
    const VkDevice Device = CreateDevice(*FInstance, *Adapter);
    if (Device == VK_NULL_HANDLE) return nullptr;
    auto State = std::make_shared<TVulkanDeviceState>(FInstance, *Adapter, Device, ReadLimits(*FInstance, *Adapter),
                                                      FOptions.AvailableSystemMemory, FOptions.SysfsRoot);
    // From here the device is destroyed by State, with vkDestroyDevice if that was found.
    if (!BindDeviceFunctions(State->Functions, FInstance->Functions().vkGetDeviceProcAddr, Device)) return nullptr;
    return std::make_unique<TVulkanDevice>(std::move(State), AdapterDriverVersion(*FInstance, *Adapter));
  }

  std::vector<TAdapterDescription> Adapters() override {
    const std::vector<TVulkanAdapter> Adapters = EnumerateAdapters(*FInstance);
    const std::optional<std::size_t> Default = DefaultAdapterOf(Adapters);
    std::vector<TAdapterDescription> Descriptions;
    for (std::size_t Index = 0; Index < Adapters.size(); ++Index) {
      const TVulkanAdapter& Adapter = Adapters[Index];
      VkPhysicalDeviceMemoryProperties Memory{};
      FInstance->Functions().vkGetPhysicalDeviceMemoryProperties(Adapter.Handle, &Memory);
      // Nothing of this program is held there: no device was opened on it for the listing.
      Descriptions.push_back({AdapterName(Adapter), AdapterKind(Adapter), Default == Index,
                              ReadAdapterMemory(*FInstance, Adapter, Memory, THeapBytes{}, FOptions.SysfsRoot)});
    }
    return Descriptions;
  }

 private:
  std::shared_ptr<const TVulkanInstance> FInstance;
  TVulkanGraphicsOptions FOptions;
};

}  // namespace

std::unique_ptr<TGraphicsInterface> OpenVulkanGraphics(const TVulkanGraphicsOptions& Options) {
  std::shared_ptr<const TVulkanInstance> Instance = TVulkanInstance::Open(Options.LoaderFileName);
  if (!Instance) return nullptr;
  return std::make_unique<TVulkanGraphics>(std::move(Instance), Options);
}
