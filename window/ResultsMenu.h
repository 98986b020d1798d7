#pragma once
// The window's File menu items for the results of the last run that ended, from the window's one
// record (RunRecords.h): "Save results..." writes it as JSON or CSV, by the extension of the name
// the user chooses, and "Copy results" puts a plain-text summary on the clipboard. Both stay
// disabled until a run has ended; nothing is written anywhere unless the user asks.

#include <QObject>

#include <functional>
#include <string>

class QAction;
class QMenu;
class QWidget;
class TRunRecords;

class TResultsMenu : public QObject {
 public:
  // Puts the two items into FileMenu before the item Before, with a separator after them, over
  // the last run of Records. ReportError shows what went wrong with a save; Note adds a line to the
  // window's log, which says where the results went.
  TResultsMenu(QMenu& FileMenu, QAction* Before, QWidget& DialogParent, const TRunRecords& Records,
               std::function<void(const std::string& Message)> ReportError,
               std::function<void(const std::string& Line)> Note);

  // A run has ended: its record is there to save and copy.
  void RunEnded();

  QAction* SaveResults1;
  QAction* CopyResults1;

 private:
  void SaveResults1Click();
  void CopyResults1Click();

  QWidget& FDialogParent;
  const TRunRecords& FRecords;
  std::function<void(const std::string& Message)> FReportError;
  std::function<void(const std::string& Line)> FNote;
};
