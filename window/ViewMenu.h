#pragma once
// The window's View menu. "Pass chart" opens the chart of the run under way, which fills as its
// passes are timed, or else of the last run. The worker's record-keeping calls come through the
// window's event queue with the log lines and are made again here, on the window's own copy of
// the record, so that nothing of the window is touched from the worker.

#include <QObject>
#include <QPointer>

#include <functional>
#include <optional>
#include <string>

#include "BenchmarkReporter.h"
#include "WindowEvents.h"
#include "RunRecorder.h"

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TChartWindow;

// The event that carries one record-keeping call from the worker to the window.
constexpr int WM_RECORD_STEP = 1483;

// One record-keeping call of a test, to be made again on the window's thread.
struct TRecordStep {
  std::function<void(TBenchmarkReporter& Reporter)> Replay;
};
using TRecordStepEvent = TMessageEvent<TRecordStep, WM_RECORD_STEP>;

class TViewMenu : public QObject {
 public:
  // Puts "View" into MenuBar before the menu Before. The chart window opens over Window;
  // ReportError shows what went wrong with a save.
  TViewMenu(QMenuBar& MenuBar, QMenu& Before, QWidget& Window,
            std::function<void(const std::string& Message)> ReportError);

  // A run starts now with these tests and settings: the chart shows it from here on.
  void RunStarted(TRunInfo Run, TRunSettings Settings);
  void Replay(const TRecordStep& Step);
  // The run's final message arrived.
  void RunEnded();

  // What the chart shows: the run under way, else the last run (empty before the first).
  const TRunRecord& ShownRecord() const;
  bool LastTestRunning() const;

  QMenu* View1;
  QAction* PassChart1;

 private:
  void PassChart1Click();
  void Changed();

  QWidget& FWindow;
  std::function<void(const std::string& Message)> FReportError;
  std::optional<TRunRecorder> FLive;  // the run under way
  TRunRecord FLastRun;
  QPointer<TChartWindow> FChartWindow;  // made when first opened, owned by the window
};
