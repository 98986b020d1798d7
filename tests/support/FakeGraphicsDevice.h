#pragma once
// A graphics interface without hardware: an adapter with a given amount of memory, whose buffers
// are untouched anonymous mappings of their full size, so that the allocator and the GFX tests
// run without Vulkan. It records what happens to it, in order.

#include <sys/mman.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "GraphicsDevice.h"

struct TFakeGraphics {
  std::string Description = "Fake adapter";
  std::uint64_t TotalMemory = std::uint64_t{1} << 30;
  // The part of it the processor can map, from which blocks come; empty: all of it (resizable BAR).
  std::optional<std::uint64_t> Window;
  bool HasInterface = true;  // false: the interface cannot be opened
  bool HasDevice = true;     // false: no device can be opened
  bool MapFails = false;
  // What happened, in order: "create 4194304", "map", "unmap", "release 4194304", "close device", ...
  std::vector<std::string> Events;
  std::uint64_t Held = 0;
};

inline TAdapterMemory FakeAdapterMemory(const TFakeGraphics& Fake) {
  TAdapterMemory Memory;
  Memory.DeviceLocal = Fake.TotalMemory;
  Memory.DeviceLocalFree = Fake.TotalMemory - Fake.Held;
  Memory.Reachable = Fake.Window.value_or(Fake.TotalMemory);
  Memory.ReachableFree = Memory.Reachable > Fake.Held ? Memory.Reachable - Fake.Held : 0;
  Memory.Bar = Fake.Window ? TBarState::Off : TBarState::On;
  return Memory;
}

class TFakeGraphicsBuffer final : public TGraphicsBuffer {
 public:
  TFakeGraphicsBuffer(TFakeGraphics& Fake, std::uint64_t Size) : FFake(Fake), FSize(Size) {
    // Reserved, never touched: a 4 GB block costs nothing until a pass walks it.
    FAddress = mmap(nullptr, Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE, -1, 0);
    FFake.Held += Size;
    FFake.Events.push_back("create " + std::to_string(Size));
  }
  ~TFakeGraphicsBuffer() override {
    if (FAddress != MAP_FAILED) munmap(FAddress, FSize);
    FFake.Held -= FSize;
    FFake.Events.push_back("release " + std::to_string(FSize));
  }
  void* Map() override {
    FFake.Events.push_back("map");
    if (FFake.MapFails || FAddress == MAP_FAILED) return nullptr;
    FMapped = true;
    return FAddress;
  }
  bool Unmap() override {
    FFake.Events.push_back("unmap");
    const bool WasMapped = FMapped;
    FMapped = false;
    return WasMapped;
  }

 private:
  TFakeGraphics& FFake;
  std::uint64_t FSize;
  void* FAddress;
  bool FMapped = false;
};

class TFakeGraphicsDevice final : public TGraphicsDevice {
 public:
  explicit TFakeGraphicsDevice(TFakeGraphics& Fake) : FFake(Fake) {}
  ~TFakeGraphicsDevice() override { FFake.Events.push_back("close device"); }
  std::string Description() const override { return FFake.Description; }
  std::unique_ptr<TGraphicsBuffer> CreateBuffer(std::uint64_t Size) override {
    if (Size == 0 || Size > Memory().ReachableFree) {
      FFake.Events.push_back("refuse " + std::to_string(Size));
      return nullptr;
    }
    return std::make_unique<TFakeGraphicsBuffer>(FFake, Size);
  }
  std::uint64_t FreeMemory() const override { return FFake.TotalMemory - FFake.Held; }
  TAdapterMemory Memory() const override { return FakeAdapterMemory(FFake); }

 private:
  TFakeGraphics& FFake;
};

class TFakeGraphicsInterface final : public TGraphicsInterface {
 public:
  explicit TFakeGraphicsInterface(TFakeGraphics& Fake) : FFake(Fake) {}
  ~TFakeGraphicsInterface() override { FFake.Events.push_back("close interface"); }
  std::unique_ptr<TGraphicsDevice> OpenDefaultDevice() override {
    if (!FFake.HasDevice) return nullptr;
    return std::make_unique<TFakeGraphicsDevice>(FFake);
  }
  std::vector<TAdapterDescription> Adapters() override {
    if (!FFake.HasDevice) return {};
    return {{FFake.Description, "discrete GPU", true, FakeAdapterMemory(FFake)}};
  }

 private:
  TFakeGraphics& FFake;
};

// The factory that TVraxDirect3D9 is given; Fake must outlive the allocator.
inline TGraphicsInterfaceFactory FakeGraphicsInterface(TFakeGraphics& Fake) {
  return [&Fake]() -> std::unique_ptr<TGraphicsInterface> {
    if (!Fake.HasInterface) return nullptr;
    return std::make_unique<TFakeGraphicsInterface>(Fake);
  };
}
