// What the window tells a user on hover and after a run: the full names of the OpenCL entries, a
// result's figure in bytes per second with its spread, and a figure that the last run of its test
// did not renew marked as older, until a fresh one comes.

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QHelpEvent>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "FakeVulkan.h"
#include "WindowFixture.h"

namespace {

// What a user reads when the mouse rests on Widget.
std::string HoverText(QWidget* Widget) {
  QHelpEvent Hover(QEvent::ToolTip, Widget->rect().center(), Widget->mapToGlobal(Widget->rect().center()));
  QApplication::sendEvent(Widget, &Hover);
  const std::string Text = QToolTip::isVisible() ? QToolTip::text().toStdString() : "";
  QToolTip::hideText();
  return Text;
}

bool Contains(const std::string& Text, const std::string& Part) { return Text.find(Part) != std::string::npos; }

// A result box is dimmed when it shows its text in the colour of disabled text.
bool Dimmed(const QLabel* Label) {
  return Label->palette().color(QPalette::WindowText) == Label->palette().color(QPalette::Disabled, QPalette::WindowText);
}

class WindowHints : public ::testing::Test {
 protected:
  void Show(TFormVelmora& Form) {
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  }
  static void Run(TFormVelmora& Form, QPushButton* Button, int SizeMB, int Passes) {
    Form.SpinEditRAMSize->setValue(SizeMB);
    Form.SpinEditPasses->setValue(Passes);
    QTest::mouseClick(Button, Qt::LeftButton);
    ASSERT_TRUE(WaitForRunEnd(Form));
  }
  TRecordedServices Record;
};

TEST_F(WindowHints, TheOpenCLBoxesNameTheirWholeEntryAndDropDownWideEnough) {
  TFormVelmora Form(RecordingServices(Record));
  Show(Form);
  for (QComboBox* Box : {Form.ComboBoxOpenCLPlatform, Form.ComboBoxOpenCLDevice, Form.ComboBoxCores}) {
    SCOPED_TRACE(Box->objectName().toStdString());
    ASSERT_GT(Box->count(), 0);
    EXPECT_EQ(HoverText(Box), Box->currentText().toStdString());
    int Longest = 0;
    for (int Index = 0; Index < Box->count(); ++Index)
      Longest = std::max(Longest, Box->view()->fontMetrics().horizontalAdvance(Box->itemText(Index)));
    Box->showPopup();
    ASSERT_TRUE(QTest::qWaitFor([&] { return Box->view()->isVisible(); }, 5000));
    EXPECT_GE(Box->view()->viewport()->width(), Longest);
    Box->hidePopup();
  }
  // Another device chosen: the box names it.
  if (Form.ComboBoxOpenCLDevice->count() > 1) {
    Form.ComboBoxOpenCLDevice->setCurrentIndex(1);
    EXPECT_EQ(HoverText(Form.ComboBoxOpenCLDevice), Form.ComboBoxOpenCLDevice->itemText(1).toStdString());
  }
}

TEST_F(WindowHints, AResultSaysItsFigureInBytesPerSecondAndHowSteadyItsPassesWere) {
  TFormVelmora Form(RecordingServices(Record));
  Show(Form);
  EXPECT_EQ(HoverText(Form.LabelPeakSYSRead), "");
  Run(Form, Form.ButtonReadSystemRAM, 256, 3);
  const std::string Hover = HoverText(Form.LabelPeakSYSRead);
  EXPECT_EQ(Hover.rfind(Form.LabelPeakSYSRead->text().toStdString() + " is ", 0), 0u) << Hover;
  EXPECT_TRUE(Contains(Hover, " bytes per second (")) << Hover;
  EXPECT_TRUE(Contains(Hover, "1 GB = 2^30 bytes")) << Hover;
  EXPECT_TRUE(Contains(Hover, "\nPasses after the first (2): median ")) << Hover;
  EXPECT_TRUE(Contains(Hover, ", CV ")) << Hover;
  EXPECT_FALSE(Dimmed(Form.LabelPeakSYSRead));
}

// A failed GFX test (a block the fake RTX 2070 SUPER cannot hold) and a stopped system RAM test
// each leave their box's earlier figure, dimmed, saying when it was measured and why the last run
// gave none; the next figure is fresh again.
TEST_F(WindowHints, AFigureTheLastRunDidNotRenewIsMarkedOlderUntilAFreshOneComes) {
  TScopedFakeVulkan Driver("small-bar");
  TFakePciSysfs Sysfs;
  TFormVelmoraServices Services = RecordingServices(Record);
  Services.CreateVideoMemory = [&] { return std::make_unique<TVraxDirect3D9>(false, Sysfs.Vulkan()); };
  TFormVelmora Form(std::move(Services));
  Show(Form);

  Run(Form, Form.ButtonWriteGFXRAM, 256, 2);
  const QString Figure = Form.LabelPeakGFXWrite->text();
  ASSERT_NE(Figure, "-");
  Run(Form, Form.ButtonWriteGFXRAM, 9984, 2);
  EXPECT_EQ(Form.LabelPeakGFXWrite->text(), Figure);
  EXPECT_TRUE(Dimmed(Form.LabelPeakGFXWrite));
  const std::string Failed = HoverText(Form.LabelPeakGFXWrite);
  EXPECT_EQ(Failed.rfind("Older figure, measured ", 0), 0u) << Failed;
  EXPECT_TRUE(Contains(Failed, "The last run of this test gave no figure: failed: List index out of bounds (0).  TList "
                               "is empty (GFX RAM block of 9.75 GB does not fit: this adapter has only 7.08 GB of free "
                               "memory)."))
      << Failed;
  Run(Form, Form.ButtonWriteGFXRAM, 256, 2);
  EXPECT_FALSE(Dimmed(Form.LabelPeakGFXWrite));
  EXPECT_TRUE(Contains(HoverText(Form.LabelPeakGFXWrite), "bytes per second"));

  Run(Form, Form.ButtonWriteSystemRAM, 256, 2);
  const QString SystemFigure = Form.LabelPeakSYSWrite->text();
  Form.SpinEditPasses->setValue(10000);
  QTest::mouseClick(Form.ButtonWriteSystemRAM, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] {
    const std::vector<std::string> Lines = MemoLines(Form);
    return Lines.back().rfind("Write to system memory: ", 0) == 0;
  }, 60000));
  QTest::qWait(QApplication::doubleClickInterval());
  QTest::mouseClick(Form.ButtonBenchmark, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form));
  EXPECT_EQ(Form.LabelPeakSYSWrite->text(), SystemFigure);
  EXPECT_TRUE(Dimmed(Form.LabelPeakSYSWrite));
  EXPECT_TRUE(Contains(HoverText(Form.LabelPeakSYSWrite), "gave no figure: stopped: Stopped by the user after "));
  // The other boxes are untouched.
  EXPECT_FALSE(Dimmed(Form.LabelPeakGFXWrite));
  Form.SpinEditPasses->setValue(2);
  Run(Form, Form.ButtonWriteSystemRAM, 256, 2);
  EXPECT_FALSE(Dimmed(Form.LabelPeakSYSWrite));
}

}  // namespace
