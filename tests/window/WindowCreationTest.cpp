// What the window does at creation, with the real Vulkan device and OpenCL runtime, and without.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>


#include "FakeVulkan.h"
#include "StartupLines.h"
#include "VraxDirect3D9.h"
#include "VulkanGraphics.h"
#include "WindowFixture.h"

namespace {

TEST(WindowCreation, WritesTheFourStartUpLinesAndOpensTheHomePage) {
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  const std::vector<std::string> Lines = MemoLines(Form);
  ASSERT_EQ(Lines.size(), 4u);
  EXPECT_EQ(Lines[0], TitleLine(VELMORA_TEST_VERSION));
  EXPECT_NE(Lines[1].find(" - Free texture memory: "), std::string::npos) << Lines[1];
  EXPECT_EQ(Lines[1].substr(0, Lines[1].find(" - Free")), VideoMemory->D3DADAPTER_ID.Description);
  EXPECT_EQ(Lines[2], GetProcessorName());
  EXPECT_EQ(Lines[3].rfind("GFX memory the processor can reach: ", 0), 0u) << Lines[3];
  EXPECT_TRUE(Record.Errors.empty());
  EXPECT_EQ(Record.OpenedUrls, std::vector<std::string>{HomePageAddress});
  EXPECT_EQ(MainFormHandle, &Form);
  EXPECT_NE(VideoMemory, nullptr);
}

TEST(WindowCreation, StopsAtAFailedStepAndStillOpens) {
  TRecordedServices Record;
  TFormVelmoraServices Services = RecordingServices(Record);
  // The real allocator on a machine without a Vulkan loader.
  Services.CreateVideoMemory = [] {
    return std::make_unique<TVraxDirect3D9>(false, [] {
      TVulkanGraphicsOptions Options;
      Options.LoaderFileName = "libvulkan-that-does-not-exist.so.1";
      return OpenVulkanGraphics(Options);
    });
  };
  TFormVelmora Form(std::move(Services));
  EXPECT_EQ(MemoLines(Form).size(), 1u);
  EXPECT_EQ(Record.Errors, std::vector<std::string>{"Error: Creating D3D Object!"});
  EXPECT_EQ(Form.ComboBoxOpenCLPlatform->count(), 0);
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->count(), 0);
  EXPECT_EQ(Record.OpenCLLoadAttempts, 0);
  EXPECT_TRUE(Record.OpenedUrls.empty());
  EXPECT_EQ(MainFormHandle, nullptr);
  EXPECT_EQ(VideoMemory, nullptr);
  EXPECT_EQ(Form.SpinEditRAMSize->value(), 512);

  // The first run sets the handle, and its tests report the missing allocator in the log.
  Form.SpinEditRAMSize->setValue(256);
  Form.SpinEditPasses->setValue(2);
  Form.ButtonReadGFXRAM->click();
  EXPECT_EQ(MainFormHandle, &Form);
  ASSERT_TRUE(WaitForRunEnd(Form));
  const std::vector<std::string> Lines = MemoLines(Form);
  ASSERT_EQ(Lines.size(), 3u);
  EXPECT_EQ(Lines[1].rfind("Exception: ", 0), 0u) << Lines[1];
  EXPECT_EQ(Form.LabelPeakGFXRead->text(), "-");
}

TEST(WindowCreation, OnACardWithoutResizableBARTheStartUpSaysHowLittleTheProcessorReaches) {
  TScopedFakeVulkan Driver("small-bar");
  TFakePciSysfs Sysfs;
  Sysfs.Link("0000:01:00.0", "2.5 GT/s PCIe", 16, "8.0 GT/s PCIe", 16);
  TRecordedServices Record;
  TFormVelmoraServices Services = RecordingServices(Record);
  Services.CreateVideoMemory = [&] { return std::make_unique<TVraxDirect3D9>(false, Sysfs.Vulkan()); };
  TFormVelmora Form(std::move(Services));
  const std::vector<std::string> Lines = MemoLines(Form);
  ASSERT_EQ(Lines.size(), 4u);
  EXPECT_EQ(Lines[1], "NVIDIA GeForce RTX 2070 SUPER - Free texture memory: 7.08 GB");
  EXPECT_EQ(Lines[3],
            "GFX memory the processor can reach: 214.00 MB of 8.00 GB (resizable BAR off), PCIe 1.1 x16 (up to 3.0 x16)");
}

}  // namespace
