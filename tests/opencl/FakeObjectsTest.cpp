#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "DCLPlatform.h"
#include "FakeOpenCLLoader.h"
#include "TemporaryPath.h"

using namespace std::string_literals;

namespace {

class FakeObjectsTest : public testing::Test {
 protected:
  FakeObjectsTest() {
    Fake.Platforms = {TFakePlatform{.Devices = {TFakeDevice{}}}};
    Platforms = std::make_unique<TDCLPlatforms>();
  }

  const TDCLDevice& Device() const { return *Platforms->GetPlatform(0)->GetDevice(0); }
  std::unique_ptr<TDCLProgram> BuildProgram(const char* Options = nullptr) const {
    const char* Text = "__kernel void speedreadkernel() {}";
    return Device().CreateProgramString(&Text, Options);
  }
  // The calls made since the mark, in order.
  std::vector<std::string> CallsSince(std::size_t Mark) const {
    return {Fake.Calls.begin() + static_cast<std::ptrdiff_t>(Mark), Fake.Calls.end()};
  }
  std::filesystem::path WriteFile(const std::string& Name, const std::string& Bytes) const {
    const std::filesystem::path Path = TemporaryPath(Name);
    std::ofstream(Path, std::ios::binary) << Bytes;
    return Path;
  }

  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  std::unique_ptr<TDCLPlatforms> Platforms;
};

}  // namespace

TEST_F(FakeObjectsTest, QueuesAlwaysProfileAndKeepTheirPropertiesAndContext) {
  struct TCase {
    TDCLCommandQueuePropertiesSet Properties;
    cl_command_queue_properties Passed;
  };
  for (const TCase& Case :
       {TCase{{}, CL_QUEUE_PROFILING_ENABLE},
        TCase{{cqpOutOfOrderExecModeEnable}, CL_QUEUE_PROFILING_ENABLE | CL_QUEUE_OUT_OF_ORDER_EXEC_MODE_ENABLE}}) {
    SCOPED_TRACE(Case.Passed);
    const auto Queue = Device().CreateCommandQueue(Case.Properties);
    EXPECT_EQ(Queue->Status(), CL_SUCCESS);
    EXPECT_EQ(Queue->Properties(), Case.Properties);
    const TFakeQueue& Made = Fake.Queues.at(Queue->Handle());
    EXPECT_EQ(Made.Properties, Case.Passed);
    EXPECT_EQ(Made.Context, Device().Context().Handle());
  }
  const auto Context = Device().CreateContext();
  EXPECT_NE(Context->Handle(), Device().Context().Handle());
  EXPECT_EQ(Context->NumDevices(), 1u);
  const auto Queue = Device().CreateCommandQueue(*Context, {});
  EXPECT_EQ(Fake.Queues.at(Queue->Handle()).Context, Context->Handle());
}

TEST_F(FakeObjectsTest, MemoryFlagSetsBecomeTheirOpenCLFlags) {
  char Host[64] = {};
  struct TCase {
    TDCLMemFlagsSet Flags;
    void* Data;
    cl_mem_flags Passed;
  };
  const std::vector<TCase> Cases = {
      {{mfReadOnly, mfUseHostPtr}, Host, 12},
      {{mfWriteOnly}, nullptr, 2},
      {{}, nullptr, 0},
      {{mfReadWrite, mfAllocHostPtr}, nullptr, CL_MEM_READ_WRITE | CL_MEM_ALLOC_HOST_PTR},
      {{mfReadOnly, mfCopyHostPtr}, Host, CL_MEM_READ_ONLY | CL_MEM_COPY_HOST_PTR},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Passed);
    const auto Buffer = Device().CreateBuffer(sizeof Host, Case.Data, Case.Flags);
    EXPECT_EQ(Buffer->Status(), CL_SUCCESS);
    EXPECT_EQ(Buffer->Size(), sizeof Host);
    const TFakeMemObject& Made = Fake.MemObjects.at(Buffer->Handle());
    EXPECT_EQ(Made.Flags, Case.Passed);
    EXPECT_EQ(Made.Size, sizeof Host);
    EXPECT_EQ(Made.HostPtr, Case.Data);
    EXPECT_EQ(Made.Context, Device().Context().Handle());
  }
}

TEST_F(FakeObjectsTest, ImagesPassTheirFormatAndSizes) {
  unsigned char Pixels[16 * 3] = {};
  const TCL_image_format Format{CL_RGBA, CL_UNORM_INT8};
  const auto Image = Device().CreateImage2D(&Format, 4, 3, 16, Pixels, {mfReadOnly, mfCopyHostPtr});
  EXPECT_EQ(Image->Status(), CL_SUCCESS);
  EXPECT_EQ(Image->Width(), 4u);
  EXPECT_EQ(Image->Height(), 3u);
  EXPECT_EQ(Image->RowPitch(), 16u);
  const TFakeMemObject& Made = Fake.MemObjects.at(Image->Handle());
  EXPECT_EQ(Made.Format.image_channel_order, cl_channel_order{CL_RGBA});
  EXPECT_EQ(Made.Format.image_channel_data_type, cl_channel_type{CL_UNORM_INT8});
  EXPECT_EQ(Made.Width, 4u);
  EXPECT_EQ(Made.Height, 3u);
  EXPECT_EQ(Made.RowPitch, 16u);
  EXPECT_EQ(Made.HostPtr, Pixels);
  EXPECT_EQ(Made.Flags, cl_mem_flags{CL_MEM_READ_ONLY | CL_MEM_COPY_HOST_PTR});

  // Without a format it is OpenCL that refuses, not the program that crashes.
  EXPECT_EQ(Device().CreateImage2D(nullptr, 4, 3, 0, nullptr, {})->Status(), CL_INVALID_IMAGE_FORMAT_DESCRIPTOR);
}

TEST_F(FakeObjectsTest, ProgramKeepsLogSourceAndBinaryOfItsBuild) {
  Fake.Program.BuildLog = "warning: unused variable";
  Fake.Program.Binary = {0x7F, 'E', 'L', 'F', 0, 1, 2};
  const auto Program = BuildProgram("-DWORDS=4");
  const TFakeProgram& Made = Fake.Programs.at(Program->Handle());
  EXPECT_EQ(Made.Context, Device().Context().Handle());
  EXPECT_EQ(Made.Options, "-DWORDS=4");
  ASSERT_EQ(Made.BuildDevices.size(), 1u);
  EXPECT_EQ(Made.BuildDevices[0], Fake.Contexts.at(Made.Context).Devices[0]);

  EXPECT_EQ(Program->Log(), "warning: unused variable\0"s);
  EXPECT_EQ(Program->Source(), "__kernel void speedreadkernel() {}\0"s);
  EXPECT_EQ(Program->BinarySizes(), 7u);
  EXPECT_EQ(Program->Status(), CL_SUCCESS);

  const std::filesystem::path Path = TemporaryPath("velmora_fake_program.bin");
  Program->SaveToFile(Path.string());
  std::ifstream Saved(Path, std::ios::binary);
  const std::vector<unsigned char> Bytes{std::istreambuf_iterator<char>(Saved), std::istreambuf_iterator<char>()};
  EXPECT_EQ(Bytes, Fake.Program.Binary);
  std::filesystem::remove(Path);

  try {
    Program->SaveToFile("/nonexistent-velmora-folder/program.bin");
    FAIL() << "a file that cannot be created must raise";
  } catch (const std::runtime_error& Error) {
    EXPECT_NE(std::string(Error.what()).find("/nonexistent-velmora-folder/program.bin"), std::string::npos);
  }
}

TEST_F(FakeObjectsTest, FailedBuildStillGivesAProgramWhoseKernelsReportTheFailure) {
  Fake.Program.BuildFails = true;
  Fake.Program.BuildLog = "<source>:1:5: error: use of undeclared identifier 'x'";
  const auto Program = BuildProgram();
  EXPECT_EQ(Program->Log(), Fake.Program.BuildLog + '\0');
  EXPECT_EQ(Program->BinarySizes(), 0u);
  EXPECT_EQ(Program->BuildStatus(), CL_BUILD_PROGRAM_FAILURE);
  EXPECT_EQ(Program->Status(), CL_SUCCESS);  // the last query's, not the build's
  const auto Kernel = Program->CreateKernel("speedreadkernel");
  EXPECT_EQ(Kernel->Status(), CL_INVALID_PROGRAM_EXECUTABLE);
  EXPECT_EQ(Kernel->Handle(), nullptr);

  // Launching the kernel that was never made is refused without reaching the runtime.
  const auto Queue = Device().CreateCommandQueue({});
  const std::size_t Mark = Fake.Calls.size();
  Queue->Execute(*Kernel, 1920);
  EXPECT_EQ(Queue->Status(), CL_INVALID_KERNEL);
  EXPECT_EQ(Queue->ExecuteTime(), 0u);
  EXPECT_TRUE(CallsSince(Mark).empty());
}

TEST_F(FakeObjectsTest, KernelAnswersForItselfAndPassesItsArguments) {
  const auto Program = BuildProgram();
  EXPECT_EQ(Program->CreateKernel("speedwritekernel")->Status(), CL_INVALID_KERNEL_NAME);

  const auto Kernel = Program->CreateKernel("speedreadkernel");
  ASSERT_EQ(Kernel->Status(), CL_SUCCESS);
  EXPECT_EQ(Kernel->FunctionName(), "speedreadkernel");
  EXPECT_EQ(Kernel->NumArgs(), 3u);

  const auto Buffer = Device().CreateBuffer(64, nullptr, {mfReadWrite});
  const TCL_image_format Format{CL_R, CL_FLOAT};
  const auto Image = Device().CreateImage2D(&Format, 2, 2, 0, nullptr, {mfReadWrite});
  const std::uint64_t Count = 0x0123456789ABCDEFull;
  Kernel->SetArg(0, *Buffer);
  Kernel->SetArg(1, *Image);
  Kernel->SetArg(2, 8, &Count);
  EXPECT_EQ(Kernel->Status(), CL_SUCCESS);

  const auto Bytes = [](const auto& Value) {
    const auto* First = reinterpret_cast<const unsigned char*>(&Value);
    return std::vector<unsigned char>(First, First + sizeof Value);
  };
  const TFakeKernel& Made = Fake.Kernels.at(Kernel->Handle());
  EXPECT_EQ(Made.Arguments.at(0), Bytes(Buffer->Handle()));
  EXPECT_EQ(Made.Arguments.at(1), Bytes(Image->Handle()));
  EXPECT_EQ(Made.Arguments.at(2), Bytes(Count));

  Kernel->SetArg(3, 8, &Count);
  EXPECT_EQ(Kernel->Status(), CL_INVALID_ARG_INDEX);
}

TEST_F(FakeObjectsTest, ProgramFileLinesAreEachFollowedByLineFeedAndCarriageReturn) {
  struct TCase {
    const char* Name;
    std::string File;
    std::string Source;
  };
  const std::vector<TCase> Cases = {
      {"LF", "A\nB\n", "A\n\rB\n\r"},
      {"CR LF", "A\r\nB\r\n", "A\n\rB\n\r"},
      {"LF, last line open", "A\nB", "A\n\rB\n\r"},
      {"CR LF, last line open", "A\r\nB", "A\n\rB\n\r"},
      {"empty line kept", "A\n\nB\n", "A\n\r\n\rB\n\r"},
      {"lone CR is text", "A\rB\n", "A\rB\n\r"},
      {"empty file", "", ""},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    const auto Program = Device().CreateProgram(WriteFile("velmora_lines.cl", Case.File).string(), nullptr);
    const TFakeProgram& Made = Fake.Programs.at(Program->Handle());
    EXPECT_EQ(Made.Source, Case.Source);
    EXPECT_FALSE(Made.Options.has_value());
  }
  std::filesystem::remove(TemporaryPath("velmora_lines.cl"));
}

TEST_F(FakeObjectsTest, UnreadableProgramFileRaisesBeforeAnyOpenCLCall) {
  const std::string Missing = TemporaryPath("velmora_missing.cl").string();
  for (const std::string& Path : {Missing, std::string(testing::TempDir())}) {
    SCOPED_TRACE(Path);
    const std::size_t Mark = Fake.Calls.size();
    try {
      Device().CreateProgram(Path, nullptr);
      FAIL() << "no exception";
    } catch (const std::runtime_error& Error) {
      EXPECT_NE(std::string(Error.what()).find(Path), std::string::npos) << Error.what();
    }
    EXPECT_EQ(CallsSince(Mark), std::vector<std::string>{});
  }
}

TEST_F(FakeObjectsTest, ExecuteLaunchesOverTheGlobalSizeAndTimesTheKernelOnTheDevice) {
  const auto Queue = Device().CreateCommandQueue({});
  const auto Program = BuildProgram();
  const auto Kernel = Program->CreateKernel("speedreadkernel");
  Fake.Timings = {{1'000, 2'001'000}, {5'000, 1'005'000}};

  const std::size_t Mark = Fake.Calls.size();
  Queue->Execute(*Kernel, 1920);
  EXPECT_EQ(Queue->ExecuteTime(), 2'000'000u);
  EXPECT_EQ(Queue->Status(), CL_SUCCESS);
  EXPECT_EQ(CallsSince(Mark),
            (std::vector<std::string>{"clEnqueueNDRangeKernel", "clFinish", "clGetEventInfo", "clGetEventProfilingInfo",
                                      "clGetEventProfilingInfo", "clReleaseEvent"}));
  ASSERT_EQ(Fake.Commands.size(), 1u);
  const TFakeCommand& Launch = Fake.Commands[0];
  EXPECT_EQ(Launch.Queue, Queue->Handle());
  EXPECT_EQ(Launch.Object, Kernel->Handle());
  EXPECT_EQ(Launch.WorkDim, 1u);
  EXPECT_EQ(Launch.GlobalWorkSize, std::vector<std::size_t>{1920});
  EXPECT_FALSE(Launch.HasGlobalOffset);
  EXPECT_FALSE(Launch.HasLocalWorkSize);
  EXPECT_EQ(Launch.WaitListLength, 0u);
  EXPECT_EQ(Fake.FindHandle(Launch.Event)->Releases, 1);

  Queue->Execute(*Kernel, std::vector<std::uint64_t>{64, 32});
  EXPECT_EQ(Queue->ExecuteTime(), 1'000'000u);
  EXPECT_EQ(Fake.Commands[1].WorkDim, 2u);
  EXPECT_EQ(Fake.Commands[1].GlobalWorkSize, (std::vector<std::size_t>{64, 32}));

  // With the work-groups' size given.
  Queue->Execute(*Kernel, 2, 1);
  EXPECT_EQ(Fake.Commands[2].GlobalWorkSize, std::vector<std::size_t>{2});
  EXPECT_EQ(Fake.Commands[2].LocalWorkSize, std::vector<std::size_t>{1});
}

TEST_F(FakeObjectsTest, ACommandTheDeviceGaveUpOnReportsItsCodeAndNoTime) {
  // As a display driver's watchdog stops a kernel: clFinish and the event answer the failure.
  const auto Queue = Device().CreateCommandQueue({});
  const auto Program = BuildProgram();
  const auto Kernel = Program->CreateKernel("speedreadkernel");
  Fake.Timings = {{0, 5'000'000'000}};
  Fake.CommandError = CL_OUT_OF_RESOURCES;
  Queue->Execute(*Kernel, 8704);
  EXPECT_EQ(Queue->Status(), CL_OUT_OF_RESOURCES);
  EXPECT_EQ(Queue->ExecuteTime(), 0u);
  EXPECT_EQ(Fake.CallCount("clGetEventProfilingInfo"), 0);
  EXPECT_EQ(Fake.FindHandle(Fake.Commands.back().Event)->Releases, 1);
}

TEST_F(FakeObjectsTest, ASubBufferIsARegionOfItsParentWithItsFlags) {
  Fake.Platforms[0].Devices[0].Values[CL_DEVICE_MEM_BASE_ADDR_ALIGN] = 1024;  // bits: 128 bytes
  std::vector<unsigned char> Host(4096);
  const auto Parent = Device().CreateBuffer(Host.size(), Host.data(), {mfReadOnly, mfUseHostPtr});
  const TDCLBuffer Part(*Parent, 1024, 3072);
  ASSERT_EQ(Part.Status(), CL_SUCCESS);
  EXPECT_EQ(Part.Size(), 3072u);
  const TFakeMemObject& Made = Fake.MemObjects.at(Part.Handle());
  EXPECT_EQ(Made.Parent, Parent->Handle());
  EXPECT_EQ(Made.Origin, 1024u);
  EXPECT_EQ(Made.Size, 3072u);
  EXPECT_EQ(Made.Flags, cl_mem_flags{CL_MEM_READ_ONLY | CL_MEM_USE_HOST_PTR});

  const TDCLBuffer Misaligned(*Parent, 100, 64);
  EXPECT_EQ(Misaligned.Status(), CL_MISALIGNED_SUB_BUFFER_OFFSET);
  EXPECT_EQ(Misaligned.Handle(), nullptr);
}

TEST_F(FakeObjectsTest, TransfersAreBlockingWholeObjectCommandsAndTimed) {
  const auto Queue = Device().CreateCommandQueue({});
  const auto Buffer = Device().CreateBuffer(256, nullptr, {mfReadWrite});
  const TCL_image_format Format{CL_RGBA, CL_UNORM_INT8};
  const auto Image = Device().CreateImage2D(&Format, 8, 4, 0, nullptr, {mfReadWrite});
  unsigned char Host[256] = {};

  struct TCase {
    std::string Function;
    std::function<void()> Run;
    const void* Object;
    std::size_t Size;
    std::array<std::size_t, 3> Region;
  };
  const std::vector<TCase> Cases = {
      {"clEnqueueReadBuffer", [&] { Queue->ReadBuffer(*Buffer, 200, Host); }, Buffer->Handle(), 200, {0, 0, 0}},
      {"clEnqueueWriteBuffer", [&] { Queue->WriteBuffer(*Buffer, 100, Host); }, Buffer->Handle(), 100, {0, 0, 0}},
      {"clEnqueueReadImage", [&] { Queue->ReadImage2D(*Image, Host); }, Image->Handle(), 0, {8, 4, 1}},
      {"clEnqueueWriteImage", [&] { Queue->WriteImage2D(*Image, 5, 3, Host); }, Image->Handle(), 0, {5, 3, 1}},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Function);
    Fake.Commands.clear();
    Fake.Timings = {{40, 90}};
    Case.Run();
    EXPECT_EQ(Queue->ExecuteTime(), 50u);
    EXPECT_EQ(Queue->Status(), CL_SUCCESS);
    ASSERT_EQ(Fake.Commands.size(), 1u);
    const TFakeCommand& Command = Fake.Commands[0];
    EXPECT_EQ(Command.Function, Case.Function);
    EXPECT_EQ(Command.Object, Case.Object);
    EXPECT_EQ(Command.Blocking, cl_bool{CL_TRUE});
    EXPECT_EQ(Command.Offset, 0u);
    EXPECT_EQ(Command.Size, Case.Size);
    EXPECT_EQ(Command.Origin, (std::array<std::size_t, 3>{0, 0, 0}));
    EXPECT_EQ(Command.Region, Case.Region);
    EXPECT_EQ(Command.RowPitch, 0u);
    EXPECT_EQ(Command.SlicePitch, 0u);
    EXPECT_EQ(Command.Data, Host);
    EXPECT_EQ(Command.WaitListLength, 0u);
    EXPECT_EQ(Fake.FindHandle(Command.Event)->Releases, 1);
  }
}

TEST_F(FakeObjectsTest, ARefusedOrUntimedCommandReportsNoTimeAndTouchesNoEventItWasNotGiven) {
  const auto Queue = Device().CreateCommandQueue({});
  const auto Program = BuildProgram();
  const auto Kernel = Program->CreateKernel("speedreadkernel");
  const auto Buffer = Device().CreateBuffer(64, nullptr, {mfReadWrite});
  const TCL_image_format Format{CL_RGBA, CL_UNORM_INT8};
  const auto Image = Device().CreateImage2D(&Format, 2, 2, 0, nullptr, {mfReadWrite});
  unsigned char Host[64] = {};
  const std::vector<std::function<void()>> Commands = {
      [&] { Queue->Execute(*Kernel, 1920); },           [&] { Queue->ReadBuffer(*Buffer, 64, Host); },
      [&] { Queue->WriteBuffer(*Buffer, 64, Host); },   [&] { Queue->ReadImage2D(*Image, Host); },
      [&] { Queue->WriteImage2D(*Image, 2, 2, Host); },
  };

  for (std::size_t Index = 0; Index < Commands.size(); ++Index) {
    SCOPED_TRACE(Index);
    // A timed command first, so that a time left over from it would show.
    Fake.EnqueueError = CL_SUCCESS;
    Fake.Timings = {{0, 700}};
    Commands[Index]();
    ASSERT_EQ(Queue->ExecuteTime(), 700u);

    Fake.EnqueueError = CL_OUT_OF_RESOURCES;
    const std::size_t Mark = Fake.Calls.size();
    const std::size_t Handles = Fake.Handles.size();
    Commands[Index]();
    EXPECT_EQ(Queue->ExecuteTime(), 0u);
    EXPECT_EQ(Queue->Status(), CL_OUT_OF_RESOURCES);
    EXPECT_EQ(CallsSince(Mark).size(), 1u) << "only the refused enqueue";
    EXPECT_EQ(Fake.Handles.size(), Handles);
  }
  EXPECT_EQ(Fake.UnknownHandleUses, 0);
  EXPECT_EQ(Fake.UnknownReleases, 0);

  // A counter the device does not report gives no time, whichever of the two it is.
  Fake.EnqueueError = CL_SUCCESS;
  for (const cl_profiling_info Failing : {CL_PROFILING_COMMAND_START, CL_PROFILING_COMMAND_END}) {
    SCOPED_TRACE(Failing);
    Fake.FailingProfilingQuery = Failing;
    Fake.Timings = {{100, 900}};
    Queue->Execute(*Kernel, 1920);
    EXPECT_EQ(Queue->ExecuteTime(), 0u);
    EXPECT_EQ(Fake.FindHandle(Fake.Commands.back().Event)->Releases, 1);
  }
  EXPECT_EQ(Queue->Status(), CL_PROFILING_INFO_NOT_AVAILABLE);

  // Counters that run backwards give no time, not a negative one.
  Fake.FailingProfilingQuery = 0;
  Fake.Timings = {{5'000, 4'000}};
  Queue->Execute(*Kernel, 1920);
  EXPECT_EQ(Queue->ExecuteTime(), 0u);
  EXPECT_EQ(Queue->Status(), CL_SUCCESS);
}

// Pinned host memory: a buffer the runtime allocates in host memory, mapped whole for as long as
// its owner lives, and unmapped (and waited for) before the buffer can go.
TEST_F(FakeObjectsTest, AMappedBufferIsMappedWholeWhileItsOwnerLivesAndARefusalLeavesNoAddress) {
  const auto Queue = Device().CreateCommandQueue({});
  const auto Buffer = Device().CreateBuffer(4096, nullptr, {mfReadWrite, mfAllocHostPtr});
  const std::size_t Mark = Fake.Calls.size();
  {
    const TDCLMappedBuffer Mapped(*Queue, *Buffer);
    ASSERT_EQ(Mapped.Status(), CL_SUCCESS);
    const TFakeMemObject& Memory = Fake.MemObjects.at(Buffer->Handle());
    EXPECT_EQ(Memory.Flags, cl_mem_flags{CL_MEM_READ_WRITE | CL_MEM_ALLOC_HOST_PTR});
    EXPECT_EQ(Memory.Mappings, 1);
    EXPECT_EQ(Mapped.Address(), Memory.Storage.data());
    ASSERT_EQ(Fake.Commands.size(), 1u);
    EXPECT_EQ(Fake.Commands[0].Blocking, cl_bool{CL_TRUE});
    EXPECT_EQ(Fake.Commands[0].Offset, 0u);
    EXPECT_EQ(Fake.Commands[0].Size, 4096u);
  }
  EXPECT_EQ(Fake.MemObjects.at(Buffer->Handle()).Mappings, 0);
  EXPECT_EQ(CallsSince(Mark), (std::vector<std::string>{"clEnqueueMapBuffer", "clEnqueueUnmapMemObject", "clFinish"}));

  Fake.MapError = CL_MAP_FAILURE;
  const std::size_t RefusedMark = Fake.Calls.size();
  {
    const TDCLMappedBuffer Refused(*Queue, *Buffer);
    EXPECT_EQ(Refused.Address(), nullptr);
    EXPECT_EQ(Refused.Status(), CL_MAP_FAILURE);
  }
  // Nothing was mapped, so nothing is unmapped.
  EXPECT_EQ(CallsSince(RefusedMark), std::vector<std::string>{"clEnqueueMapBuffer"});
}
