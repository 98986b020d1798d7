#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "CL.h"
#include "DCLPlatform.h"
#include "FakeOpenCLLoader.h"

namespace {

const std::set<std::string> FunctionsNewIn11 = {
    "clCreateSubBuffer",
    "clCreateUserEvent",
    "clSetUserEventStatus",
    "clSetEventCallback",
    "clSetMemObjectDestructorCallback",
    "clEnqueueReadBufferRect",
    "clEnqueueWriteBufferRect",
    "clEnqueueCopyBufferRect",
};

bool IsResident(const char* Path) {
  void* Module = dlopen(Path, RTLD_NOW | RTLD_NOLOAD);
  if (Module != nullptr) dlclose(Module);
  return Module != nullptr;
}

}  // namespace

TEST(Loader, MissingLibraryLeavesNoHandleAndEveryEntryPointNull) {
  // Loaded first, so that the failed load also has to clear what the first one bound.
  LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  ASSERT_TRUE(CL::clGetPlatformIDs);

  EXPECT_FALSE(LoadOpenCL("libVelmoraNoSuchOpenCL.so.1"));
  EXPECT_FALSE(OpenCLLibraryHandle);
  EXPECT_EQ(OpenCLLibraryHandle.Get(), nullptr);
  for (const CL::TEntryPointSlot* EntryPoint : CL::EntryPoints()) EXPECT_FALSE(*EntryPoint) << EntryPoint->Name();
}

TEST(Loader, CallThroughAMissingEntryPointRaisesNamingTheFunction) {
  ASSERT_FALSE(LoadOpenCL("libVelmoraNoSuchOpenCL.so.1"));
  try {
    TDCLPlatforms Platforms;
    FAIL() << "a platform list was made without an OpenCL library";
  } catch (const std::exception& Error) {
    EXPECT_EQ("Exception: " + std::string(Error.what()),
              "Exception: OpenCL function clGetPlatformIDs is not available");
  }
  EXPECT_THROW(CL::clFinish(nullptr), EOpenCLFunctionNotAvailable);
}

TEST(Loader, BindsEveryOneOfThe73FunctionsByItsName) {
  ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1")) << "the OpenCL ICD loader (ocl-icd-libopencl1) is not installed";
  ASSERT_TRUE(OpenCLLibraryHandle);
  std::set<std::string> Names;
  for (const CL::TEntryPointSlot* EntryPoint : CL::EntryPoints()) {
    Names.insert(EntryPoint->Name());
    const auto Exported =
        reinterpret_cast<CL::TEntryPointSlot::TAnyFunction>(dlsym(OpenCLLibraryHandle.Get(), EntryPoint->Name()));
    EXPECT_NE(Exported, nullptr) << EntryPoint->Name();
    EXPECT_EQ(EntryPoint->Address(), Exported) << EntryPoint->Name();
  }
  EXPECT_EQ(Names.size(), 73u);
  EXPECT_EQ(CL::clGetPlatformIDs.Get(), reinterpret_cast<decltype(CL::clGetPlatformIDs.Get())>(
                                            dlsym(OpenCLLibraryHandle.Get(), "clGetPlatformIDs")));
}

TEST(Loader, AnOpenCL10LibraryLoadsWithTheEight11FunctionsNull) {
  struct TCase {
    const char* Path;
    bool Has11Functions;
  };
  for (const TCase& Case : {TCase{VELMORA_FAKE_OPENCL_PATH, true}, TCase{VELMORA_FAKE_OPENCL_1_0_PATH, false}}) {
    SCOPED_TRACE(Case.Path);
    TFakeOpenCL& Fake = LoadFakeOpenCL(Case.Path);
    ASSERT_TRUE(OpenCLLibraryHandle);
    int Missing11 = 0;
    for (const CL::TEntryPointSlot* EntryPoint : CL::EntryPoints()) {
      if (FunctionsNewIn11.contains(EntryPoint->Name())) Missing11 += !*EntryPoint;
    }
    EXPECT_EQ(Missing11, Case.Has11Functions ? 0 : 8);
    EXPECT_TRUE(CL::clGetPlatformIDs && CL::clCreateContext && CL::clEnqueueNDRangeKernel && CL::clReleaseEvent);

    // The layer needs none of them: a platform tree is made as usual.
    Fake.Platforms = {TFakePlatform{.Devices = {TFakeDevice{}}}};
    const TDCLPlatforms Platforms;
    EXPECT_EQ(Platforms.PlatformCount(), 1u);
    EXPECT_EQ(Platforms.GetPlatform(0)->DeviceCount(), 1u);
  }
}

TEST(Loader, LoadingAgainReleasesTheModuleLoadedBefore) {
  LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  ASSERT_TRUE(IsResident(VELMORA_FAKE_OPENCL_PATH));
  LoadFakeOpenCL(VELMORA_FAKE_OPENCL_1_0_PATH);
  EXPECT_FALSE(IsResident(VELMORA_FAKE_OPENCL_PATH));
  EXPECT_FALSE(CL::clCreateSubBuffer) << "the entry points must come from the new module";

  // The same file again: only a module that really went starts from a fresh state.
  TFakeOpenCL& First = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  First.Platforms.resize(2);
  ASSERT_TRUE(LoadOpenCL(VELMORA_FAKE_OPENCL_PATH));
  const auto State = reinterpret_cast<TFakeOpenCLStateFunction>(dlsym(OpenCLLibraryHandle.Get(), "FakeOpenCLState"));
  ASSERT_NE(State, nullptr);
  EXPECT_TRUE(State()->Platforms.empty());
}
