#pragma once
// The video memory allocator: a device on the default graphics adapter, and blocks of the
// adapter's memory that stay mapped into the process for their whole life, so that the processor
// writes and reads them through an ordinary pointer. One instance serves the whole program.

#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "GraphicsDevice.h"

// An error of the allocator; its message begins "Error: ".
class EVraxError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// An index outside a list: "List index out of bounds (3).  TList range is 0..1".
class EListError : public std::out_of_range {
 public:
  EListError(std::int32_t Index, std::int32_t Count);
};

class TVraxItems;
class TVraxDirect3D9;

// One block: the buffer, its mapped address, its size and its place in the list.
class TVraxItem {
 public:
  explicit TVraxItem(TVraxItems* Owner) : Owner(Owner) {}
  // Releases the buffer, still mapped, and forgets the address; leaves the list alone.
  virtual ~TVraxItem();
  TVraxItem(const TVraxItem&) = delete;
  TVraxItem& operator=(const TVraxItem&) = delete;

  // Owner->Delete(Index): destroys this very item, which may not be used afterwards.
  void Delete();

  std::unique_ptr<TGraphicsBuffer> Buffer;  // null when none
  void* PMemory = nullptr;                  // the mapped contents; null when not mapped
  std::int64_t Size = 0;                    // bytes, set before allocation
  std::int32_t Index = 0;                   // position in Owner
  TVraxItems* Owner;
};

// The ordered blocks of one allocator. It owns them: Delete, Clear and its destructor destroy them.
// After every Add and Delete the list holds no null entry and every Index is its position.
class TVraxItems {
 public:
  explicit TVraxItems(TVraxDirect3D9* Owner) : Owner(Owner) {}
  virtual ~TVraxItems();
  TVraxItems(const TVraxItems&) = delete;
  TVraxItems& operator=(const TVraxItems&) = delete;

  // A new block of Size bytes, mapped, at the end of the list; null when it cannot be had. No
  // error leaves Add.
  TVraxItem* Add(std::int64_t Size);
  // Destroys the item at Index and renumbers the rest. EListError when Index is outside the list.
  void Delete(std::int32_t Index);
  // Destroys every item in list order and empties the list.
  void Clear();
  std::int32_t Count() const { return static_cast<std::int32_t>(FItems.size()); }
  // EListError when Index is outside the list.
  TVraxItem* GetItem(std::int32_t Index) const;
  // Puts Item into the slot at Index and hands back the item that was there, neither destroyed nor
  // renumbered; Item's Index and Owner are the caller's to set. EListError when Index is outside
  // the list; std::invalid_argument for a null Item.
  std::unique_ptr<TVraxItem> SetItem(std::int32_t Index, std::unique_ptr<TVraxItem> Item);

  TVraxDirect3D9* Owner;

 private:
  void CheckIndex(std::int32_t Index) const;

  std::vector<std::unique_ptr<TVraxItem>> FItems;
};

// The identification of the default adapter, filled once the device exists.
struct TAdapterIdentifier {
  std::string Description;
  std::string DriverVersion;  // the driver's name and version, where the adapter says
};

// The graphics interface, opened by the program: Vulkan.
std::unique_ptr<TGraphicsInterface> OpenDefaultGraphicsInterface();

class TVraxDirect3D9 {
 public:
  // Opens the device. With SuppressErrors false a failure raises EVraxError ("Error: Creating D3D
  // Object!" without the graphics interface, "Error: Creating D3D Device!" without a usable
  // device); with SuppressErrors true the instance then exists without a device.
  explicit TVraxDirect3D9(bool SuppressErrors,
                          TGraphicsInterfaceFactory CreateInterface = OpenDefaultGraphicsInterface);
  virtual ~TVraxDirect3D9();
  TVraxDirect3D9(const TVraxDirect3D9&) = delete;
  TVraxDirect3D9& operator=(const TVraxDirect3D9&) = delete;

  // Gives Item, whose Size is set, a mapped buffer. False without a device.
  bool AllocateMemory(TVraxItem& Item);
  // Unmaps Item's buffer and forgets the address, which is no longer valid.
  bool UnlockMemory(TVraxItem& Item);
  // Releases Item's buffer; the item stays in the list, without buffer or address.
  void FreeMemory(TVraxItem& Item);
  // Bytes of the adapter's own memory still free (free VRAM); 0 without a device.
  std::uint64_t MemoryAvailable() const;
  // What the processor can reach of the adapter's memory now; all zero without a device.
  TAdapterMemory AdapterMemory() const;
  bool HasDevice() const { return g_pd3dDevice != nullptr; }

  bool SuppressErrors;

 private:
  bool InitializeDevice();
  void ReleaseDirect3D();
  bool Fail(const char* Message) const;

  TGraphicsInterfaceFactory FCreateInterface;

 public:
  // Declared in the order of making, so that they are destroyed in reverse: the blocks, then the
  // device, then the graphics interface.
  std::unique_ptr<TGraphicsInterface> g_pD3D;
  std::unique_ptr<TGraphicsDevice> g_pd3dDevice;
  TAdapterIdentifier D3DADAPTER_ID;
  TVraxItems Items{this};
};
