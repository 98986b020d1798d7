#pragma once
// The window's File menu items for the results of the last run that ended: "Save results..."
// writes its record as JSON or CSV, by the extension of the name the user chooses, and "Copy
// results" puts a plain-text summary on the clipboard. Both stay disabled until a run has ended;
// nothing is written anywhere unless the user asks.

#include <QObject>

#include <functional>
#include <optional>
#include <string>

#include "RunRecord.h"

class QAction;
class QMenu;
class QWidget;

// The event that carries a run's record from the worker to the menu.
constexpr int WM_RUN_RECORD = 1482;

class TResultsMenu : public QObject {
 public:
  // Puts the two items into FileMenu before the item Before, with a separator after them.
  // ReportError shows what went wrong with a save.
  TResultsMenu(QMenu& FileMenu, QAction* Before, QWidget& DialogParent,
               std::function<void(const std::string& Message)> ReportError);

  // Hands over the record of a run that ended; callable from any thread, never blocks.
  void PostRunRecord(TRunRecord Record);

  QAction* SaveResults1;
  QAction* CopyResults1;

 protected:
  bool event(QEvent* Event) override;

 private:
  void SaveResults1Click();
  void CopyResults1Click();

  QWidget& FDialogParent;
  std::function<void(const std::string& Message)> FReportError;
  std::optional<TRunRecord> FLastRun;
};
