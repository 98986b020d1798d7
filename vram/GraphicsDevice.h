#pragma once
// The graphics adapter as the video memory allocator sees it: a device on the default adapter,
// its description, buffers in the adapter's memory mapped into the process, and the free memory.
// Vulkan provides it in the program; the tests hand the allocator a fake one.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "AdapterMemory.h"

// The kind of memory a buffer lives in, as the adapter describes it.
struct TGraphicsMemoryType {
  std::uint32_t Index = 0;             // among the adapter's memory types
  std::vector<std::string> Flags;      // "DEVICE_LOCAL", "HOST_VISIBLE", ...
  std::uint32_t HeapIndex = 0;         // the heap the type draws from
  std::uint64_t HeapSize = 0;          // bytes
  std::vector<std::string> HeapFlags;  // "DEVICE_LOCAL", ...
};

// One buffer in the adapter's memory. Destroying it releases the buffer, mapped or not.
class TGraphicsBuffer {
 public:
  virtual ~TGraphicsBuffer() = default;
  // Maps all of the buffer for reading and writing, every page backed before it is handed out;
  // null on failure. The address stays valid until Unmap or the buffer's release.
  virtual void* Map() = 0;
  // false when the buffer is not mapped.
  virtual bool Unmap() = 0;
  // Where the buffer's memory lives; empty where the adapter does not say.
  virtual std::optional<TGraphicsMemoryType> MemoryType() const { return std::nullopt; }
};

// A device opened on one adapter.
class TGraphicsDevice {
 public:
  virtual ~TGraphicsDevice() = default;
  // The adapter's name, as the log shows it.
  virtual std::string Description() const = 0;
  // The driver's name and version; empty where the adapter does not say.
  virtual std::string DriverVersion() const { return ""; }
  // A buffer of Size bytes in memory that the adapter holds and the processor can map; null when
  // no such memory can hold it whole.
  virtual std::unique_ptr<TGraphicsBuffer> CreateBuffer(std::uint64_t Size) = 0;
  // Bytes of the adapter's own memory still to be had: what users call free VRAM.
  virtual std::uint64_t FreeMemory() const = 0;
  // What the processor can reach of the adapter's memory, as it stands now.
  virtual TAdapterMemory Memory() const = 0;
};

// One adapter as the graphics interface lists it, without opening a device on it.
struct TAdapterDescription {
  std::string Name;
  std::string Kind;        // "discrete GPU", "integrated GPU", "virtual GPU", "CPU" or "other"
  bool IsDefault = false;  // the adapter that OpenDefaultDevice opens
  TAdapterMemory Memory;
};

// The graphics interface itself, once opened.
class TGraphicsInterface {
 public:
  virtual ~TGraphicsInterface() = default;
  // A device on the default adapter; null when no usable device can be opened.
  virtual std::unique_ptr<TGraphicsDevice> OpenDefaultDevice() = 0;
  // Every adapter, in the interface's order; empty when there is none.
  virtual std::vector<TAdapterDescription> Adapters() = 0;
};

// Opens the graphics interface; null when it is not there.
using TGraphicsInterfaceFactory = std::function<std::unique_ptr<TGraphicsInterface>()>;
