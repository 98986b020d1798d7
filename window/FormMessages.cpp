// The window as the tests' reporter: every call of a test, made on the worker's thread, is posted
// to MainFormHandle through Qt's event queue and handled here on the window's thread, in posting
// order: the log lines go to the memo, the results to their boxes, the record-keeping calls to the
// window's one record of the run.

#include <QCoreApplication>
#include <QLabel>
#include <QPlainTextEdit>

#include <memory>

#include "Unit1.h"
#include "ViewMenu.h"
#include "WindowEvents.h"

namespace {

template <typename TEvent, typename TMessage>
void PostToMainForm(TMessage Message) {
  TFormVelmora* Target = MainFormHandle;
  if (Target == nullptr) return;
  QCoreApplication::postEvent(Target, new TEvent(std::make_unique<TMessage>(std::move(Message))));
}

void PostRecordStep(std::function<void(TBenchmarkReporter&)> Replay) {
  PostToMainForm<TRecordStepEvent>(TRecordStep{std::move(Replay)});
}

}  // namespace

void TFormVelmora::Log(const std::string& Text) { PostToMainForm<TLogMessageEvent>(TLogMessage{Text}); }

void TFormVelmora::SendResult(const std::string& Text, TBenchmarkType BenchmarkType, bool Finished) {
  PostToMainForm<TBenchmarkResultEvent>(TBenchmarkResultMessage{Text, BenchmarkType, Finished});
}

void TFormVelmora::TestStarted(TBenchmarkType BenchmarkType, std::int64_t BlockSize) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.TestStarted(BenchmarkType, BlockSize); });
}

void TFormVelmora::GFXBlockUsed(const TGFXBlockRecord& Block) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.GFXBlockUsed(Block); });
}

void TFormVelmora::OpenCLDeviceUsed(const TOpenCLRecord& Device) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.OpenCLDeviceUsed(Device); });
}

void TFormVelmora::ThreadsUsed(const TThreadsRecord& Threads) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.ThreadsUsed(Threads); });
}

void TFormVelmora::ReasonLogged(const std::string& Line) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.ReasonLogged(Line); });
}

void TFormVelmora::PassTimed(const TPassRecord& Pass) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.PassTimed(Pass); });
}

void TFormVelmora::TestEnded(TTestStatus Status, const std::string& Message) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.TestEnded(Status, Message); });
}

void TFormVelmora::AppendToMemo(const std::string& Text) { Memo1->appendPlainText(QString::fromStdString(Text)); }

QLabel* TFormVelmora::ResultLabel(TBenchmarkType BenchmarkType) const {
  for (const TTestControls& Controls : TestControls())
    if (Controls.Type == BenchmarkType) return Controls.Result;
  return nullptr;  // bmAll, and any test the window has no result box for
}

void TFormVelmora::ProcessResult(const TBenchmarkResultMessage& BenchmarkResultMessage) {
  if (QLabel* Label = ResultLabel(BenchmarkResultMessage.BenchmarkType)) {
    Label->setText(QString::fromStdString(BenchmarkResultMessage.Text));
    // A fresh figure; what it is made of is said once the run's record is closed.
    FMeasured[BenchmarkResultMessage.BenchmarkType] = QDateTime::currentDateTime();
    ShowResultAsFresh(*Label, "");
  }
}

bool TFormVelmora::event(QEvent* Event) {
  // Before even its type is read: the benchmark messages come from the worker (WindowEvents.h).
  HandOverAcquire(Event);
  if (Event->type() == TRecordStepEvent::EventType) {
    FRunRecords.Replay(static_cast<TRecordStepEvent*>(Event)->Message());
    FViewMenu->RecordChanged();
    return true;
  }
  if (Event->type() == TLogMessageEvent::EventType) {
    AppendToMemo(static_cast<TLogMessageEvent*>(Event)->Message().Text);
    return true;
  }
  if (Event->type() == TBenchmarkResultEvent::EventType) {
    const TBenchmarkResultMessage& Message = static_cast<TBenchmarkResultEvent*>(Event)->Message();
    ProcessResult(Message);
    if (Message.Finished) EndRun();
    return true;
  }
  return QMainWindow::event(Event);
}
