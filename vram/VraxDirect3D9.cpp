#include "VraxDirect3D9.h"

#include <algorithm>

#include "VulkanGraphics.h"

namespace {

std::string ListIndexMessage(std::int32_t Index, std::int32_t Count) {
  std::string Message = "List index out of bounds (" + std::to_string(Index) + ")";
  if (Count == 0) return Message + ".  TList is empty";
  return Message + ".  TList range is 0.." + std::to_string(Count - 1);
}

}  // namespace

EListError::EListError(std::int32_t Index, std::int32_t Count) : std::out_of_range(ListIndexMessage(Index, Count)) {}

// ---- TVraxItem

TVraxItem::~TVraxItem() {
  Buffer.reset();
  PMemory = nullptr;
}

void TVraxItem::Delete() { Owner->Delete(Index); }

// ---- TVraxItems

TVraxItems::~TVraxItems() { Clear(); }

TVraxItem* TVraxItems::Add(std::int64_t Size) {
  auto Item = std::make_unique<TVraxItem>(this);
  Item->Size = Size;
  try {
    if (!Owner->AllocateMemory(*Item)) return nullptr;
  } catch (...) {
    // The allocator's own message is not shown: the caller reports a null block in its words.
    return nullptr;
  }
  FItems.push_back(std::move(Item));
  FItems.back()->Index = Count() - 1;
  return FItems.back().get();
}

void TVraxItems::Delete(std::int32_t Index) {
  CheckIndex(Index);
  FItems[static_cast<std::size_t>(Index)].reset();
  FItems.erase(FItems.begin() + Index);
  FItems.erase(std::remove(FItems.begin(), FItems.end(), nullptr), FItems.end());
  for (std::size_t Position = 0; Position < FItems.size(); ++Position)
    FItems[Position]->Index = static_cast<std::int32_t>(Position);
}

void TVraxItems::Clear() {
  for (std::unique_ptr<TVraxItem>& Item : FItems) Item.reset();
  FItems.clear();
}

TVraxItem* TVraxItems::GetItem(std::int32_t Index) const {
  CheckIndex(Index);
  return FItems[static_cast<std::size_t>(Index)].get();
}

std::unique_ptr<TVraxItem> TVraxItems::SetItem(std::int32_t Index, std::unique_ptr<TVraxItem> Item) {
  CheckIndex(Index);
  // A null entry would be handed out by GetItem and walked by the tests.
  if (!Item) throw std::invalid_argument("TVraxItems.SetItem: no item given");
  std::swap(FItems[static_cast<std::size_t>(Index)], Item);
  return Item;
}

void TVraxItems::CheckIndex(std::int32_t Index) const {
  if (Index < 0 || Index >= Count()) throw EListError(Index, Count());
}

// ---- TVraxDirect3D9

std::unique_ptr<TGraphicsInterface> OpenDefaultGraphicsInterface() { return OpenVulkanGraphics(); }

TVraxDirect3D9::TVraxDirect3D9(bool SuppressErrors, TGraphicsInterfaceFactory CreateInterface)
    : SuppressErrors(SuppressErrors), FCreateInterface(std::move(CreateInterface)) {
  InitializeDevice();
}

TVraxDirect3D9::~TVraxDirect3D9() {
  Items.Clear();
  // Every block is gone before the device, and the device before the interface that made it.
  g_pd3dDevice.reset();
  ReleaseDirect3D();
}

bool TVraxDirect3D9::Fail(const char* Message) const {
  if (!SuppressErrors) throw EVraxError(Message);
  return false;
}

bool TVraxDirect3D9::InitializeDevice() {
  if (!g_pD3D && FCreateInterface) g_pD3D = FCreateInterface();
  if (!g_pD3D) return Fail("Error: Creating D3D Object!");
  g_pd3dDevice.reset();
  D3DADAPTER_ID = {};
  g_pd3dDevice = g_pD3D->OpenDefaultDevice();
  if (!g_pd3dDevice) return Fail("Error: Creating D3D Device!");
  D3DADAPTER_ID.Description = g_pd3dDevice->Description();
  D3DADAPTER_ID.DriverVersion = g_pd3dDevice->DriverVersion();
  return true;
}

void TVraxDirect3D9::ReleaseDirect3D() { g_pD3D.reset(); }

bool TVraxDirect3D9::AllocateMemory(TVraxItem& Item) {
  if (!g_pd3dDevice) return false;
  Item.Buffer.reset();
  Item.PMemory = nullptr;
  // A negative size is no block; 64 bits: a block the device can hold is served whole.
  if (Item.Size > 0) Item.Buffer = g_pd3dDevice->CreateBuffer(static_cast<std::uint64_t>(Item.Size));
  if (!Item.Buffer) return Fail("Error: CreateBuffer.");
  void* Address = Item.Buffer->Map();
  if (!Address) return Fail("Error: Buffer.Lock. Could not allocate GFX memory.");
  Item.PMemory = Address;
  return true;
}

bool TVraxDirect3D9::UnlockMemory(TVraxItem& Item) {
  if (!Item.Buffer || !Item.Buffer->Unmap()) return Fail("Error: Buffer.UnLock.");
  // The address is no longer mapped; a pass over it would fault.
  Item.PMemory = nullptr;
  return true;
}

void TVraxDirect3D9::FreeMemory(TVraxItem& Item) {
  Item.Buffer.reset();
  Item.PMemory = nullptr;
}

std::uint64_t TVraxDirect3D9::MemoryAvailable() const { return g_pd3dDevice ? g_pd3dDevice->FreeMemory() : 0; }

TAdapterMemory TVraxDirect3D9::AdapterMemory() const { return g_pd3dDevice ? g_pd3dDevice->Memory() : TAdapterMemory{}; }
