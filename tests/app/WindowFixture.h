#pragma once
// A window for a test: services that record instead of opening a browser or a message box, and
// helpers that wait for what the worker posts.

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>

#include <memory>
#include <string>
#include <vector>

#include "Unit1.h"

struct TRecordedServices {
  std::vector<std::string> OpenedUrls;
  std::vector<std::string> Errors;
  int OpenCLLoadAttempts = 0;
};

// The real services but for the browser and the error box, which are recorded.
inline TFormVelmoraServices RecordingServices(TRecordedServices& Record) {
  TFormVelmoraServices Services = TFormVelmoraServices::Defaults();
  Services.OpenUrl = [&Record](const std::string& Address) { Record.OpenedUrls.push_back(Address); };
  Services.ReportError = [&Record](const std::string& Message) { Record.Errors.push_back(Message); };
  auto Load = Services.LoadOpenCLLibrary;
  Services.LoadOpenCLLibrary = [&Record, Load](const std::string& FileName) {
    ++Record.OpenCLLoadAttempts;
    return Load(FileName);
  };
  return Services;
}

inline std::vector<std::string> MemoLines(const TFormVelmora& Form) {
  std::vector<std::string> Lines;
  const QString Text = Form.Memo1->toPlainText();
  if (Text.isEmpty() && Form.Memo1->document()->blockCount() <= 1) return Lines;
  for (const QString& Line : Text.split('\n')) Lines.push_back(Line.toStdString());
  return Lines;
}

// Processes events until the run ends: the controls are enabled again, "Benchmarking completed."
// is the last line and the worker has gone (true), or the time is up (false). A run's controls
// are locked as soon as its button is clicked, so an earlier run's last line does not count.
inline bool WaitForRunEnd(const TFormVelmora& Form, int TimeoutMilliseconds = 120000) {
  QElapsedTimer Timer;
  Timer.start();
  while (Timer.elapsed() < TimeoutMilliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const std::vector<std::string> Lines = MemoLines(Form);
    if (Form.LockedControls().back()->isEnabled() && !Form.HasRunningWorker() && !Lines.empty() &&
        Lines.back() == "Benchmarking completed.")
      return true;
  }
  return false;
}

// Lets every posted event arrive.
inline void Settle(int Milliseconds = 50) {
  QElapsedTimer Timer;
  Timer.start();
  while (Timer.elapsed() < Milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}
