// The File menu's "Save results..." and "Copy results", used as a user does: a real run started
// by a click, the menu opened with the mouse, the file dialog answered with the keyboard.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QCompleter>
#include <QAbstractItemView>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "RecordReader.h"
#include "TextFile.h"
#include "WindowFixture.h"

namespace {

class WindowResults : public ::testing::Test {
 protected:
  void SetUp() override {
    Form.show();
    Form.SpinEditRAMSize->setValue(256);
    Form.SpinEditPasses->setValue(3);
    const std::filesystem::path Path = std::filesystem::path(::testing::TempDir()) / "velmora-window-results";
    std::filesystem::remove_all(Path);
    std::filesystem::create_directories(Path);
    Folder = Path.string() + "/";
  }

  QAction* Item(const char* Name) const { return Form.File1->findChild<QAction*>(Name); }

  void ChooseFromFileMenu(QAction* Action) { ChooseFromMenu(Form, *Form.File1, Action); }
  void AnswerSaveDialogWith(const std::string& FileName) { ::AnswerSaveDialogWith(Form, FileName); }

  void RunReadTest() {
    QTest::mouseClick(Form.ButtonReadSystemRAM, Qt::LeftButton);
    ASSERT_TRUE(WaitForRunEnd(Form));
    Settle();
  }

  TRecordedServices Record;
  TFormVelmora Form{RecordingServices(Record)};
  std::string Folder;
};

TEST_F(WindowResults, TheItemsWaitForTheEndOfARun) {
  ASSERT_NE(Item("SaveResults1"), nullptr);
  ASSERT_NE(Item("CopyResults1"), nullptr);
  EXPECT_FALSE(Item("SaveResults1")->isEnabled());
  EXPECT_FALSE(Item("CopyResults1")->isEnabled());
  QApplication::clipboard()->setText("untouched");
  ChooseFromFileMenu(Item("CopyResults1"));
  Settle();
  EXPECT_EQ(QApplication::clipboard()->text(), "untouched");
  RunReadTest();
  EXPECT_TRUE(Item("SaveResults1")->isEnabled());
  EXPECT_TRUE(Item("CopyResults1")->isEnabled());
}

TEST_F(WindowResults, CopyPutsASummaryOnTheClipboard) {
  RunReadTest();
  ChooseFromFileMenu(Item("CopyResults1"));
  ASSERT_TRUE(QTest::qWaitFor([] { return QApplication::clipboard()->text().startsWith("Velmora "); }, 5000));
  const std::string Text = QApplication::clipboard()->text().toStdString();
  EXPECT_NE(Text.find("\nSettings: 256.00 MB block, 3 passes\n"), std::string::npos) << Text;
  EXPECT_NE(Text.find("\nsys-read   "), std::string::npos) << Text;
  // The log keeps exactly the test's own lines: the spread is the console's and the summary's.
  for (const std::string& Line : MemoLines(Form)) EXPECT_EQ(Line.rfind("Passes after the first", 0), std::string::npos);
}

TEST_F(WindowResults, SaveWritesJsonOrCsvByTheChosenExtension) {
  RunReadTest();
  AnswerSaveDialogWith(Folder + "run.json");
  ChooseFromFileMenu(Item("SaveResults1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(Folder + "run.json"); }, 10000));
  const TRunRecord Saved = RunRecordFromJson(ReadTextFile(Folder + "run.json"));
  ASSERT_EQ(Saved.Tests.size(), 1u);
  EXPECT_EQ(Saved.Tests[0].Type, bmSystemRAMRead);
  EXPECT_EQ(Saved.Tests[0].Status, TTestStatus::Completed);
  EXPECT_EQ(Saved.Tests[0].Passes.size(), 3u);
  EXPECT_EQ(Saved.Settings.Settings.MemorySize, std::int64_t{256} << 20);
  EXPECT_EQ(Saved.Run.VelmoraVersion, VELMORA_TEST_VERSION);
  // The log says where the results went.
  EXPECT_EQ(MemoLines(Form).back(), "Results saved to " + Folder + "run.json");

  AnswerSaveDialogWith(Folder + "run.csv");
  ChooseFromFileMenu(Item("SaveResults1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return std::filesystem::exists(Folder + "run.csv"); }, 10000));
  const std::string Csv = ReadTextFile(Folder + "run.csv");
  EXPECT_EQ(Csv.rfind("record,test,pass,warm,nanoseconds,bytes,bytes_per_second,name,value\n", 0), 0u);
  EXPECT_NE(Csv.find("\npass,sys-read,3,true,"), std::string::npos);
  EXPECT_TRUE(Record.Errors.empty());
}

TEST_F(WindowResults, ASaveThatFailsSaysWhy) {
  RunReadTest();
  AnswerSaveDialogWith(Folder + "no-such-folder/run.json");
  ChooseFromFileMenu(Item("SaveResults1"));
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Record.Errors.empty(); }, 10000));
  EXPECT_EQ(Record.Errors.front(),
            "The results could not be saved to " + Folder + "no-such-folder/run.json: No such file or directory");
  EXPECT_EQ(MemoLines(Form).back(), "Benchmarking completed.");
}

}  // namespace
