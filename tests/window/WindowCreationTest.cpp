// What the window does at creation, with the real Vulkan device and OpenCL runtime, and without.

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <stdexcept>

#include "FakeOpenCLLoader.h"
#include "FakeVulkan.h"
#include "ScopedEnvironment.h"
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
  // A step that fails for another reason than a missing Vulkan driver.
  Services.CreateVideoMemory = []() -> std::unique_ptr<TVraxDirect3D9> { throw std::runtime_error("out of memory"); };
  TFormVelmora Form(std::move(Services));
  EXPECT_EQ(MemoLines(Form).size(), 1u);
  EXPECT_EQ(Record.Errors, std::vector<std::string>{"out of memory"});
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

// Without a Vulkan loader, or with a loader and no driver, the window says so in the words the
// original uses and then in Linux terms, and goes on: the OpenCL lists are filled, the home page is
// opened, the OpenCL test runs and the GFX tests each say they have no allocator.
TEST(WindowCreation, WithoutVulkanGoesOnWithOpenCLAndSaysWhatIsMissing) {
  struct TCase {
    const char* Name;
    std::function<std::unique_ptr<TVraxDirect3D9>()> Create;
  };
  const TCase Cases[] = {
      {"no loader",
       [] {
         return std::make_unique<TVraxDirect3D9>(false, [] {
           TVulkanGraphicsOptions Options;
           Options.LoaderFileName = "libvulkan-that-does-not-exist.so.1";
           return OpenVulkanGraphics(Options);
         });
       }},
      // A driver manifest that names no file, as a machine without a Vulkan driver has none.
      {"no driver", [] { return std::make_unique<TVraxDirect3D9>(false); }},
  };
  for (const TCase& Case : Cases) {
    SCOPED_TRACE(Case.Name);
    TScopedEnvironment NoDriver({{"VK_DRIVER_FILES", "/nonexistent/velmora_icd.json"},
                                 {"VK_ICD_FILENAMES", "/nonexistent/velmora_icd.json"}});
    ForgetOpenCLLibrary();
    TRecordedServices Record;
    TFormVelmoraServices Services = RecordingServices(Record);
    Services.CreateVideoMemory = Case.Create;
    TFormVelmora Form(std::move(Services));
    const std::vector<std::string> Lines = MemoLines(Form);
    ASSERT_EQ(Lines.size(), 4u);
    EXPECT_EQ(Lines[0], TitleLine(VELMORA_TEST_VERSION));
    EXPECT_EQ(Lines[1], "Error: Creating D3D Object!");
    EXPECT_EQ(Lines[2], GraphicsUnavailableLine(Lines[1]));
    EXPECT_NE(Lines[2].find("package libvulkan1"), std::string::npos) << Lines[2];
    EXPECT_EQ(Lines[3], GetProcessorName());
    EXPECT_TRUE(Record.Errors.empty());
    EXPECT_EQ(Record.OpenedUrls, std::vector<std::string>{HomePageAddress});
    EXPECT_EQ(MainFormHandle, &Form);
    EXPECT_EQ(VideoMemory, nullptr);
    ASSERT_GT(Form.ComboBoxOpenCLPlatform->count(), 0);
    ASSERT_GT(Form.ComboBoxOpenCLDevice->count(), 0);

    Form.show();
    Form.SpinEditRAMSize->setValue(256);
    Form.SpinEditPasses->setValue(2);
    Form.ComboBoxCores->setEditText("2");
    QTest::mouseClick(Form.ButtonOpenCLReadWrite, Qt::LeftButton);
    ASSERT_TRUE(WaitForRunEnd(Form));
    EXPECT_NE(Form.LabelPeakGFXOCLReadWrite->text(), "-");
    QTest::mouseClick(Form.ButtonWriteGFXRAM, Qt::LeftButton);
    ASSERT_TRUE(WaitForRunEnd(Form));
    const std::vector<std::string> After = MemoLines(Form);
    EXPECT_EQ(After[After.size() - 2], "Exception: No GFX memory: the graphics adapter could not be opened");
    EXPECT_EQ(Form.LabelPeakGFXWrite->text(), "-");
  }
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
