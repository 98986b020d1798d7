#include "ResultsMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMenu>

#include <system_error>

#include "RecordCsv.h"
#include "RecordJson.h"
#include "ResultTexts.h"
#include "RunRecords.h"
#include "TextFile.h"

namespace {

// "velmora-20260131-170405.json" in the user's home folder, from the run's start time.
QString SuggestedFileName(const TRunRecord& Record) {
  QString Stamp = QString::fromStdString(Record.Run.StartTimeUTC);
  Stamp.remove('-').remove(':').remove('Z').replace('T', '-');
  return QDir::home().filePath("velmora-" + Stamp + ".json");
}

bool IsCsvName(const QString& FileName) { return FileName.endsWith(".csv", Qt::CaseInsensitive); }

}  // namespace

TResultsMenu::TResultsMenu(QMenu& FileMenu, QAction* Before, QWidget& DialogParent, const TRunRecords& Records,
                           std::function<void(const std::string& Message)> ReportError,
                           std::function<void(const std::string& Line)> Note)
    : QObject(&DialogParent),
      FDialogParent(DialogParent),
      FRecords(Records),
      FReportError(std::move(ReportError)),
      FNote(std::move(Note)) {
  SaveResults1 = new QAction("&Save results...", &FileMenu);
  SaveResults1->setObjectName("SaveResults1");
  SaveResults1->setShortcut(QKeySequence::Save);
  CopyResults1 = new QAction("&Copy results", &FileMenu);
  CopyResults1->setObjectName("CopyResults1");
  for (QAction* Action : {SaveResults1, CopyResults1}) {
    Action->setEnabled(false);
    FileMenu.insertAction(Before, Action);
  }
  FileMenu.insertSeparator(Before);
  connect(SaveResults1, &QAction::triggered, this, &TResultsMenu::SaveResults1Click);
  connect(CopyResults1, &QAction::triggered, this, &TResultsMenu::CopyResults1Click);
}

void TResultsMenu::RunEnded() {
  const bool HasRun = FRecords.LastRun() != nullptr;
  SaveResults1->setEnabled(HasRun);
  CopyResults1->setEnabled(HasRun);
}

void TResultsMenu::SaveResults1Click() {
  const TRunRecord* LastRun = FRecords.LastRun();
  if (LastRun == nullptr) return;
  QFileDialog Dialog(&FDialogParent, "Save results", SuggestedFileName(*LastRun), "JSON (*.json);;CSV (*.csv)");
  Dialog.setAcceptMode(QFileDialog::AcceptSave);
  Dialog.setDefaultSuffix("json");
  // A name typed without an extension takes the one of the chosen kind.
  connect(&Dialog, &QFileDialog::filterSelected, &Dialog,
          [&Dialog](const QString& Filter) { Dialog.setDefaultSuffix(Filter.startsWith("CSV") ? "csv" : "json"); });
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return;
  const QString FileName = Dialog.selectedFiles().front();
  const std::string Text = IsCsvName(FileName) ? RunRecordCsv(*LastRun) : RunRecordJson(*LastRun);
  try {
    WriteTextFile(FileName.toStdString(), Text);
    FNote("Results saved to " + FileName.toStdString());
  } catch (const std::system_error& Error) {
    FReportError("The results could not be saved to " + FileName.toStdString() + ": " + Error.code().message());
  }
}

void TResultsMenu::CopyResults1Click() {
  if (const TRunRecord* LastRun = FRecords.LastRun())
    QGuiApplication::clipboard()->setText(QString::fromStdString(ResultsSummaryText(*LastRun)));
}
