// The DPI the window scales itself by, and its own scaling.

#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>

#include <gtest/gtest.h>

#include <cstdlib>

#include "DPIFunctions.h"
#include "WindowFixture.h"
#include "WindowMain.h"

namespace {

TEST(ChooseScreenDPI, TakesTheSmallerMonitorValueOrTheScreensWithout) {
  struct TCase {
    std::uint32_t DpiX, DpiY;
    int Screen;
    int Chosen;
  };
  const TCase Cases[] = {
      {144, 120, 96, 120}, {120, 144, 96, 120}, {96, 96, 144, 96}, {0, 120, 144, 144}, {0, 0, 96, 96},
  };
  for (const TCase& Case : Cases)
    EXPECT_EQ(ChooseScreenDPI(Case.DpiX, Case.DpiY, Case.Screen), Case.Chosen) << Case.DpiX << "x" << Case.DpiY;
}

TEST(QueryMonitorDPI, GivesZeroWithoutAMonitor) {
  std::uint32_t DpiX = 7, DpiY = 7;
  QueryMonitorDPI(nullptr, DpiX, DpiY);
  EXPECT_EQ(DpiX, 0u);
  EXPECT_EQ(DpiY, 0u);
}

class ScreenDPIOf : public ::testing::Test {
 protected:
  void TearDown() override { ScreenDPI = 96; }
};

TEST_F(ScreenDPIOf, OneHundredTwentyScalesEveryBoundAndFontByAQuarter) {
  ScreenDPI = 120;
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  EXPECT_EQ(Form.centralWidget()->size(), QSize(905, 763));
  EXPECT_EQ(Form.GroupBox10->geometry(), QRect(10, 94, 881, 68));
  EXPECT_EQ(Form.ButtonExit->geometry(), QRect(805, 719, 90, 34));
  EXPECT_EQ(Form.ButtonExit->font().pixelSize(), 14);
  EXPECT_EQ(Form.LabelPeakSYSRead->font().pixelSize(), 20);
  EXPECT_EQ(Form.height(), 763 + Form.menuBar()->sizeHint().height());
}

TEST_F(ScreenDPIOf, NinetySixLeavesTheFormAsDesigned) {
  ScreenDPI = 96;
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  EXPECT_EQ(Form.centralWidget()->size(), QSize(724, 610));
  EXPECT_EQ(Form.GroupBox10->geometry(), QRect(8, 75, 705, 54));
}

// Run by CTest twice: once with Qt scaling the window itself (QT_SCALE_FACTOR), where the form
// must not scale again, and once with Qt's scaling off and a logical DPI of 120, where the form
// scales itself. VELMORA_EXPECTED_DPI says which; CTest fails the test if it skips.
TEST(StartUpDPI, NeverScalesTwiceWhatQtScales) {
  const char* Expected = std::getenv("VELMORA_EXPECTED_DPI");
  if (Expected == nullptr) GTEST_SKIP() << "run through CTest, which sets the scaling environment";
  ChooseFormDPI();
  EXPECT_EQ(ScreenDPI, std::atoi(Expected));
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  const int Width = ScreenDPI == 96 ? 724 : 724 * ScreenDPI / 96;
  EXPECT_EQ(Form.centralWidget()->width(), Width);
  ScreenDPI = 96;
}

}  // namespace
