// The five result boxes after a run: a fresh figure says on hover what it is in bytes per second
// and how steady its passes were; a figure that the last run of its test did not renew is dimmed,
// and says when it was measured and why the last run gave none.

#include <QLabel>
#include <QLocale>

#include <cmath>

#include "PassFigures.h"
#include "ResultTexts.h"
#include "Unit1.h"

namespace {

constexpr const char* OlderProperty = "velmoraOlderFigure";

std::string FreshToolTip(const TTestRecord& Test) {
  const std::optional<TTestFigures> Figures = TestFigures(Test);
  if (!Figures) return "";
  const QString Bytes = QLocale().toString(static_cast<qlonglong>(std::llround(Figures->PeakRate)));
  std::string Text = RateText(Figures->PeakRate) + " is " + Bytes.toStdString() +
                     " bytes per second (1 KB = 2^10, 1 MB = 2^20, 1 GB = 2^30 bytes): the fastest of " +
                     std::to_string(Test.Passes.size()) + " passes.";
  if (const std::string Warm = WarmPassLine(Test); !Warm.empty()) Text += "\n" + Warm;
  return Text;
}

std::string TimeText(const QDateTime& Time) { return QLocale().toString(Time, QLocale::ShortFormat).toStdString(); }

}  // namespace

void TFormVelmora::ShowResultAsFresh(QLabel& Label, const std::string& ToolTip) {
  Label.setProperty(OlderProperty, false);
  Label.setPalette(QPalette());  // the box's own colours again
  Label.setToolTip(QString::fromStdString(ToolTip));
}

void TFormVelmora::ShowResultAsOlder(QLabel& Label, const std::string& ToolTip) {
  Label.setProperty(OlderProperty, true);
  QPalette Dimmed = Label.palette();
  Dimmed.setColor(QPalette::WindowText, Dimmed.color(QPalette::Disabled, QPalette::WindowText));
  Label.setPalette(Dimmed);
  Label.setToolTip(QString::fromStdString(ToolTip));
}

void TFormVelmora::ExplainResults(const TRunRecord& Run) {
  for (const TTestRecord& Test : Run.Tests) {
    QLabel* Label = ResultLabel(Test.Type);
    if (Label == nullptr) continue;
    if (Test.Status == TTestStatus::Completed) {
      ShowResultAsFresh(*Label, FreshToolTip(Test));
      continue;
    }
    const std::string Why = "The last run of this test gave no figure: " + OutcomeText(Test) + ".";
    const auto Measured = FMeasured.find(Test.Type);
    if (Label->text() == "-" || Measured == FMeasured.end()) {
      ShowResultAsFresh(*Label, Why);
      continue;
    }
    // The box still holds an earlier run's figure: nothing on screen may pass it off as this run's.
    ShowResultAsOlder(*Label, "Older figure, measured " + TimeText(Measured->second) + ". " + Why);
  }
}
