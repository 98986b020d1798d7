#pragma once
// The window's View menu. "Pass chart" opens the chart of the run under way, which fills as its
// passes are timed, or else of the last run: both from the window's one record (RunRecords.h).

#include <QObject>
#include <QPointer>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QMenuBar;
class QWidget;
class TChartWindow;
class TRunRecords;

class TViewMenu : public QObject {
 public:
  // Puts "View" into MenuBar before the menu Before. The chart window opens over Window and shows
  // Records; ReportError shows what went wrong with a save.
  TViewMenu(QMenuBar& MenuBar, QMenu& Before, QWidget& Window, const TRunRecords& Records,
            std::function<void(const std::string& Message)> ReportError);

  // The window's record changed: the chart, where open, shows it anew.
  void RecordChanged();

  QMenu* View1;
  QAction* PassChart1;

 private:
  void PassChart1Click();

  QWidget& FWindow;
  const TRunRecords& FRecords;
  std::function<void(const std::string& Message)> FReportError;
  QPointer<TChartWindow> FChartWindow;  // made when first opened, owned by the window
};
