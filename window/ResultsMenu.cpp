#include "ResultsMenu.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFileDialog>
#include <QMenu>

#include <system_error>

#include "WindowEvents.h"
#include "ResultTexts.h"
#include "RunRecordFiles.h"
#include "TextFile.h"
#include "Unit1.h"

namespace {

using TRunRecordEvent = TMessageEvent<TRunRecord, WM_RUN_RECORD>;

// "velmora-20260131-170405.json" in the user's home folder, from the run's start time.
QString SuggestedFileName(const TRunRecord& Record) {
  QString Stamp = QString::fromStdString(Record.Run.StartTimeUTC);
  Stamp.remove('-').remove(':').remove('Z').replace('T', '-');
  return QDir::home().filePath("velmora-" + Stamp + ".json");
}

bool IsCsvName(const QString& FileName) { return FileName.endsWith(".csv", Qt::CaseInsensitive); }

}  // namespace

TResultsMenu::TResultsMenu(QMenu& FileMenu, QAction* Before, QWidget& DialogParent,
                           std::function<void(const std::string& Message)> ReportError)
    : QObject(&DialogParent), FDialogParent(DialogParent), FReportError(std::move(ReportError)) {
  SaveResults1 = new QAction("Save results...", &FileMenu);
  SaveResults1->setObjectName("SaveResults1");
  SaveResults1->setShortcut(QKeySequence::Save);
  CopyResults1 = new QAction("Copy results", &FileMenu);
  CopyResults1->setObjectName("CopyResults1");
  for (QAction* Action : {SaveResults1, CopyResults1}) {
    Action->setEnabled(false);
    FileMenu.insertAction(Before, Action);
  }
  FileMenu.insertSeparator(Before);
  connect(SaveResults1, &QAction::triggered, this, &TResultsMenu::SaveResults1Click);
  connect(CopyResults1, &QAction::triggered, this, &TResultsMenu::CopyResults1Click);
}

void TResultsMenu::PostRunRecord(TRunRecord Record) {
  QCoreApplication::postEvent(this, new TRunRecordEvent(std::make_unique<TRunRecord>(std::move(Record))));
}

bool TResultsMenu::event(QEvent* Event) {
  HandOverAcquire(Event);  // the record comes from the worker (MessageEvents.h)
  if (Event->type() != TRunRecordEvent::EventType) return QObject::event(Event);
  FLastRun = static_cast<TRunRecordEvent*>(Event)->Message();
  SaveResults1->setEnabled(true);
  CopyResults1->setEnabled(true);
  return true;
}

void TResultsMenu::SaveResults1Click() {
  if (!FLastRun) return;
  QFileDialog Dialog(&FDialogParent, "Save results", SuggestedFileName(*FLastRun), "JSON (*.json);;CSV (*.csv)");
  Dialog.setAcceptMode(QFileDialog::AcceptSave);
  Dialog.setDefaultSuffix("json");
  // A name typed without an extension takes the one of the chosen kind.
  connect(&Dialog, &QFileDialog::filterSelected, &Dialog,
          [&Dialog](const QString& Filter) { Dialog.setDefaultSuffix(Filter.startsWith("CSV") ? "csv" : "json"); });
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return;
  const QString FileName = Dialog.selectedFiles().front();
  const std::string Text = IsCsvName(FileName) ? RunRecordCsv(*FLastRun) : RunRecordJson(*FLastRun);
  try {
    WriteTextFile(FileName.toStdString(), Text);
  } catch (const std::system_error& Error) {
    FReportError("The results could not be saved to " + FileName.toStdString() + ": " + Error.code().message());
  }
}

void TResultsMenu::CopyResults1Click() {
  if (FLastRun) QGuiApplication::clipboard()->setText(QString::fromStdString(ResultsSummaryText(*FLastRun)));
}

void TFormVelmora::SendRunRecord(TRunRecord Record) {
  TFormVelmora* Target = MainFormHandle;
  if (Target == nullptr || Target->FResultsMenu == nullptr) return;
  Target->FResultsMenu->PostRunRecord(std::move(Record));
}
