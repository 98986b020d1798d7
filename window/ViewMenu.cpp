#include "ViewMenu.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include "ChartWindow.h"
#include "RunRecords.h"

TViewMenu::TViewMenu(QMenuBar& MenuBar, QMenu& Before, QWidget& Window, const TRunRecords& Records,
                     std::function<void(const std::string& Message)> ReportError)
    : QObject(&Window), FWindow(Window), FRecords(Records), FReportError(std::move(ReportError)) {
  View1 = new QMenu("&View", &MenuBar);
  View1->setObjectName("View1");
  MenuBar.insertMenu(Before.menuAction(), View1);
  PassChart1 = View1->addAction("&Pass chart");
  PassChart1->setObjectName("PassChart1");
  connect(PassChart1, &QAction::triggered, this, &TViewMenu::PassChart1Click);
}

void TViewMenu::RecordChanged() {
  if (FChartWindow) FChartWindow->ShowRecord(FRecords.Shown(), FRecords.LastTestRunning());
}

void TViewMenu::PassChart1Click() {
  if (!FChartWindow) FChartWindow = new TChartWindow(FWindow, FReportError);
  RecordChanged();
  FChartWindow->show();
  FChartWindow->raise();
  FChartWindow->activateWindow();
}
