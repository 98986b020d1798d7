// What the user types is what runs: real key presses into the boxes, then the focus leaving by Tab
// or by a click on a test button, as a user does it.

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <mutex>

#include "FakeOpenCLLoader.h"
#include "WindowFixture.h"

namespace {

enum class TLeave { ByTab, ByClickingTheButton };

class WindowInput : public ::testing::Test {
 protected:
  // The window on screen and active, so that clicks and keys move the focus as on a desktop.
  void Show(TFormVelmora& Form) {
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  }

  // Clicks into the box's text, selects what is there and types Text over it.
  static void TypeInto(QWidget* Box, const QString& Text) {
    QLineEdit* Edit = Box->findChild<QLineEdit*>();
    QTest::mouseClick(Edit, Qt::LeftButton, Qt::NoModifier, Edit->rect().center());
    ASSERT_TRUE(Box->hasFocus()) << Box->objectName().toStdString();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
    if (Text.isEmpty()) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backspace);
    else QTest::keyClicks(QApplication::focusWidget(), Text);
  }

  static void Leave(QWidget* Box, TLeave How, QPushButton* Button) {
    if (How == TLeave::ByTab) {
      QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
      ASSERT_FALSE(Box->hasFocus());
      QTest::mouseClick(Button, Qt::LeftButton);
    } else {
      QTest::mouseClick(Button, Qt::LeftButton);  // the press takes the focus, the release clicks
    }
  }
};

TEST_F(WindowInput, ATypedCoreCountIsTheNumberOfWorkItemsThatRun) {
  TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
  Fake.Platforms = {TFakePlatform{}};
  Fake.Platforms[0].Devices = {TFakeDevice{}};
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  Form.SpinEditRAMSize->setValue(256);
  Form.SpinEditPasses->setValue(2);
  Show(Form);

  struct TCase {
    const char* Typed;
    TLeave How;
  };
  // Each of these was once completed to a list item: 1920, 2560, 8704, 16384, 2560, 10240.
  const TCase Cases[] = {{"1", TLeave::ByTab},   {"2", TLeave::ByClickingTheButton}, {"8", TLeave::ByTab},
                         {"16", TLeave::ByClickingTheButton}, {"256", TLeave::ByTab}, {"1024", TLeave::ByClickingTheButton}};
  for (const TCase& Case : Cases) {
    Fake.Commands.clear();
    TypeInto(Form.ComboBoxCores, Case.Typed);
    Leave(Form.ComboBoxCores, Case.How, Form.ButtonOpenCLReadWrite);
    ASSERT_TRUE(WaitForRunEnd(Form)) << Case.Typed;
    EXPECT_EQ(Form.ComboBoxCores->currentText().toStdString(), Case.Typed);
    ASSERT_FALSE(Fake.Commands.empty()) << Case.Typed;
    for (const TFakeCommand& Launch : Fake.Commands)
      EXPECT_EQ(Launch.GlobalWorkSize, std::vector<std::size_t>{std::stoul(Case.Typed)}) << Case.Typed;
  }

  // The list still offers its items, and a chosen one runs its count.
  ASSERT_EQ(Form.ComboBoxCores->count(), 16);
  Form.ComboBoxCores->setFocus();
  QTest::keyClick(Form.ComboBoxCores, Qt::Key_Down);  // the arrow picks an item of the list
  Fake.Commands.clear();
  QTest::mouseClick(Form.ButtonOpenCLReadWrite, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form));
  ASSERT_FALSE(Fake.Commands.empty());
  EXPECT_EQ(Fake.Commands[0].GlobalWorkSize[0], std::stoul(Form.ComboBoxCores->currentText().toStdString()));
}

TEST_F(WindowInput, ASpinEditCorrectsATypedValueToTheNearestLimitAndTheRunUsesIt) {
  std::mutex Guard;
  std::vector<TBenchmarkSettings> Runs;
  TRecordedServices Record;
  TFormVelmoraServices Services = RecordingServices(Record);
  Services.RunTests = [&](TBenchmarkType, const TBenchmarkSettings& Settings, TBenchmarkReporter&, TVraxDirect3D9*) {
    std::lock_guard<std::mutex> Lock(Guard);
    Runs.push_back(Settings);
  };
  TFormVelmora Form(std::move(Services));
  Show(Form);

  struct TCase {
    TSpinEdit* Box;
    const char* Typed;
    int Shown;  // what the box shows once left, and what the run gets
    TLeave How;
  };
  const TCase Cases[] = {
      {Form.SpinEditRAMSize, "100", 256, TLeave::ByClickingTheButton},
      {Form.SpinEditRAMSize, "20000", 10000, TLeave::ByTab},
      {Form.SpinEditRAMSize, "3000", 3000, TLeave::ByClickingTheButton},
      {Form.SpinEditRAMSize, "", 3000, TLeave::ByClickingTheButton},  // an emptied box keeps its value
      {Form.SpinEditPasses, "1", 2, TLeave::ByClickingTheButton},
      {Form.SpinEditPasses, "20000", 10000, TLeave::ByClickingTheButton},
      {Form.SpinEditPasses, "", 10000, TLeave::ByTab},
      {Form.SpinEditPasses, "7", 7, TLeave::ByTab},
  };
  for (const TCase& Case : Cases) {
    const std::string Name = Case.Box->objectName().toStdString() + " typed \"" + Case.Typed + "\"";
    TypeInto(Case.Box, Case.Typed);
    Leave(Case.Box, Case.How, Form.ButtonReadSystemRAM);
    ASSERT_TRUE(WaitForRunEnd(Form)) << Name;
    EXPECT_EQ(Case.Box->text().toStdString(), std::to_string(Case.Shown)) << Name;
    std::lock_guard<std::mutex> Lock(Guard);
    ASSERT_FALSE(Runs.empty());
    const std::int64_t Ran = Case.Box == Form.SpinEditRAMSize ? Runs.back().MemorySize / 1048576 : Runs.back().Passes;
    EXPECT_EQ(Ran, Case.Shown) << Name;
  }

  // A button pressed without taking the focus, as an accessibility tool presses it: the box is
  // still being typed into when the run reads it.
  TypeInto(Form.SpinEditRAMSize, "99");
  Form.ButtonReadSystemRAM->click();
  ASSERT_TRUE(WaitForRunEnd(Form));
  EXPECT_EQ(Form.SpinEditRAMSize->text().toStdString(), "256");
  EXPECT_EQ(Runs.back().MemorySize, 256 * 1048576LL);
}

TEST_F(WindowInput, ASpinEditRefusesWhatIsNoNumber) {
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  Show(Form);
  TypeInto(Form.SpinEditPasses, "1x2-");
  EXPECT_EQ(Form.SpinEditPasses->text().toStdString(), "12");
}

}  // namespace
