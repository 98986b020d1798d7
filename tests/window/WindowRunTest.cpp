// Runs started from the window's buttons: the locked controls, the cursors, the order in which
// results arrive, and what the window refuses to start.

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTimer>

#include <gtest/gtest.h>

#include <mutex>
#include <optional>
#include <regex>

#include "WindowEvents.h"
#include "WindowFixture.h"
#include "WindowMain.h"

namespace {

std::optional<Qt::CursorShape> ApplicationCursor() {
  if (const QCursor* Cursor = QApplication::overrideCursor()) return Cursor->shape();
  return std::nullopt;
}

std::vector<QLabel*> ResultLabels(const TFormVelmora& Form) {
  return {Form.LabelPeakGFXWrite, Form.LabelPeakGFXRead, Form.LabelPeakGFXOCLReadWrite, Form.LabelPeakSYSWrite,
          Form.LabelPeakSYSRead};
}

std::vector<std::string> LabelTexts(const TFormVelmora& Form) {
  std::vector<std::string> Texts;
  for (const QLabel* Label : ResultLabels(Form)) Texts.push_back(Label->text().toStdString());
  return Texts;
}

bool AllEnabled(const TFormVelmora& Form, bool Enabled) {
  for (QWidget* Control : Form.LockedControls())
    if (Control->isEnabled() != Enabled) return false;
  return true;
}

// Watches the result messages as the window receives them.
class TResultWatcher : public QObject {
 public:
  explicit TResultWatcher(TFormVelmora& Form) : FForm(Form) { Form.installEventFilter(this); }
  struct TSeen {
    TBenchmarkType Type;
    bool Finished;
    std::vector<std::string> LabelsBefore;
  };
  std::vector<TSeen> Seen;

 protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    HandOverAcquire(Event);  // it sees the worker's events before the window does
    if (Event->type() == TBenchmarkResultEvent::EventType) {
      const auto& Message = static_cast<TBenchmarkResultEvent*>(Event)->Message();
      Seen.push_back({Message.BenchmarkType, Message.Finished, LabelTexts(FForm)});
    }
    return false;
  }

 private:
  TFormVelmora& FForm;
};

class WindowRun : public ::testing::Test {
 protected:
  void SetUp() override {
    Form.SpinEditRAMSize->setValue(256);
    Form.SpinEditPasses->setValue(2);
  }
  TRecordedServices Record;
  TFormVelmora Form{RecordingServices(Record)};
};

TEST_F(WindowRun, ASingleTestLocksTheWindowSetsItsLabelAndEndsWithCompletion) {
  for (QLabel* Label : ResultLabels(Form)) Label->setText("before");
  const std::size_t StartLines = MemoLines(Form).size();
  Form.ButtonWriteSystemRAM->click();
  EXPECT_TRUE(AllEnabled(Form, false));
  EXPECT_EQ(ApplicationCursor(), Qt::BusyCursor);
  EXPECT_TRUE(Form.Memo1->isEnabled());  // the log, the menu and the link stay usable
  EXPECT_TRUE(Form.Exit1->isEnabled());

  ASSERT_TRUE(WaitForRunEnd(Form));
  Settle();
  const std::vector<std::string> Lines = MemoLines(Form);
  ASSERT_EQ(Lines.size(), StartLines + 8);
  EXPECT_EQ(Lines[StartLines], "Allocated system memory: 256.00 MB");
  EXPECT_EQ(Lines[StartLines + 6].rfind("Peak system RAM write: 256.00 MB ", 0), 0u);
  EXPECT_EQ(Lines.back(), "Benchmarking completed.");
  EXPECT_TRUE(AllEnabled(Form, true));
  EXPECT_EQ(ApplicationCursor(), std::nullopt);
  EXPECT_TRUE(std::regex_match(Form.LabelPeakSYSWrite->text().toStdString(), std::regex(R"(\d+\.\d\d [KMGT]B/s)")))
      << Form.LabelPeakSYSWrite->text().toStdString();
  for (QLabel* Label : {Form.LabelPeakGFXWrite, Form.LabelPeakGFXRead, Form.LabelPeakGFXOCLReadWrite,
                        Form.LabelPeakSYSRead})
    EXPECT_EQ(Label->text(), "before");
}

TEST_F(WindowRun, AFullRunResetsTheLabelsAndReportsInTheFixedOrder) {
  for (QLabel* Label : ResultLabels(Form)) Label->setText("before");
  Form.ComboBoxCores->setEditText("2");  // two work items keep the OpenCL test short on a CPU
  TResultWatcher Watcher(Form);
  Form.ButtonBenchmark->click();
  EXPECT_EQ(LabelTexts(Form), std::vector<std::string>(5, "-"));
  EXPECT_EQ(ApplicationCursor(), std::nullopt);  // "Run benchmark" puts the default cursor back at once
  EXPECT_TRUE(AllEnabled(Form, false));

  ASSERT_TRUE(WaitForRunEnd(Form, 300000));
  Settle();
  ASSERT_EQ(Watcher.Seen.size(), 6u);
  const TBenchmarkType Order[] = {bmGFXRAMWrite, bmGFXRAMRead, bmOpenCLRAMReadWrite, bmSystemRAMWrite,
                                  bmSystemRAMRead, bmAll};
  for (std::size_t Index = 0; Index < 6; ++Index) {
    EXPECT_EQ(Watcher.Seen[Index].Type, Order[Index]) << Index;
    EXPECT_EQ(Watcher.Seen[Index].Finished, Index == 5) << Index;
  }
  // The final message changed no label.
  EXPECT_EQ(LabelTexts(Form), Watcher.Seen[5].LabelsBefore);
  for (const std::string& Text : LabelTexts(Form))
    EXPECT_TRUE(std::regex_match(Text, std::regex(R"(\d+\.\d\d [KMGT]B/s)"))) << Text;
  EXPECT_EQ(MemoLines(Form).back(), "Benchmarking completed.");
  EXPECT_TRUE(AllEnabled(Form, true));
}

TEST_F(WindowRun, TakesTheSettingsFromTheControlsInSixtyFourBits) {
  struct TCase {
    int SizeMB;
    const char* CoreItem;  // null: typed
    const char* CoreText;  // typed when there is no item
    std::int64_t MemorySize;
    std::int32_t Cores;
  };
  const TCase Cases[] = {
      {4096, "7680 - RTX 4070 Ti", nullptr, 4294967296, 7680},
      {10000, "16384 - RTX 4090", nullptr, 10485760000, 16384},
      {256, nullptr, "5000", 268435456, 5000},
      {256, nullptr, " 42 ", 268435456, 42},
  };
  std::mutex Guard;
  std::vector<TBenchmarkSettings> Seen;
  TFormVelmoraServices Services = RecordingServices(Record);
  Services.RunTests = [&](TBenchmarkType, const TBenchmarkSettings& Settings, TBenchmarkReporter&, TVraxDirect3D9*) {
    std::lock_guard<std::mutex> Lock(Guard);
    Seen.push_back(Settings);
  };
  TFormVelmora Recorded(std::move(Services));
  for (const TCase& Case : Cases) {
    Recorded.SpinEditRAMSize->setValue(Case.SizeMB);
    Recorded.SpinEditPasses->setValue(7);
    if (Case.CoreItem) Recorded.ComboBoxCores->setCurrentIndex(Recorded.ComboBoxCores->findText(Case.CoreItem));
    else Recorded.ComboBoxCores->setEditText(Case.CoreText);
    Recorded.ButtonReadSystemRAM->click();
    ASSERT_TRUE(WaitForRunEnd(Recorded));
  }
  ASSERT_EQ(Seen.size(), 4u);
  for (std::size_t Index = 0; Index < 4; ++Index) {
    EXPECT_EQ(Seen[Index].MemorySize, Cases[Index].MemorySize) << Index;
    EXPECT_EQ(Seen[Index].OpenCLComputeCoreCount, Cases[Index].Cores) << Index;
    EXPECT_EQ(Seen[Index].Passes, 7);
    EXPECT_EQ(Seen[Index].OpenCLPlatform, Recorded.ComboBoxOpenCLPlatform->currentIndex());
    EXPECT_EQ(Seen[Index].OpenCLDevice, Recorded.ComboBoxOpenCLDevice->currentIndex());
  }
}

TEST_F(WindowRun, ACoreCountThatIsNoPositiveWholeNumberStartsNothing) {
  for (const char* Typed : {"abc", "", "-5", "1e3", "99999999999", "0", "12 cores"}) {
    const std::size_t Before = MemoLines(Form).size();
    Form.ComboBoxCores->setEditText(Typed);
    Form.ButtonOpenCLReadWrite->click();
    EXPECT_FALSE(Form.HasRunningWorker()) << Typed;
    EXPECT_TRUE(AllEnabled(Form, true)) << Typed;
    EXPECT_EQ(ApplicationCursor(), std::nullopt) << Typed;
    Settle();
    const std::vector<std::string> Lines = MemoLines(Form);
    ASSERT_EQ(Lines.size(), Before + 1) << Typed;
    EXPECT_EQ(Lines.back(), "Compute core count \"" + std::string(Typed) +
                                "\" is not a positive whole number. The benchmark was not started.");
  }
}

TEST_F(WindowRun, LogsEmptyLinesAndKeepsPostingOrder) {
  const std::size_t Before = MemoLines(Form).size();
  Form.Log("one");
  Form.Log("");
  Form.Log("three");
  Settle();
  const std::vector<std::string> Lines = MemoLines(Form);
  ASSERT_EQ(Lines.size(), Before + 3);
  EXPECT_EQ(std::vector<std::string>(Lines.end() - 3, Lines.end()), (std::vector<std::string>{"one", "", "three"}));
  Form.SendResult("ignored", bmAll, false);
  Settle();
  EXPECT_EQ(LabelTexts(Form), std::vector<std::string>(5, "-"));
}

// Closing the window during a run ends the process at once and cleanly (exit status 0).
TEST(WindowClose, DuringARunEndsTheProcessPromptly) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  auto CloseDuringRun = [] {
    TRecordedServices Record;
    TFormVelmora Form(RecordingServices(Record));
    Form.SpinEditRAMSize->setValue(256);
    Form.SpinEditPasses->setValue(10000);  // minutes of work: the close must not wait for it
    Form.show();
    QTimer::singleShot(0, Form.ButtonReadSystemRAM, &QPushButton::click);
    QTimer::singleShot(500, Form.Exit1, &QAction::trigger);  // File > Exit stays usable during a run
    RunMainWindowLoop(*qApp, Form);
    std::exit(3);  // not reached: the loop ends the process while the worker runs
  };
  QElapsedTimer Timer;
  Timer.start();
  EXPECT_EXIT(CloseDuringRun(), ::testing::ExitedWithCode(0), "");
  EXPECT_LT(Timer.elapsed(), 30000);
}

}  // namespace
