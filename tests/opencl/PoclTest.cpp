// The layer on a real OpenCL runtime: PoCL's CPU device through the system's ICD loader.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <numeric>
#include <string>
#include <vector>

#include "DCLPlatform.h"
#include "DCLText.h"
#include "ProgramSource.h"
#include "TemporaryPath.h"

namespace {

const std::string Fixtures = VELMORA_OPENCL_FIXTURES;

class PoclTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(LoadOpenCL("libOpenCL.so.1")) << "the OpenCL ICD loader (ocl-icd-libopencl1) is not installed";
    Platforms = std::make_unique<TDCLPlatforms>();
    for (std::uint32_t Index = 0; Index < Platforms->PlatformCount(); ++Index) {
      const TDCLPlatform& Candidate = *Platforms->GetPlatform(Index);
      if (DisplayText(Candidate.Name()) == "Portable Computing Language" && Candidate.DeviceCount() > 0)
        Platform = &Candidate;
    }
    ASSERT_NE(Platform, nullptr) << "no PoCL platform with a device (pocl-opencl-icd)";
    Device = Platform->GetDevice(0);
  }

  std::unique_ptr<TDCLPlatforms> Platforms;
  const TDCLPlatform* Platform = nullptr;
  const TDCLDevice* Device = nullptr;
};

}  // namespace

TEST_F(PoclTest, EnumeratesThePlatformAndReadsItsCPUDevice) {
  EXPECT_EQ(Platforms->Status(), CL_SUCCESS);
  EXPECT_EQ(Platform->Name().back(), '\0');
  EXPECT_EQ(DisplayText(Platform->Profile()), "FULL_PROFILE");
  EXPECT_EQ(DisplayText(Platform->Version()).rfind("OpenCL ", 0), 0u);
  ASSERT_GT(Platform->ExtensionsCount(), 0u);
  EXPECT_TRUE(Platform->IsPresentExtension("cl_khr_icd"));
  EXPECT_EQ(Platform->GetCPU(0), Platform->GetDevice(0));
  EXPECT_NE(Platform->DeviceWithMaxComputeUnits(), nullptr);

  EXPECT_EQ(Device->Status(), CL_SUCCESS);
  EXPECT_EQ(Device->Name().back(), '\0');
  EXPECT_FALSE(DisplayText(Device->Name()).empty());
  EXPECT_TRUE(Device->IsCPU());
  EXPECT_FALSE(Device->IsGPU());
  EXPECT_TRUE(Device->IsAvailable());
  EXPECT_TRUE(Device->IsCompilerAvailable());
  EXPECT_TRUE(Device->IsEndianLittle());
  EXPECT_EQ(Device->AddressBits(), 64u);
  EXPECT_GE(Device->MaxComputeUnits(), 1u);
  EXPECT_GE(Device->MaxWorkGroupSize(), 1u);
  EXPECT_GE(Device->MaxWorkItemDimensions(), 3u);
  EXPECT_GT(Device->GlobalMemSize(), Device->LocalMemSize());
  EXPECT_GE(Device->GlobalMemSize(), Device->MaxMemAllocSize());
  EXPECT_TRUE(Device->IsPresentInFPConfig(dfpcRoundToNearest));
  EXPECT_TRUE(Device->ExecutionCapabilities().Contains(decExecKernel));
  ASSERT_GT(Device->ExtensionsCount(), 0u);
  EXPECT_TRUE(Device->IsPresentExtension(Device->GetExtensions(0)));
  EXPECT_EQ(Device->Context().Status(), CL_SUCCESS);
  EXPECT_EQ(Device->Context().NumDevices(), 1u);
}

TEST_F(PoclTest, BuildsAProgramFromAFileAndRunsItTimed) {
  const std::string Path = Fixtures + "/AddOne.cl";
  const auto Program = Device->CreateProgram(Path, nullptr);
  EXPECT_EQ(Program->Status(), CL_SUCCESS) << DisplayText(Program->Log());
  // The runtime hands back the text it was given: the file's CR LF lines, each ended by LF CR.
  EXPECT_EQ(DisplayText(Program->Source()), ReadProgramSource(Path));
  EXPECT_NE(DisplayText(Program->Source()).find("Destination[Index] = Source[Index] + 1;\n\r"), std::string::npos);

  const auto Kernel = Program->CreateKernel("addone");
  ASSERT_EQ(Kernel->Status(), CL_SUCCESS);
  EXPECT_EQ(Kernel->FunctionName(), "addone");
  EXPECT_EQ(Kernel->NumArgs(), 3u);

  constexpr std::uint64_t Count = 4096;
  std::vector<cl_uint> Input(Count);
  std::iota(Input.begin(), Input.end(), 1000u);
  std::vector<cl_uint> Output(Count, 0);
  const auto Queue = Device->CreateCommandQueue({});
  const auto Source = Device->CreateBuffer(Count * sizeof(cl_uint), Input.data(), {mfReadOnly, mfUseHostPtr});
  const auto Destination = Device->CreateBuffer(Count * sizeof(cl_uint), nullptr, {mfWriteOnly});
  ASSERT_EQ(Queue->Status(), CL_SUCCESS);
  ASSERT_EQ(Source->Status(), CL_SUCCESS);
  ASSERT_EQ(Destination->Status(), CL_SUCCESS);

  Kernel->SetArg(0, *Source);
  Kernel->SetArg(1, *Destination);
  Kernel->SetArg(2, 8, &Count);
  ASSERT_EQ(Kernel->Status(), CL_SUCCESS);
  Queue->Execute(*Kernel, Count);
  EXPECT_EQ(Queue->Status(), CL_SUCCESS);
  EXPECT_GT(Queue->ExecuteTime(), 0u);

  Queue->ReadBuffer(*Destination, Count * sizeof(cl_uint), Output.data());
  EXPECT_EQ(Queue->Status(), CL_SUCCESS);
  for (std::uint64_t Index = 0; Index < Count; ++Index) ASSERT_EQ(Output[Index], Input[Index] + 1) << Index;

  // The binary the runtime handed over is what is saved.
  ASSERT_GT(Program->BinarySizes(), 0u);
  const std::filesystem::path Saved = TemporaryPath("velmora_pocl_addone.bin");
  Program->SaveToFile(Saved.string());
  EXPECT_EQ(std::filesystem::file_size(Saved), Program->BinarySizes());
  std::filesystem::remove(Saved);
}

TEST_F(PoclTest, ABrokenSourceGivesTheCompilersMessagesAndAKernelThatFails) {
  const auto Program = Device->CreateProgram(Fixtures + "/Broken.cl", nullptr);
  EXPECT_NE(DisplayText(Program->Log()).find("undeclared_word_count"), std::string::npos) << Program->Log();
  EXPECT_NE(DisplayText(Program->Log()).find("error"), std::string::npos) << Program->Log();
  const auto Kernel = Program->CreateKernel("broken");
  EXPECT_EQ(Kernel->Status(), CL_INVALID_PROGRAM_EXECUTABLE);
}

TEST_F(PoclTest, ImagesMakeTheRoundTripThroughTheDevice) {
  if (!Device->IsImageSupport()) GTEST_SKIP() << "the device has no image support";
  constexpr std::uint64_t Width = 8;
  constexpr std::uint64_t Height = 4;
  std::vector<unsigned char> Pixels(Width * Height * 4);
  std::iota(Pixels.begin(), Pixels.end(), static_cast<unsigned char>(3));
  std::vector<unsigned char> ReadBack(Pixels.size(), 0);
  const TCL_image_format Format{CL_RGBA, CL_UNSIGNED_INT8};
  const auto Image = Device->CreateImage2D(&Format, Width, Height, 0, nullptr, {mfReadWrite});
  ASSERT_EQ(Image->Status(), CL_SUCCESS);
  const auto Queue = Device->CreateCommandQueue({});
  Queue->WriteImage2D(*Image, Width, Height, Pixels.data());
  EXPECT_EQ(Queue->Status(), CL_SUCCESS);
  Queue->ReadImage2D(*Image, ReadBack.data());
  EXPECT_EQ(Queue->Status(), CL_SUCCESS);
  EXPECT_EQ(ReadBack, Pixels);
}
