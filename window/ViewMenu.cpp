#include "ViewMenu.h"

#include <QAction>
#include <QCoreApplication>
#include <QMenu>
#include <QMenuBar>

#include <memory>

#include "ChartWindow.h"
#include "Unit1.h"

TViewMenu::TViewMenu(QMenuBar& MenuBar, QMenu& Before, QWidget& Window,
                     std::function<void(const std::string& Message)> ReportError)
    : QObject(&Window), FWindow(Window), FReportError(std::move(ReportError)) {
  View1 = new QMenu("View", &MenuBar);
  View1->setObjectName("View1");
  MenuBar.insertMenu(Before.menuAction(), View1);
  PassChart1 = View1->addAction("Pass chart");
  PassChart1->setObjectName("PassChart1");
  connect(PassChart1, &QAction::triggered, this, &TViewMenu::PassChart1Click);
}

void TViewMenu::RunStarted(TRunInfo Run, TRunSettings Settings) {
  FLive.emplace(std::move(Run), std::move(Settings));
  Changed();
}

void TViewMenu::Replay(const TRecordStep& Step) {
  if (!FLive) return;  // no run of this window is under way
  Step.Replay(*FLive);
  Changed();
}

void TViewMenu::RunEnded() {
  if (!FLive) return;
  FLastRun = FLive->TakeRecord();
  FLive.reset();
  Changed();
}

const TRunRecord& TViewMenu::ShownRecord() const { return FLive ? FLive->Record() : FLastRun; }

bool TViewMenu::LastTestRunning() const { return FLive && FLive->TestUnderWay(); }

void TViewMenu::Changed() {
  if (FChartWindow) FChartWindow->ShowRecord(ShownRecord(), LastTestRunning());
}

void TViewMenu::PassChart1Click() {
  if (!FChartWindow) FChartWindow = new TChartWindow(FWindow, FReportError);
  Changed();
  FChartWindow->show();
  FChartWindow->raise();
  FChartWindow->activateWindow();
}

// The window hands the record-keeping calls on to its chart the way it hands on the lines: posted
// to MainFormHandle, delivered in posting order.
namespace {

void PostRecordStep(std::function<void(TBenchmarkReporter&)> Replay) {
  TFormVelmora* Target = MainFormHandle;
  if (Target == nullptr) return;
  QCoreApplication::postEvent(Target,
                              new TRecordStepEvent(std::make_unique<TRecordStep>(TRecordStep{std::move(Replay)})));
}

}  // namespace

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

void TFormVelmora::PassTimed(const TPassRecord& Pass) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.PassTimed(Pass); });
}

void TFormVelmora::TestEnded(TTestStatus Status, const std::string& Message) {
  PostRecordStep([=](TBenchmarkReporter& Reporter) { Reporter.TestEnded(Status, Message); });
}

bool TFormVelmora::ReplayRecordStep(QEvent* Event) {
  if (Event->type() != TRecordStepEvent::EventType) return false;
  FViewMenu->Replay(static_cast<TRecordStepEvent*>(Event)->Message());
  return true;
}
