// Stopping a run from the window as a user does: "Run benchmark" is the Stop button during a run,
// with Esc as its key. Each kind of test is started for a long run (10000 passes), stopped during
// its passes, and must end with its clean-up, one stopped line, no result, no later test,
// "Benchmarking completed." last, every control usable again and the process's memory back where
// it was.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <gtest/gtest.h>

#include <algorithm>
#include <regex>
#include <string>
#include <thread>

#include "FakeOpenCLLoader.h"
#include "ResidentMemory.h"
#include "WindowFixture.h"

namespace {

enum class TStopBy { Esc, Click };

struct TStopCase {
  const char* Name;
  QPushButton* TFormVelmora::*Start;
  QLabel* TFormVelmora::*Peak;  // the result label of the test that is stopped
  const char* Cores;            // typed into the core-count box
  bool FakeCard;                // the OpenCL test on the fake library's GeForce RTX 3080
  const char* PassLine;         // a line of the test's passes: it is under way
  const char* CleanUpLine;      // how the line before the stopped line begins
  TStopBy How;
  // What a stopped full run says of the tests it never ran, just before "Benchmarking completed.".
  const char* SkippedLine = nullptr;
};

const TStopCase StopCases[] = {
    {"SystemRAMWrite", &TFormVelmora::ButtonWriteSystemRAM, &TFormVelmora::LabelPeakSYSWrite, "2", false,
     "Write to system memory: ", "Freed system memory: 256.00 MB", TStopBy::Esc},
    {"SystemRAMRead", &TFormVelmora::ButtonReadSystemRAM, &TFormVelmora::LabelPeakSYSRead, "2", false,
     "Read from system memory: ", "Freed system memory: 256.00 MB", TStopBy::Click},
    {"GFXRAMWriteOnLavapipe", &TFormVelmora::ButtonWriteGFXRAM, &TFormVelmora::LabelPeakGFXWrite, "2", false,
     "Write to GFX memory: ", "Free texture memory: ", TStopBy::Click},
    {"GFXRAMReadOnLavapipe", &TFormVelmora::ButtonReadGFXRAM, &TFormVelmora::LabelPeakGFXRead, "2", false,
     "Read from GFX memory: ", "Free texture memory: ", TStopBy::Esc},
    {"OpenCLOnPocl", &TFormVelmora::ButtonOpenCLReadWrite, &TFormVelmora::LabelPeakGFXOCLReadWrite, "2", false,
     "OpenCL: Speed: ", "OpenCL: Freeing...", TStopBy::Click},
    // 512 work items over 256 MB at 760 GB/s: launches of 0.18 s.
    {"OpenCLOnAFakeCard", &TFormVelmora::ButtonOpenCLReadWrite, &TFormVelmora::LabelPeakGFXOCLReadWrite, "512", true,
     "OpenCL: Speed: ", "OpenCL: Freeing...", TStopBy::Esc},
    // A full run stopped in its first test: none of the four after it starts.
    {"AFullRunInItsFirstTest", &TFormVelmora::ButtonBenchmark, &TFormVelmora::LabelPeakGFXWrite, "2", false,
     "Write to GFX memory: ", "Free texture memory: ", TStopBy::Click,
     "Stopped: 4 tests not run (Read from GFX RAM, OpenCL r&w GFX RAM, Write to system RAM, Read from system RAM)"},
};

void PrintTo(const TStopCase& Case, std::ostream* Out) { *Out << Case.Name; }

std::size_t CountStartingWith(const std::vector<std::string>& Lines, const std::string& Prefix) {
  return static_cast<std::size_t>(
      std::count_if(Lines.begin(), Lines.end(), [&](const std::string& Line) { return Line.rfind(Prefix, 0) == 0; }));
}

// Processes events until the log holds Count lines that start with Prefix; false when time is up.
bool WaitForLines(const TFormVelmora& Form, const std::string& Prefix, std::size_t Count) {
  QElapsedTimer Timer;
  Timer.start();
  while (Timer.elapsed() < 60000) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    if (CountStartingWith(MemoLines(Form), Prefix) >= Count) return true;
  }
  return false;
}

class WindowStop : public ::testing::TestWithParam<TStopCase> {
 protected:
  void Show(TFormVelmora& Form) {
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  }
  static void Stop(TFormVelmora& Form, TStopBy How) {
    if (How == TStopBy::Esc) QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
    else QTest::mouseClick(Form.ButtonBenchmark, Qt::LeftButton);
  }
};

TEST_P(WindowStop, EndsTheTestAfterItsCurrentPassAndStartsNoOther) {
  const TStopCase& Case = GetParam();
  if (Case.FakeCard) {
    TFakeOpenCL& Fake = LoadFakeOpenCL(VELMORA_FAKE_OPENCL_PATH);
    TFakeDevice Card;
    Card.Name = "NVIDIA GeForce RTX 3080";
    Card.ReadBandwidth = 760e9;
    Fake.Platforms = {TFakePlatform{}};
    Fake.Platforms[0].Devices = {Card};
  }
  TRecordedServices Record;
  TFormVelmora Form(RecordingServices(Record));
  Form.SpinEditRAMSize->setValue(256);
  Form.SpinEditPasses->setValue(10000);
  Form.ComboBoxCores->setEditText(Case.Cores);
  Show(Form);
  const std::size_t StartLines = MemoLines(Form).size();
  const std::uint64_t MemoryBefore = ResidentBytes();

  QTest::mouseClick(Form.*Case.Start, Qt::LeftButton);
  EXPECT_EQ(Form.ButtonBenchmark->text(), "Stop");
  EXPECT_TRUE(Form.ButtonBenchmark->isEnabled());
  for (QWidget* Control : Form.LockedControls()) EXPECT_FALSE(Control->isEnabled());

  // A user sees the passes go by, then stops.
  ASSERT_TRUE(WaitForLines(Form, Case.PassLine, 2)) << MemoLines(Form).back();
  QTest::qWait(QApplication::doubleClickInterval());
  Stop(Form, Case.How);
  EXPECT_EQ(Form.ButtonBenchmark->text(), "Stopping...");
  EXPECT_FALSE(Form.ButtonBenchmark->isEnabled());
  ASSERT_TRUE(WaitForRunEnd(Form, 60000));
  Settle(200);

  const std::vector<std::string> All = MemoLines(Form);
  std::vector<std::string> Lines(All.begin() + static_cast<std::ptrdiff_t>(StartLines), All.end());
  ASSERT_GE(Lines.size(), 3u);
  EXPECT_EQ(Lines.back(), "Benchmarking completed.");
  if (Case.SkippedLine != nullptr) {
    EXPECT_EQ(Lines[Lines.size() - 2], Case.SkippedLine);
    Lines.erase(Lines.end() - 2);
  }
  EXPECT_TRUE(std::regex_match(Lines[Lines.size() - 2], std::regex(R"(Stopped by the user after \d+ of 10000 passes\.)")))
      << Lines[Lines.size() - 2];
  EXPECT_EQ(Lines[Lines.size() - 3].rfind(Case.CleanUpLine, 0), 0u) << Lines[Lines.size() - 3];
  EXPECT_EQ(CountStartingWith(Lines, "Stopped by the user"), 1u);
  EXPECT_EQ(CountStartingWith(Lines, "Running "), 1u);  // no later test started
  for (const std::string& Line : Lines) {
    EXPECT_EQ(Line.find("Average"), std::string::npos) << Line;
    EXPECT_EQ(Line.find("eak"), std::string::npos) << Line;  // "Peak ..." and "... test peak: ..."
  }
  EXPECT_EQ((Form.*Case.Peak)->text(), "-");
  if (Case.FakeCard) {
    // The fake card's launches read 512 x 256 MB at its 760 GB/s.
    EXPECT_EQ(CountStartingWith(Lines, "OpenCL: Speed: 707."), CountStartingWith(Lines, "OpenCL: Speed: "));
  }

  for (QWidget* Control : Form.LockedControls()) EXPECT_TRUE(Control->isEnabled());
  EXPECT_EQ(Form.ButtonBenchmark->text(), "Run benchmark");
  EXPECT_TRUE(Form.ButtonBenchmark->isEnabled());
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
  EXPECT_FALSE(Form.HasRunningWorker());
  // Every block went back: a kept one would be 256 MB.
  const std::int64_t Grown = static_cast<std::int64_t>(ResidentBytes()) - static_cast<std::int64_t>(MemoryBefore);
  EXPECT_LT(Grown, 64 << 20) << "the process grew by " << Grown / (1 << 20) << " MB";
}

INSTANTIATE_TEST_SUITE_P(EachKindOfTest, WindowStop, ::testing::ValuesIn(StopCases),
                         [](const ::testing::TestParamInfo<TStopCase>& Info) { return Info.param.Name; });

// The second click of a double-click on "Run benchmark" lands on the Stop button: the run goes on.
TEST(WindowStopButton, ADoubleClickStartsARunAndDoesNotStopIt) {
  TRecordedServices Record;
  TFormVelmoraServices Services = RecordingServices(Record);
  Services.RunTests = [](TBenchmarkType, const TBenchmarkSettings& Settings, TBenchmarkReporter& Reporter,
                         TVraxDirect3D9*) {
    while (!Settings.StopToken.stop_requested()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Reporter.Log("stopped");
  };
  TFormVelmora Form(std::move(Services));
  Form.show();
  // A double-click as the platform delivers it: press, release, double-click press, release.
  QTest::mouseClick(Form.ButtonBenchmark, Qt::LeftButton);
  QTest::mouseDClick(Form.ButtonBenchmark, Qt::LeftButton);
  QTest::mouseRelease(Form.ButtonBenchmark, Qt::LeftButton);
  Settle(QApplication::doubleClickInterval() + 100);
  EXPECT_TRUE(Form.HasRunningWorker());
  EXPECT_EQ(Form.ButtonBenchmark->text(), "Stop");

  QTest::mouseClick(Form.ButtonBenchmark, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form, 10000));
  const std::vector<std::string> Lines = MemoLines(Form);
  EXPECT_EQ(std::vector<std::string>(Lines.end() - 2, Lines.end()),
            (std::vector<std::string>{"stopped", "Benchmarking completed."}));
}

}  // namespace
