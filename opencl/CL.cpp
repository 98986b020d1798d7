#include "CL.h"

#include <dlfcn.h>

#include <array>

void TOpenCLLibrary::TCloseModule::operator()(void* Module) const { dlclose(Module); }

constinit TOpenCLLibrary OpenCLLibraryHandle;

namespace CL {

#define VELMORA_DEFINE_OPENCL_ENTRY_POINT(Name) constinit TEntryPoint<decltype(&::Name)> Name{#Name};
VELMORA_OPENCL_ENTRY_POINTS(VELMORA_DEFINE_OPENCL_ENTRY_POINT)
#undef VELMORA_DEFINE_OPENCL_ENTRY_POINT

namespace {

#define VELMORA_LIST_OPENCL_ENTRY_POINT(Name) &Name,
constexpr auto AllEntryPoints =
    std::to_array<TEntryPointSlot*>({VELMORA_OPENCL_ENTRY_POINTS(VELMORA_LIST_OPENCL_ENTRY_POINT)});
#undef VELMORA_LIST_OPENCL_ENTRY_POINT
static_assert(AllEntryPoints.size() == 73, "the OpenCL 1.1 API has 73 functions");

}  // namespace

std::span<const TEntryPointSlot* const> EntryPoints() { return {AllEntryPoints.data(), AllEntryPoints.size()}; }

}  // namespace CL

bool LoadOpenCL(const std::string& FileName) {
  if (OpenCLLibraryHandle) {
    // The addresses go with the module: a reload that then fails must leave null entry points,
    // which raise when called, never addresses into a module that is gone.
    for (CL::TEntryPointSlot* Slot : CL::AllEntryPoints) Slot->FAddress = nullptr;
    OpenCLLibraryHandle.FModule.reset();
  }
  OpenCLLibraryHandle.FModule.reset(dlopen(FileName.c_str(), RTLD_NOW | RTLD_LOCAL));
  if (!OpenCLLibraryHandle) return false;
  for (CL::TEntryPointSlot* Slot : CL::AllEntryPoints)
    Slot->FAddress =
        reinterpret_cast<CL::TEntryPointSlot::TAnyFunction>(dlsym(OpenCLLibraryHandle.Get(), Slot->Name()));
  return true;
}
