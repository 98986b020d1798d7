// The window's OpenCL lists: filled at creation, the device list following the user's platform
// choice, and empty without an OpenCL library.

#include <QComboBox>

#include <gtest/gtest.h>

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
