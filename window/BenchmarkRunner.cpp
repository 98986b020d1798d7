// The runner: a button press becomes one run on one worker thread, which reports to the window
// (FormMessages.cpp); the run's final message puts the window at rest again.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QSpinBox>
#include <QThread>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "BenchmarkRun.h"
#include "CoreCounts.h"
#include "ExceptionLine.h"
#include "ProcessPriority.h"
#include "ResultTexts.h"
#include "ResultsMenu.h"
#include "RunDescription.h"
#include "TestTable.h"
#include "Unit1.h"
#include "ViewMenu.h"

namespace {

// The application-wide cursor: one shape at a time (none: the default cursor).
void SetApplicationCursor(std::optional<Qt::CursorShape> Shape) {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  if (Shape) QApplication::setOverrideCursor(*Shape);
}

// The run's request: what one run's worker gets, shared by DoBenchmark and the thread object; it
// dies with the last of the two.
struct TBenchmarkRequest {
  TFormVelmora* Self = nullptr;
  TBenchmarkType BenchmarkType = bmAll;
  std::int64_t SettingMemorySize = 0;
  std::int32_t SetingPasses = 0;
  std::int32_t SetingOpenCLPlatform = -1;
  std::int32_t SetingOpenCLDevice = -1;
  std::int32_t SetingOpenCLComputeCoreCount = 0;
  std::stop_token StopToken;  // the run's: the Stop button asks through it
  std::function<void(TBenchmarkType, const TBenchmarkSettings&, TBenchmarkReporter&, TVraxDirect3D9*)> RunTests;
  QThread* BenchmarkThread = nullptr;
  std::atomic<int>* RunningWorkers = nullptr;  // the window's count, so that it can exit cleanly
};

TBenchmarkSettings SettingsOfRun(const TBenchmarkRequest& Request) {
  TBenchmarkSettings Settings;
  Settings.MemorySize = Request.SettingMemorySize;
  Settings.Passes = Request.SetingPasses;
  Settings.OpenCLPlatform = Request.SetingOpenCLPlatform;
  Settings.OpenCLDevice = Request.SetingOpenCLDevice;
  Settings.OpenCLComputeCoreCount = Request.SetingOpenCLComputeCoreCount;
  Settings.StopToken = Request.StopToken;
  return Settings;
}

void RunWorker(const TBenchmarkRequest& Request) {
  RaiseCurrentThreadPriority();
  const TBenchmarkSettings Settings = SettingsOfRun(Request);
  try {
    // The lines, results and record-keeping calls go to the window as the tests make them.
    Request.RunTests(Request.BenchmarkType, Settings, *Request.Self, VideoMemory);
  } catch (...) {
    // Every test catches its own errors; should one still escape, the run must end all the same
    // or the window would stay locked.
    Request.Self->Log(ExceptionLine(std::current_exception()));
  }
  Request.Self->SendResult("", bmAll, true);
  --*Request.RunningWorkers;
}

}  // namespace

std::array<QWidget*, 11> TFormVelmora::LockedControls() const {
  return {SpinEditRAMSize,      SpinEditPasses,        ComboBoxOpenCLPlatform, ComboBoxOpenCLDevice,
          ComboBoxCores,        ButtonWriteGFXRAM,     ButtonReadGFXRAM,       ButtonOpenCLReadWrite,
          ButtonWriteSystemRAM, ButtonReadSystemRAM,   ButtonExit};
}

void TFormVelmora::EnableControls() {
  for (QWidget* Control : LockedControls()) Control->setEnabled(true);
  ButtonBenchmark->setText("Run benchmark");
  ButtonBenchmark->setToolTip(QString());
  ButtonBenchmark->setEnabled(true);
  FStopShortcut->setEnabled(false);
}

void TFormVelmora::DisableControls() {
  for (QWidget* Control : LockedControls()) Control->setEnabled(false);
  // The one control a user looks for to end a run is the one that started it: the layout stays
  // as it is at rest.
  ButtonBenchmark->setText("Stop");
  ButtonBenchmark->setToolTip("Stop the run after the current pass (Esc)");
  FStopShortcut->setEnabled(true);
}

void TFormVelmora::StopBenchmark() {
  if (!FRunStop || FRunStop->stop_requested()) return;
  FRunStop->request_stop();
  // The worker ends the current pass first, which can take a while: the button says the stop was
  // taken and is not pressed again.
  ButtonBenchmark->setText("Stopping...");
  ButtonBenchmark->setEnabled(false);
}

void TFormVelmora::DoBenchmark(TBenchmarkType BenchmarkType) {
  auto Request = std::make_shared<TBenchmarkRequest>();
  Request->Self = this;
  Request->BenchmarkType = BenchmarkType;
  Request->RunTests = FServices.RunTests;
  FRunButton = RunButton(BenchmarkType);
  SetApplicationCursor(Qt::BusyCursor);
  DisableControls();
  MainFormHandle = this;
  // A number still being typed counts as the box shows it once corrected, also when the run was
  // started by a key or a control that leaves the focus in the box.
  SpinEditRAMSize->interpretText();
  SpinEditPasses->interpretText();
  Request->SettingMemorySize = MegabytesToBytes(SpinEditRAMSize->value());
  Request->SetingPasses = SpinEditPasses->value();
  Request->SetingOpenCLPlatform = ComboBoxOpenCLPlatform->currentIndex();
  Request->SetingOpenCLDevice = ComboBoxOpenCLDevice->currentIndex();

  // An item counts only while the box shows its text; anything typed is taken as a number.
  const int Selected = ComboBoxCores->currentIndex();
  const QString Text = ComboBoxCores->currentText();
  const bool ItemShown = Selected >= 0 && ComboBoxCores->itemText(Selected) == Text;
  const std::optional<std::int32_t> ItemCount =
      ItemShown ? std::optional<std::int32_t>(ComboBoxCores->itemData(Selected).toInt()) : std::nullopt;
  const std::optional<std::int32_t> CoreCount = ComputeCoreCount(ItemCount, Text.toStdString());
  if (!CoreCount) {
    Log("Compute core count \"" + Text.toStdString() +
        "\" is not a positive whole number. The benchmark was not started.");
    EnableControls();
    SetApplicationCursor(std::nullopt);
    return;
  }
  Request->SetingOpenCLComputeCoreCount = *CoreCount;

  FRunStop.emplace();
  FRunClock.start();
  Request->StopToken = FRunStop->get_token();
  // The window's record, and so the chart, holds this run from now on; its passes follow through
  // the event queue.
  FRunRecords.RunStarted(DescribeRun(FProgramVersion), {TestsOfRun(BenchmarkType), SettingsOfRun(*Request)});
  FViewMenu->RecordChanged();
  Request->RunningWorkers = &FRunningWorkers;
  ++FRunningWorkers;
  Request->BenchmarkThread = QThread::create([Request] { RunWorker(*Request); });
  // Free-on-terminate: the thread object goes once it has finished, on this thread.
  connect(Request->BenchmarkThread, &QThread::finished, Request->BenchmarkThread, &QObject::deleteLater);
  Request->BenchmarkThread->start();
}

void TFormVelmora::ButtonBenchmarkClick() {
  if (FRunStop) {
    // The second click of a double-click on "Run benchmark" lands on the Stop button it just
    // became: it must not stop the run it started.
    if (FRunClock.elapsed() >= QApplication::doubleClickInterval()) StopBenchmark();
    return;
  }
  SetApplicationCursor(Qt::WaitCursor);
  for (const TBenchmarkTest& Test : BenchmarkTests())
    if (QLabel* Label = ResultLabel(Test.Type)) {
      Label->setText("-");
      ShowResultAsFresh(*Label, "");
    }
  DoBenchmark(bmAll);
  SetApplicationCursor(std::nullopt);
}

void TFormVelmora::Button4Click() { DoBenchmark(bmGFXRAMWrite); }
void TFormVelmora::Button3Click() { DoBenchmark(bmGFXRAMRead); }
void TFormVelmora::ButtonOpenCLReadWriteClick() { DoBenchmark(bmOpenCLRAMReadWrite); }
void TFormVelmora::Button8Click() { DoBenchmark(bmSystemRAMWrite); }
void TFormVelmora::Button9Click() { DoBenchmark(bmSystemRAMRead); }

void TFormVelmora::EndRun() {
  FRunRecords.RunEnded();
  const TRunRecord& Run = *FRunRecords.LastRun();
  // A stopped run says what it never ran, in the words of the window's buttons.
  const std::string Skipped = SkippedTestsLine(Run, [this](TBenchmarkType Type) {
    if (const QPushButton* Button = RunButton(Type)) return Button->text().replace("&&", "&").toStdString();
    return std::string(FindBenchmarkTest(Type)->Description);
  });
  if (!Skipped.empty()) Log(Skipped);
  Log("Benchmarking completed.");
  ExplainResults(Run);
  FViewMenu->RecordChanged();
  FResultsMenu->RunEnded();
  FRunStop.reset();
  EnableControls();
  SetApplicationCursor(std::nullopt);
  // Back to the button that started the run, which was locked while it went on.
  if (FRunButton != nullptr) FRunButton->setFocus(Qt::OtherFocusReason);
}

