// The pass chart as a user sees it: its picture after a recorded run (each test's line, first
// pass mark and median in the test's colour), its PNG, the View menu and the chart window, the
// chart filling while a real run's passes arrive, and the console's PNG.

#include <gtest/gtest.h>

#include <QAction>
#include <QImage>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

#include <cstdlib>
#include <filesystem>
#include <regex>
#include <sstream>

#include "ChartPicture.h"
#include "ChartRecords.h"
#include "ChartWindow.h"
#include "ConsoleFrontEnd.h"
#include "LogNumbers.h"
#include "PassChart.h"
#include "RecordReader.h"
#include "TextFile.h"
#include "WindowEvents.h"
#include "WindowFixture.h"

namespace {

bool Close(QRgb Pixel, TChartColour Colour, int Tolerance = 24) {
  return std::abs(qRed(Pixel) - Colour.Red) <= Tolerance && std::abs(qGreen(Pixel) - Colour.Green) <= Tolerance &&
         std::abs(qBlue(Pixel) - Colour.Blue) <= Tolerance;
}

// Whether a pixel within Reach of (X, Y) has the colour.
bool ColourNear(const QImage& Image, double X, double Y, TChartColour Colour, int Reach) {
  const int Left = static_cast<int>(X), Top = static_cast<int>(Y);
  for (int Row = Top - Reach; Row <= Top + Reach; ++Row)
    for (int Column = Left - Reach; Column <= Left + Reach; ++Column)
      if (Image.rect().contains(Column, Row) && Close(Image.pixel(Column, Row), Colour)) return true;
  return false;
}

// The share of the plot's columns with the colour at most a pixel from the height Y.
double ShareAlong(const QImage& Image, const TChartRect& Plot, double Y, TChartColour Colour) {
  int Found = 0, Columns = 0;
  for (int Column = static_cast<int>(Plot.Left) + 2; Column < static_cast<int>(Plot.Right()) - 2; ++Column, ++Columns)
    for (int Row = static_cast<int>(Y) - 1; Row <= static_cast<int>(Y) + 1; ++Row)
      if (Close(Image.pixel(Column, Row), Colour)) {
        ++Found;
        break;
      }
  return static_cast<double>(Found) / Columns;
}

// The pixels of the plot with the colour.
int PixelsInPlot(const QImage& Image, const TChartRect& Plot, TChartColour Colour) {
  int Found = 0;
  for (int Row = static_cast<int>(Plot.Top); Row < static_cast<int>(Plot.Bottom()); ++Row)
    for (int Column = static_cast<int>(Plot.Left); Column < static_cast<int>(Plot.Right()); ++Column)
      if (Close(Image.pixel(Column, Row), Colour, 8)) ++Found;
  return Found;
}

TEST(ChartPicture, DrawsEachTestsPassesFirstPassMarkAndMedianInItsColourAndNoOtherTest) {
  const TRunRecord Record = ThreeTestRun();
  const QImage Image = PassChartImage(Record, QSize(960, 540));
  ASSERT_EQ(Image.size(), QSize(960, 540));
  const TPassChart Chart = LayOutPassChart(Record, 960, 540);
  struct TCase {
    TBenchmarkType Type;
    std::vector<std::optional<double>> Rates;  // GiB/s, as ThreeTestRun has them
    double Median;
  };
  const TCase Cases[] = {
      {bmOpenCLRAMReadWrite, {11.0, 12.0, std::nullopt, 12.4, 12.2}, 12.2},
      {bmSystemRAMWrite, {2.0, 5.0, 5.2, 4.9, 5.1}, 5.05},
      {bmSystemRAMRead, {8.0, 8.4, 8.2, 8.3, 8.5}, 8.35},
  };
  for (const TCase& Case : Cases) {
    const TChartColour Colour = SeriesColour(Case.Type);
    SCOPED_TRACE(static_cast<int>(Case.Type));
    for (std::size_t Pass = 0; Pass < Case.Rates.size(); ++Pass) {
      if (!Case.Rates[Pass]) continue;
      const double X = Chart.PassX(static_cast<double>(Pass + 1)), Y = Chart.RateY(*Case.Rates[Pass] * GiB);
      EXPECT_TRUE(ColourNear(Image, X, Y, Colour, 0)) << "pass " << Pass + 1;
    }
    // The first pass's square: its left side and its upper corner, where no line of the series goes.
    const double FirstX = Chart.PassX(1), FirstY = Chart.RateY(*Case.Rates[0] * GiB);
    EXPECT_TRUE(ColourNear(Image, FirstX - 6, FirstY, Colour, 1));
    EXPECT_TRUE(ColourNear(Image, FirstX - 6, FirstY - 6, Colour, 1));
    // The median of the passes after the first, dashed across the plot; no line where there is none.
    EXPECT_GT(ShareAlong(Image, Chart.Plot, Chart.RateY(Case.Median * GiB), Colour), 0.45);
    EXPECT_LT(ShareAlong(Image, Chart.Plot, Chart.RateY((Case.Median - 1.2) * GiB), Colour), 0.05);
  }
  // Only the first pass is marked: the same corner of sys-write's third pass is clear.
  EXPECT_FALSE(ColourNear(Image, Chart.PassX(3) - 6, Chart.RateY(5.2 * GiB) - 6, SeriesColour(bmSystemRAMWrite), 1));
  // One series per test of the run, none for a test it did not run.
  for (const TBenchmarkType Type : {bmGFXRAMWrite, bmGFXRAMRead, bmSystemRAMWriteAll, bmSystemRAMReadAll})
    EXPECT_EQ(PixelsInPlot(Image, Chart.Plot, SeriesColour(Type)), 0) << static_cast<int>(Type);
  for (const TBenchmarkType Type : {bmOpenCLRAMReadWrite, bmSystemRAMWrite, bmSystemRAMRead})
    EXPECT_GT(PixelsInPlot(Image, Chart.Plot, SeriesColour(Type)), 500) << static_cast<int>(Type);
}

TEST(ChartPicture, ThePngReadsBackAsTheSamePicture) {
  const QImage Image = PassChartImage(ThreeTestRun(), QSize(800, 450), 2);
  const std::string Png = PngBytes(Image);
  QImage Read;
  ASSERT_TRUE(Read.loadFromData(reinterpret_cast<const uchar*>(Png.data()), static_cast<int>(Png.size()), "PNG"));
  EXPECT_EQ(Read.size(), QSize(1600, 900));
  EXPECT_EQ(Read.convertToFormat(QImage::Format_RGB32), Image.convertToFormat(QImage::Format_RGB32));
}

class WindowChart : public ::testing::Test {
 protected:
  void SetUp() override {
    Form.show();
    Form.SpinEditRAMSize->setValue(256);
    Form.SpinEditPasses->setValue(4);
    const std::filesystem::path Path = std::filesystem::path(::testing::TempDir()) / "velmora-window-chart";
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
    Folder = Path.string() + "/";
  }

  QMenu* View() const { return Form.menuBar()->findChild<QMenu*>("View1"); }
  // The window's classes carry no meta-object of their own, so they are found by name.
  TChartWindow* ChartWindow() const { return dynamic_cast<TChartWindow*>(Form.findChild<QWidget*>("ChartWindow")); }

  // View > Pass chart with the mouse; the chart window once it is up.
  TChartWindow* OpenChart() {
    QMenu* Menu = View();
    if (Menu == nullptr) return nullptr;
    ChooseFromMenu(Form, *Menu, Menu->findChild<QAction*>("PassChart1"));
    TChartWindow* Window = ChartWindow();
    if (Window == nullptr || !QTest::qWaitForWindowExposed(Window)) return nullptr;
    return Window;
  }

  TRecordedServices Record;
  TFormVelmora Form{RecordingServices(Record)};
  std::string Folder;
};

TEST_F(WindowChart, ViewPassChartOpensOneChartWindowThatWaitsForARun) {
  ASSERT_NE(View(), nullptr);
  EXPECT_EQ(ShownText(View()->title()), "View");
  ASSERT_EQ(View()->actions().size(), 1);
  EXPECT_EQ(ShownText(View()->actions()[0]->text()), "Pass chart");
  TChartWindow* Window = OpenChart();
  ASSERT_NE(Window, nullptr);
  EXPECT_EQ(Window->windowTitle(), "Pass chart - Quobix's Velmora");
  ASSERT_NE(Window->Record(), nullptr);
  EXPECT_TRUE(Window->Record()->Tests.empty());
  EXPECT_GE(Window->ChartView->width(), 600);
  // Chosen again, the same window comes up; Close puts it away.
  Window->ButtonClose->click();
  EXPECT_FALSE(Window->isVisible());
  EXPECT_EQ(OpenChart(), Window);
  EXPECT_EQ(Form.findChildren<QWidget*>("ChartWindow").size(), 1);
}

TEST_F(WindowChart, TheChartGrowsAsTheRunsPassesArriveAndEndsWithTheLogsPasses) {
  TChartWindow* Window = OpenChart();
  ASSERT_NE(Window, nullptr);
  const TChartColour Colour = SeriesColour(bmSystemRAMWrite);
  struct TSeen {
    std::size_t Passes;  // in the chart before the step is made
    bool Drawn;          // the picture shows those passes and none after them
    int Paints;          // of the chart on the screen so far
    bool RunGoing;
  };
  std::vector<TSeen> Seen;
  int Paints = 0;
  // Looks at the chart whenever a record-keeping step arrives, before it is made, and counts the
  // chart's paints on the screen.
  class TWatcher : public QObject {
   public:
    std::function<void()> Look;
    int* Paints = nullptr;
    bool Looking = false;  // the look's own picture is no paint on the screen
    bool eventFilter(QObject*, QEvent* Event) override {
      HandOverAcquire(Event);  // it sees the worker's events before the window does
      if (Event->type() == TRecordStepEvent::EventType) {
        Looking = true;
        Look();
        Looking = false;
      }
      if (Event->type() == QEvent::Paint && !Looking) ++*Paints;
      return false;
    }
  } Watcher;
  Watcher.Paints = &Paints;
  Window->ChartView->installEventFilter(&Watcher);
  Watcher.Look = [&] {
    const TRunRecord* Shown = Window->Record();
    const std::size_t Passes = Shown && !Shown->Tests.empty() ? Shown->Tests.back().Passes.size() : 0;
    const QImage Picture = Window->ChartView->grab().toImage();
    const TPassChart Chart = LayOutPassChart(*Shown, Picture.width(), Picture.height(), Window->LastTestRunning());
    bool Drawn = true;
    if (Passes > 0) {
      for (const TChartPoint& Point : Chart.Series.back().Runs.at(0))
        Drawn &= ColourNear(Picture, Point.X, Point.Y, Colour, 0);
      Drawn &= Chart.Series.back().Runs[0].size() == Passes;
    }
    // Nothing of the test's colour in the column of the next pass, but for its median across.
    const double MedianY = Passes > 0 && Chart.Series.back().Median ? Chart.RateY(*Chart.Series.back().Median) : -100;
    const int Column = static_cast<int>(Chart.PassX(static_cast<double>(Passes + 1)));
    for (int Row = static_cast<int>(Chart.Plot.Top); Passes < 4 && Row < static_cast<int>(Chart.Plot.Bottom()); ++Row)
      if (std::abs(Row - MedianY) >= 3) Drawn &= !ColourNear(Picture, Column, Row, Colour, 1);
    Seen.push_back({Passes, Drawn, Paints, Form.ButtonBenchmark->text() == "Stop"});
  };
  Form.installEventFilter(&Watcher);
  // Passes of a 1 GB block last long enough for the chart to be painted between two of them, also
  // in a sanitizer's build, whose window thread is slower than its timed loop.
  Form.SpinEditRAMSize->setValue(1024);
  QTest::mouseClick(Form.ButtonWriteSystemRAM, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form));
  Settle();
  Form.removeEventFilter(&Watcher);
  Window->ChartView->removeEventFilter(&Watcher);

  // Every pass reached the chart while the run went on, one after the other, and the chart showed
  // exactly the passes so far; the chart on the screen was painted anew during the next pass.
  std::vector<std::size_t> PassCounts;
  for (const TSeen& Step : Seen) {
    EXPECT_TRUE(Step.RunGoing);
    EXPECT_TRUE(Step.Drawn) << Step.Passes << " passes";
    if (PassCounts.empty() || PassCounts.back() != Step.Passes) PassCounts.push_back(Step.Passes);
  }
  EXPECT_EQ(PassCounts, (std::vector<std::size_t>{0, 1, 2, 3, 4}));
  for (std::size_t Index = 1; Index < Seen.size(); ++Index) {
    if (Seen[Index].Passes != Seen[Index - 1].Passes && Seen[Index].Passes < 4) {
      EXPECT_GT(Seen[Index].Paints, Seen[Index - 1].Paints) << "pass " << Seen[Index].Passes;
    }
  }

  // At the end, the chart holds the passes the log reports.
  const TRunRecord* Shown = Window->Record();
  ASSERT_TRUE(Shown && Shown->Tests.size() == 1);
  EXPECT_FALSE(Window->LastTestRunning());
  EXPECT_EQ(Shown->Tests[0].Status, TTestStatus::Completed);
  std::vector<std::string> LoggedTimes, ChartTimes;
  const std::regex PassLine(R"(Write to system memory: 1\.00 GB (\S+) ms .*)");
  for (const std::string& Line : MemoLines(Form))
    if (std::smatch Match; std::regex_match(Line, Match, PassLine)) LoggedTimes.push_back(Match[1]);
  for (const TPassRecord& Pass : Shown->Tests[0].Passes)
    ChartTimes.push_back(FormatTimeFigure(static_cast<double>(Pass.Nanoseconds) / 1e6));
  EXPECT_EQ(ChartTimes, LoggedTimes);
  EXPECT_EQ(ChartTimes.size(), 4u);
}

TEST_F(WindowChart, SaveAsPngWritesWhatTheWindowShowsOrSaysWhyNot) {
  QTest::mouseClick(Form.ButtonReadSystemRAM, Qt::LeftButton);
  ASSERT_TRUE(WaitForRunEnd(Form));
  Settle();
  TChartWindow* Window = OpenChart();
  ASSERT_NE(Window, nullptr);
  ASSERT_EQ(Window->Record()->Tests.size(), 1u);

  AnswerSaveDialogWith(Form, Folder + "chart.png");
  QTest::mouseClick(Window->ButtonSavePNG, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(Folder + "chart.png"); }, 10000));
  const QImage Saved(QString::fromStdString(Folder + "chart.png"));
  ASSERT_FALSE(Saved.isNull());
  EXPECT_EQ(Saved.size(), Window->ChartView->size() * Window->ChartView->devicePixelRatioF());
  EXPECT_EQ(Saved.convertToFormat(QImage::Format_RGB32),
            Window->ChartView->grab().toImage().convertToFormat(QImage::Format_RGB32));
  EXPECT_TRUE(Record.Errors.empty());

  AnswerSaveDialogWith(Form, Folder + "no-such-folder/chart.png");
  QTest::mouseClick(Window->ButtonSavePNG, Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Record.Errors.empty(); }, 10000));
  EXPECT_EQ(Record.Errors.front(),
            "The chart could not be saved to " + Folder + "no-such-folder/chart.png: No such file or directory");
}

TEST(ConsoleChart, ThePngIsTheChartOfTheRunItFollows) {
  const std::string Folder = ::testing::TempDir() + "/velmora-console-chart-";
  std::ostringstream Out, Err;
  ASSERT_EQ(RunConsole("velmora",
                       {"--console", "--test", "sys-write,sys-read", "--size", "256", "--passes", "3", "--json",
                        Folder + "run.json", "--chart", Folder + "run.png"},
                       Out, Err, OpenDefaultGraphicsInterface, "libOpenCL.so.1", ConsolePassChartPng),
            0)
      << Err.str();
  EXPECT_EQ(Err.str(), "");
  const QImage Image(QString::fromStdString(Folder + "run.png"));
  ASSERT_EQ(Image.size(), QSize(960, 540));
  const TRunRecord Record = RunRecordFromJson(ReadTextFile(Folder + "run.json"));
  const TPassChart Chart = LayOutPassChart(Record, 960, 540);
  ASSERT_EQ(Record.Tests.size(), 2u);
  for (const TTestRecord& Test : Record.Tests)
    for (std::size_t Pass = 0; Pass < Test.Passes.size(); ++Pass)
      EXPECT_TRUE(ColourNear(Image, Chart.PassX(static_cast<double>(Pass + 1)),
                             Chart.RateY(*PassRate(Test.Passes[Pass])), SeriesColour(Test.Type), 0))
          << static_cast<int>(Test.Type) << " pass " << Pass + 1;
}

}  // namespace
