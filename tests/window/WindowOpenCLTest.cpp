// The window's OpenCL lists: filled at creation, the device list following the user's platform
// choice, and empty without an OpenCL library.

#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

#include "CoreCounts.h"
#include "FakeOpenCLLoader.h"
#include "WindowFixture.h"

namespace {

std::vector<std::string> Items(const QComboBox* Box) {
  std::vector<std::string> Texts;
  for (int Index = 0; Index < Box->count(); ++Index) Texts.push_back(Box->itemText(Index).toStdString());
  return Texts;
}

TFakePlatform Platform(const char* Name, std::vector<const char*> DeviceNames) {
  TFakePlatform Result;
  Result.Name = Name;
  for (const char* DeviceName : DeviceNames) {
    TFakeDevice Device;
    Device.Name = DeviceName;
    Result.Devices.push_back(Device);
  }
  return Result;
}

TEST(WindowOpenCL, ListsThePlatformsAndFollowsThePlatformChoice) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {Platform("Alpha", {"Alpha One", "Alpha Two"}), Platform("Beta", {"Beta One", "Beta Two"}),
                    Platform("Gamma", {})};
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  EXPECT_EQ(Record.OpenCLLoadAttempts, 0);  // already loaded: the library is not loaded again
  EXPECT_EQ(Items(Form.ComboBoxOpenCLPlatform), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
  EXPECT_EQ(Form.ComboBoxOpenCLPlatform->currentIndex(), 0);
  EXPECT_EQ(Items(Form.ComboBoxOpenCLDevice), (std::vector<std::string>{"Alpha One", "Alpha Two"}));
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->currentIndex(), 0);

  Form.ComboBoxOpenCLPlatform->setCurrentIndex(1);
  emit Form.ComboBoxOpenCLPlatform->activated(1);
  EXPECT_EQ(Items(Form.ComboBoxOpenCLDevice), (std::vector<std::string>{"Beta One", "Beta Two"}));
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->currentIndex(), 0);

  // Back to the first platform: its first device again, whatever was chosen before.
  Form.ComboBoxOpenCLDevice->setCurrentIndex(1);
  Form.ComboBoxOpenCLPlatform->setCurrentIndex(0);
  emit Form.ComboBoxOpenCLPlatform->activated(0);
  EXPECT_EQ(Items(Form.ComboBoxOpenCLDevice), (std::vector<std::string>{"Alpha One", "Alpha Two"}));
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->currentIndex(), 0);

  // A platform without devices: an empty list with no selection.
  Form.ComboBoxOpenCLPlatform->setCurrentIndex(2);
  emit Form.ComboBoxOpenCLPlatform->activated(2);
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->count(), 0);
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->currentIndex(), -1);

  // Every listing freed its enumeration: each device context made was released once.
  for (const TFakeHandle& Handle : Fake.Handles) EXPECT_EQ(Handle.Releases, 1);
}

// The work-item default follows the device the user picks: a GPU keeps "8704 - RTX 3080"; any
// other device offers and selects its compute-unit count before the cards.
TEST(WindowOpenCL, TheCoreCountBoxOffersTheComputeUnitsOfADeviceThatIsNotAGPU) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  TFakePlatform Mixed = Platform("Mixed", {"Card", "Processor"});
  Mixed.Devices[0].Type = CL_DEVICE_TYPE_GPU;
  Mixed.Devices[0].Values[CL_DEVICE_MAX_COMPUTE_UNITS] = 68;
  Mixed.Devices[1].Type = CL_DEVICE_TYPE_CPU;
  Mixed.Devices[1].Values[CL_DEVICE_MAX_COMPUTE_UNITS] = 12;
  Fake.Platforms = {Mixed};
  TRecordedServices Record;
  TFormVelmoraServices Services = RecordingServices(Record);
  std::mutex Guard;
  std::vector<std::int32_t> WorkItems;
  Services.RunTests = [&](TBenchmarkType, const TBenchmarkSettings& Settings, TBenchmarkReporter&, TVraxDirect3D9*) {
    const std::lock_guard<std::mutex> Lock(Guard);
    WorkItems.push_back(Settings.OpenCLComputeCoreCount);
  };
  TFormVelmora Form(std::move(Services));
  Form.show();
  std::vector<std::string> Cards;
  for (const TCoreCountItem& Item : CoreCountItems) Cards.push_back(Item.Text);
  EXPECT_EQ(Items(Form.ComboBoxCores), Cards);
  EXPECT_EQ(Form.ComboBoxCores->currentText(), "8704 - RTX 3080");

  // The user picks the processor with the keyboard.
  Form.ComboBoxOpenCLDevice->setFocus();
  QTest::keyClick(Form.ComboBoxOpenCLDevice, Qt::Key_Down);
  ASSERT_EQ(Form.ComboBoxOpenCLDevice->currentText(), "Processor");
  std::vector<std::string> WithUnits = {"12 - compute units"};
  WithUnits.insert(WithUnits.end(), Cards.begin(), Cards.end());
  EXPECT_EQ(Items(Form.ComboBoxCores), WithUnits);
  EXPECT_EQ(Form.ComboBoxCores->currentText(), "12 - compute units");
  QTest::mouseClick(Form.ButtonOpenCLReadWrite, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form));

  // And back to the card.
  QTest::keyClick(Form.ComboBoxOpenCLDevice, Qt::Key_Up);
  EXPECT_EQ(Items(Form.ComboBoxCores), Cards);
  EXPECT_EQ(Form.ComboBoxCores->currentText(), "8704 - RTX 3080");
  QTest::mouseClick(Form.ButtonOpenCLReadWrite, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form));
  EXPECT_EQ(WorkItems, (std::vector<std::int32_t>{12, 8704}));
}

TEST(WindowOpenCL, ShowsTheRealRuntimesPlatform) {
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  EXPECT_EQ(Record.OpenCLLoadAttempts, 1);
  ASSERT_EQ(Form.ComboBoxOpenCLPlatform->count(), 1);
  EXPECT_EQ(Form.ComboBoxOpenCLPlatform->itemText(0), "Portable Computing Language");
  EXPECT_GE(Form.ComboBoxOpenCLDevice->count(), 1);
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->currentIndex(), 0);
}

TEST(WindowOpenCL, WithoutALibraryTheListsStayEmptyAfterOneAttempt) {
  TRecordedServices Record;
  TFormVelmoraServices Services = RecordingServices(Record);
  Services.OpenCLLibraryName = "libOpenCL-that-does-not-exist.so.1";
  TFormVelmora Form(std::move(Services));
  EXPECT_EQ(Record.OpenCLLoadAttempts, 1);
  EXPECT_EQ(Form.ComboBoxOpenCLPlatform->count(), 0);
  EXPECT_EQ(Form.ComboBoxOpenCLDevice->count(), 0);
  EXPECT_EQ(MemoLines(Form).size(), 4u);  // the start-up lines and nothing more: the start goes on
  EXPECT_EQ(Record.OpenedUrls.size(), 1u);
}

}  // namespace
