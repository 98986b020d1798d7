#pragma once
// The window of the pass chart: the chart of a run, painted anew whenever its record changes, and
// "Save as PNG..." (Ctrl+S), which writes what the window shows.

#include <QWidget>

#include <functional>
#include <string>

#include "RunRecord.h"

class QPushButton;

class TChartWindow : public QWidget {
 public:
  // A window of its own over Parent. ReportError shows what went wrong with a save.
  TChartWindow(QWidget& Parent, std::function<void(const std::string& Message)> ReportError);

  // The record to show, which its owner keeps alive until it hands over another; LastTestRunning:
  // the run is under way and its last test has not ended.
  void ShowRecord(const TRunRecord& Record, bool LastTestRunning);
  const TRunRecord* Record() const { return FRecord; }
  bool LastTestRunning() const { return FLastTestRunning; }

  QWidget* ChartView;
  QPushButton* ButtonSavePNG;
  QPushButton* ButtonClose;

 private:
  void ButtonSavePNGClick();

  std::function<void(const std::string& Message)> FReportError;
  const TRunRecord* FRecord = nullptr;
  bool FLastTestRunning = false;
};
