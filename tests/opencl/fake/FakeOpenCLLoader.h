#pragma once
// Loads the fake OpenCL library through the layer's own loader and hands back its state, fresh.

#include <dlfcn.h>

#include <stdexcept>
#include <string>

#include "CL.h"
#include "FakeOpenCLControl.h"

// Path: VELMORA_FAKE_OPENCL_PATH or VELMORA_FAKE_OPENCL_1_0_PATH. The state is looked up on the
// module the layer loaded, so the test holds no reference of its own that would keep it loaded.
inline TFakeOpenCL& LoadFakeOpenCL(const std::string& Path) {
  if (!LoadOpenCL(Path)) throw std::runtime_error("Cannot load the fake OpenCL library " + Path);
  const auto State = reinterpret_cast<TFakeOpenCLStateFunction>(dlsym(OpenCLLibraryHandle.Get(), "FakeOpenCLState"));
  if (State == nullptr) throw std::runtime_error(Path + " has no FakeOpenCLState");
  *State() = TFakeOpenCL{};
  return *State();
}

// Back to the state of a process that never loaded OpenCL: no module, every entry point null. A
// load that fails leaves exactly that, so a test that needs it does not depend on which tests ran
// before it in the same process.
inline void ForgetOpenCLLibrary() {
  if (LoadOpenCL("libVelmoraNoSuchOpenCL.so.1")) throw std::runtime_error("libVelmoraNoSuchOpenCL.so.1 exists");
}
