// The runner: a button press becomes one run on one worker thread, and the tests' messages come
// back through the window's event queue.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QThread>

#include <atomic>
#include <exception>
#include <functional>
#include <memory>
#include <optional>

#include "BenchmarkTests.h"
#include "CoreCounts.h"
#include "ExceptionLine.h"
#include "MessageEvents.h"
#include "ProcessPriority.h"
#include "Unit1.h"

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
  std::function<void(TBenchmarkType, const TBenchmarkSettings&, TBenchmarkReporter&, TVraxDirect3D9*)> RunTests;
  QThread* BenchmarkThread = nullptr;
  std::atomic<int>* RunningWorkers = nullptr;  // the window's count, so that it can exit cleanly
};

void RunWorker(const TBenchmarkClosure& Closure) {
  RaiseCurrentThreadPriority();
  TBenchmarkSettings Settings;
  Settings.MemorySize = Closure.SettingMemorySize;
  Settings.Passes = Closure.SetingPasses;
  Settings.OpenCLPlatform = Closure.SetingOpenCLPlatform;
  Settings.OpenCLDevice = Closure.SetingOpenCLDevice;
  Settings.OpenCLComputeCoreCount = Closure.SetingOpenCLComputeCoreCount;
  try {
    Closure.RunTests(Closure.BenchmarkType, Settings, *Closure.Self, VideoMemory);
  } catch (...) {
    // Every test catches its own errors; should one still escape, the run must end all the same
    // or the window would stay locked.
    Closure.Self->Log(ExceptionLine(std::current_exception()));
  }
  Closure.Self->SendResult("", bmAll, true);
  --*Closure.RunningWorkers;
}

}  // namespace

std::array<QWidget*, 12> TFormVelmora::LockedControls() const {
  return {SpinEditRAMSize,     SpinEditPasses,      ButtonBenchmark,       ComboBoxOpenCLPlatform,
          ComboBoxOpenCLDevice, ComboBoxCores,      ButtonWriteGFXRAM,     ButtonReadGFXRAM,
          ButtonOpenCLReadWrite, ButtonWriteSystemRAM, ButtonReadSystemRAM, ButtonExit};
}

void TFormVelmora::EnableControls() {
  for (QWidget* Control : LockedControls()) Control->setEnabled(true);
}

void TFormVelmora::DisableControls() {
  for (QWidget* Control : LockedControls()) Control->setEnabled(false);
}

void TFormVelmora::DoBenchmark(TBenchmarkType BenchmarkType) {
  auto Closure = std::make_shared<TBenchmarkClosure>();
  Closure->Self = this;
  Closure->BenchmarkType = BenchmarkType;
  Closure->RunTests = FServices.RunTests;
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
  const int Item = (Selected >= 0 && ComboBoxCores->itemText(Selected) == Text) ? Selected : -1;
  const std::optional<std::int32_t> CoreCount = ComputeCoreCount(Item, Text.toStdString());
  if (!CoreCount) {
    Log("Compute core count \"" + Text.toStdString() +
        "\" is not a positive whole number. The benchmark was not started.");
    EnableControls();
    SetApplicationCursor(std::nullopt);
    return;
  }
  Closure->SetingOpenCLComputeCoreCount = *CoreCount;

  Closure->RunningWorkers = &FRunningWorkers;
  ++FRunningWorkers;
  Closure->BenchmarkThread = QThread::create([Closure] { RunWorker(*Closure); });
  // Free-on-terminate: the thread object goes once it has finished, on this thread.
  connect(Closure->BenchmarkThread, &QThread::finished, Closure->BenchmarkThread, &QObject::deleteLater);
  Closure->BenchmarkThread->start();
}

void TFormVelmora::ButtonBenchmarkClick() {
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
  if (Event->type() == TLogMessageEvent::EventType) {
    AppendToMemo(static_cast<TLogMessageEvent*>(Event)->Message().Text);
    return true;
  }
  if (Event->type() == TBenchmarkResultEvent::EventType) {
    const TBenchmarkResultMessage& Message = static_cast<TBenchmarkResultEvent*>(Event)->Message();
    ProcessResult(Message);
    if (Message.Finished) {
      Log("Benchmarking completed.");
      EnableControls();
      SetApplicationCursor(std::nullopt);
    }
    return true;
  }
  return QMainWindow::event(Event);
}
