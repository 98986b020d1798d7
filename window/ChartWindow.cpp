#include "ChartWindow.h"

#include <QDir>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include <system_error>

#include "ChartPicture.h"
#include "PassChart.h"
#include "TextFile.h"

namespace {

const TRunRecord NoRun;

// The chart itself, as large as the window lets it be.
class TChartView : public QWidget {
 public:
  explicit TChartView(const TChartWindow& Window) : FWindow(Window) {
    setObjectName("ChartView");
    setMinimumSize(600, 400);
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter Painter(this);
    const TRunRecord* Record = FWindow.Record();
    PaintPassChart(Painter, size(), Record ? *Record : NoRun, FWindow.LastTestRunning());
  }

 private:
  const TChartWindow& FWindow;
};

// "velmora-chart-20260131-170405.png" in the user's home folder, from the run's start time.
QString SuggestedFileName(const TRunRecord* Record) {
  QString Stamp = Record ? QString::fromStdString(Record->Run.StartTimeUTC) : QString();
  Stamp.remove('-').remove(':').remove('Z').replace('T', '-');
  return QDir::home().filePath(Stamp.isEmpty() ? "velmora-chart.png" : "velmora-chart-" + Stamp + ".png");
}

}  // namespace

TChartWindow::TChartWindow(QWidget& Parent, std::function<void(const std::string& Message)> ReportError)
    : QWidget(&Parent, Qt::Window), FReportError(std::move(ReportError)) {
  setObjectName("ChartWindow");
  setWindowTitle("Pass chart - Quobix's Velmora");
  ChartView = new TChartView(*this);
  ButtonSavePNG = new QPushButton("Save as PNG...", this);
  ButtonSavePNG->setObjectName("ButtonSavePNG");
  ButtonClose = new QPushButton("Close", this);
  ButtonClose->setObjectName("ButtonClose");
  auto* Buttons = new QHBoxLayout;
  Buttons->addStretch();
  Buttons->addWidget(ButtonSavePNG);
  Buttons->addWidget(ButtonClose);
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(0, 0, 0, 8);
  Layout->addWidget(ChartView, 1);
  Layout->addLayout(Buttons);
  Buttons->setContentsMargins(8, 0, 8, 0);
  resize(960, 540 + ButtonSavePNG->sizeHint().height() + 8);

  connect(ButtonSavePNG, &QPushButton::clicked, this, &TChartWindow::ButtonSavePNGClick);
  connect(ButtonClose, &QPushButton::clicked, this, &QWidget::close);
  connect(new QShortcut(QKeySequence::Save, this), &QShortcut::activated, this, &TChartWindow::ButtonSavePNGClick);
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this, &QWidget::close);
}

void TChartWindow::ShowRecord(const TRunRecord& Record, bool LastTestRunning) {
  FRecord = &Record;
  FLastTestRunning = LastTestRunning;
  ChartView->update();
}

void TChartWindow::ButtonSavePNGClick() {
  QFileDialog Dialog(this, "Save the chart as PNG", SuggestedFileName(FRecord), "PNG (*.png)");
  Dialog.setAcceptMode(QFileDialog::AcceptSave);
  Dialog.setDefaultSuffix("png");
  if (Dialog.exec() != QDialog::Accepted || Dialog.selectedFiles().isEmpty()) return;
  const QString FileName = Dialog.selectedFiles().front();
  // What the window shows, at the screen's own resolution.
  const std::string Png = PngBytes(
      PassChartImage(FRecord ? *FRecord : NoRun, ChartView->size(), ChartView->devicePixelRatioF(), FLastTestRunning));
  try {
    if (Png.empty()) throw std::system_error(std::make_error_code(std::errc::not_enough_memory));
    WriteTextFile(FileName.toStdString(), Png);
  } catch (const std::system_error& Error) {
    FReportError("The chart could not be saved to " + FileName.toStdString() + ": " + Error.code().message());
  }
}
