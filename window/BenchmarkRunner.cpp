// The runner: a button press becomes one run on one worker thread, and the tests' messages come
// back through the window's event queue.

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
#include "TestTable.h"
#include "CoreCounts.h"
#include "ExceptionLine.h"
#include "WindowEvents.h"
#include "ProcessPriority.h"
#include "RunRecorder.h"
#include "Unit1.h"
#include "ViewMenu.h"

namespace {

// The application-wide cursor: one shape at a time (none: the default cursor).
void SetApplicationCursor(std::optional<Qt::CursorShape> Shape) {
  while (QApplication::overrideCursor() != nullptr) QApplication::restoreOverrideCursor();
  if (Shape) QApplication::setOverrideCursor(*Shape);
}

// What one run's worker gets: shared by DoBenchmark and the thread object, it dies with the
// last of the two.
struct TBenchmarkClosure {
  TFormVelmora* Self = nullptr;
  TBenchmarkType BenchmarkType = bmAll;
  std::int64_t SettingMemorySize = 0;
  std::int32_t SetingPasses = 0;
  std::int32_t SetingOpenCLPlatform = -1;
  std::int32_t SetingOpenCLDevice = -1;
  std::int32_t SetingOpenCLComputeCoreCount = 0;
  std::stop_token StopToken;  // the run's: the Stop button asks through it
  std::function<void(TBenchmarkType, const TBenchmarkSettings&, TBenchmarkReporter&, TVraxDirect3D9*)> RunTests;
  std::string ProgramVersion;  // for the run's record
  QThread* BenchmarkThread = nullptr;
  std::atomic<int>* RunningWorkers = nullptr;  // the window's count, so that it can exit cleanly
};

TBenchmarkSettings SettingsOfRun(const TBenchmarkClosure& Closure) {
  TBenchmarkSettings Settings;
  Settings.MemorySize = Closure.SettingMemorySize;
  Settings.Passes = Closure.SetingPasses;
  Settings.OpenCLPlatform = Closure.SetingOpenCLPlatform;
  Settings.OpenCLDevice = Closure.SetingOpenCLDevice;
  Settings.OpenCLComputeCoreCount = Closure.SetingOpenCLComputeCoreCount;
  Settings.StopToken = Closure.StopToken;
  return Settings;
}

void RunWorker(const TBenchmarkClosure& Closure) {
  RaiseCurrentThreadPriority();
  const TBenchmarkSettings Settings = SettingsOfRun(Closure);
  // The lines, results and record-keeping calls go on to the window; the record stays here until
  // the run has ended.
  TRunRecorder Recorder(DescribeRun(Closure.ProgramVersion), {TestsOfRun(Closure.BenchmarkType), Settings},
                        Closure.Self);
  try {
    Closure.RunTests(Closure.BenchmarkType, Settings, Recorder, VideoMemory);
  } catch (...) {
    // Every test catches its own errors; should one still escape, the run must end all the same
    // or the window would stay locked.
    Closure.Self->Log(ExceptionLine(std::current_exception()));
  }
  Closure.Self->SendRunRecord(Recorder.TakeRecord());
  Closure.Self->SendResult("", bmAll, true);
  --*Closure.RunningWorkers;
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
  auto Closure = std::make_shared<TBenchmarkClosure>();
  Closure->Self = this;
  Closure->BenchmarkType = BenchmarkType;
  Closure->RunTests = FServices.RunTests;
  Closure->ProgramVersion = FProgramVersion;
  SetApplicationCursor(Qt::BusyCursor);
  DisableControls();
  MainFormHandle = this;
  // A number still being typed counts as the box shows it once corrected, also when the run was
  // started by a key or a control that leaves the focus in the box.
  SpinEditRAMSize->interpretText();
  SpinEditPasses->interpretText();
  Closure->SettingMemorySize = MegabytesToBytes(SpinEditRAMSize->value());
  Closure->SetingPasses = SpinEditPasses->value();
  Closure->SetingOpenCLPlatform = ComboBoxOpenCLPlatform->currentIndex();
  Closure->SetingOpenCLDevice = ComboBoxOpenCLDevice->currentIndex();

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
  Closure->SetingOpenCLComputeCoreCount = *CoreCount;

  FRunStop.emplace();
  FRunClock.start();
  Closure->StopToken = FRunStop->get_token();
  // The chart shows this run from now on; its passes follow through the event queue.
  TRunInfo Run;
  Run.StartTimeUTC = FormatUTCTime(std::chrono::system_clock::now());
  FViewMenu->RunStarted(std::move(Run), {TestsOfRun(BenchmarkType), SettingsOfRun(*Closure)});
  Closure->RunningWorkers = &FRunningWorkers;
  ++FRunningWorkers;
  Closure->BenchmarkThread = QThread::create([Closure] { RunWorker(*Closure); });
  // Free-on-terminate: the thread object goes once it has finished, on this thread.
  connect(Closure->BenchmarkThread, &QThread::finished, Closure->BenchmarkThread, &QObject::deleteLater);
  Closure->BenchmarkThread->start();
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
    if (QLabel* Label = ResultLabel(Test.Type)) Label->setText("-");
  DoBenchmark(bmAll);
  SetApplicationCursor(std::nullopt);
}

void TFormVelmora::Button4Click() { DoBenchmark(bmGFXRAMWrite); }
void TFormVelmora::Button3Click() { DoBenchmark(bmGFXRAMRead); }
void TFormVelmora::ButtonOpenCLReadWriteClick() { DoBenchmark(bmOpenCLRAMReadWrite); }
void TFormVelmora::Button8Click() { DoBenchmark(bmSystemRAMWrite); }
void TFormVelmora::Button9Click() { DoBenchmark(bmSystemRAMRead); }

QLabel* TFormVelmora::ResultLabel(TBenchmarkType BenchmarkType) const {
  switch (BenchmarkType) {
    case bmGFXRAMWrite:
      return LabelPeakGFXWrite;
    case bmGFXRAMRead:
      return LabelPeakGFXRead;
    case bmOpenCLRAMReadWrite:
      return LabelPeakGFXOCLReadWrite;
    case bmSystemRAMWrite:
      return LabelPeakSYSWrite;
    case bmSystemRAMRead:
      return LabelPeakSYSRead;
    default:  // bmAll, and any test the window has no result box for
      break;
  }
  return nullptr;
}

void TFormVelmora::ProcessResult(const TBenchmarkResultMessage& BenchmarkResultMessage) {
  if (QLabel* Label = ResultLabel(BenchmarkResultMessage.BenchmarkType))
    Label->setText(QString::fromStdString(BenchmarkResultMessage.Text));
}

bool TFormVelmora::event(QEvent* Event) {
  // Before even its type is read: the benchmark messages come from the worker (MessageEvents.h).
  HandOverAcquire(Event);
  if (ReplayRecordStep(Event)) return true;
  if (Event->type() == TLogMessageEvent::EventType) {
    AppendToMemo(static_cast<TLogMessageEvent*>(Event)->Message().Text);
    return true;
  }
  if (Event->type() == TBenchmarkResultEvent::EventType) {
    const TBenchmarkResultMessage& Message = static_cast<TBenchmarkResultEvent*>(Event)->Message();
    ProcessResult(Message);
    if (Message.Finished) {
      Log("Benchmarking completed.");
      FViewMenu->RunEnded();
      FRunStop.reset();
      EnableControls();
      SetApplicationCursor(std::nullopt);
    }
    return true;
  }
  return QMainWindow::event(Event);
}
