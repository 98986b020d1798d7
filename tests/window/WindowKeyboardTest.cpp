// The window by keyboard alone, as a user without a mouse drives it: Tab through every control in
// the layout's order, Enter on a button, the menus' mnemonics and F10, the focus after a run, the
// link label and Help > About.

#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "StartupLines.h"
#include "WindowFixture.h"

namespace {

class WindowKeyboard : public ::testing::Test {
 protected:
  void SetUp() override {
    Form.show();
    QApplication::setActiveWindow(&Form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&Form));
  }

  // The form's control that has the focus: a box's own editor stands for its box.
  QWidget* FocusedControl() const {
    for (QWidget* Widget = QApplication::focusWidget(); Widget != nullptr; Widget = Widget->parentWidget())
      if (Widget->parentWidget() == Form.centralWidget() || qobject_cast<QGroupBox*>(Widget->parentWidget()))
        return Widget;
    return nullptr;
  }

  void Press(Qt::Key Key, Qt::KeyboardModifiers Modifiers = Qt::NoModifier) {
    QTest::keyClick(QApplication::focusWidget(), Key, Modifiers);
  }

  // Tabs from where the focus is until it lands on Control; false when it never does.
  bool TabTo(QWidget* Control) {
    for (int Step = 0; Step < 20 && FocusedControl() != Control; ++Step) Press(Qt::Key_Tab);
    return FocusedControl() == Control;
  }

  TRecordedServices Record;
  TFormVelmora Form{RecordingServices(Record)};
};

TEST_F(WindowKeyboard, TabVisitsEveryControlInTheLayoutsOrderAndLeavesTheLog) {
  Form.SpinEditRAMSize->setFocus();
  const std::vector<QWidget*> Expected = {
      Form.SpinEditRAMSize,       Form.SpinEditPasses,       Form.ButtonBenchmark,      Form.ComboBoxOpenCLPlatform,
      Form.ComboBoxOpenCLDevice,  Form.ComboBoxCores,        Form.ButtonWriteGFXRAM,    Form.ButtonReadGFXRAM,
      Form.ButtonOpenCLReadWrite, Form.ButtonWriteSystemRAM, Form.ButtonReadSystemRAM,  Form.Memo1,
      Form.Label4,                Form.ButtonExit,           Form.SpinEditRAMSize};
  const QString LogBefore = Form.Memo1->toPlainText();
  std::vector<QWidget*> Visited{FocusedControl()};
  for (std::size_t Step = 1; Step < Expected.size(); ++Step) {
    Press(Qt::Key_Tab);
    Visited.push_back(FocusedControl());
  }
  for (std::size_t Index = 0; Index < Expected.size(); ++Index)
    EXPECT_EQ(Visited[Index], Expected[Index]) << "stop " << Index << ": "
                                               << (Visited[Index] ? Visited[Index]->objectName().toStdString() : "none");
  // Tab left the log as it is: no tab character was typed into it.
  EXPECT_EQ(Form.Memo1->toPlainText(), LogBefore);
  // Shift+Tab goes back the same way.
  Press(Qt::Key_Backtab);
  EXPECT_EQ(FocusedControl(), Form.ButtonExit);
  // The link label shows it has the focus as it shows the mouse over it.
  Press(Qt::Key_Backtab);
  EXPECT_TRUE(Form.Label4->font().underline());
  Press(Qt::Key_Backtab);
  EXPECT_FALSE(Form.Label4->font().underline());
}

TEST_F(WindowKeyboard, EnterOnAFocusedButtonStartsItsTestAndTheFocusComesBackAfterTheRun) {
  // The settings typed as a user types them.
  Form.SpinEditRAMSize->setFocus();
  Press(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), "256");
  Press(Qt::Key_Tab);
  Press(Qt::Key_A, Qt::ControlModifier);
  QTest::keyClicks(QApplication::focusWidget(), "2");
  ASSERT_TRUE(TabTo(Form.ButtonReadSystemRAM));
  Press(Qt::Key_Return);
  EXPECT_FALSE(Form.ButtonReadSystemRAM->isEnabled());  // the run is under way
  ASSERT_TRUE(WaitForRunEnd(Form));
  const std::vector<std::string> Lines = MemoLines(Form);
  EXPECT_EQ(std::count_if(Lines.begin(), Lines.end(),
                          [](const std::string& Line) { return Line.rfind("Read from system memory: 256.00 MB", 0) == 0; }),
            2);
  EXPECT_NE(Form.LabelPeakSYSRead->text(), "-");
  EXPECT_EQ(FocusedControl(), Form.ButtonReadSystemRAM);
  // Enter on the link label opens the maker's home page, as a click does.
  ASSERT_TRUE(TabTo(Form.Label4));
  Press(Qt::Key_Enter);
  EXPECT_EQ(Record.OpenedUrls, (std::vector<std::string>{HomePageAddress, HomePageAddress}));
}

TEST_F(WindowKeyboard, EveryMenuHasItsMnemonicAndF10OpensTheMenuBar) {
  for (QAction* Menu : Form.menuBar()->actions()) {
    EXPECT_FALSE(QKeySequence::mnemonic(Menu->text()).isEmpty()) << Menu->text().toStdString();
    for (QAction* Item : Menu->menu()->actions()) {
      if (!Item->isSeparator()) {
        EXPECT_FALSE(QKeySequence::mnemonic(Item->text()).isEmpty()) << Item->text().toStdString();
      }
    }
  }
  Form.ButtonExit->setFocus();
  Press(Qt::Key_F, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Form.File1->isVisible(); }, 5000));
  QTest::keyClick(Form.File1, Qt::Key_Escape);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Form.File1->isVisible(); }, 5000));
  Form.ButtonExit->setFocus();
  Press(Qt::Key_F10);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Form.File1->isVisible(); }, 5000));
  // From there the arrows reach the other menus.
  QTest::keyClick(Form.File1, Qt::Key_Right);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Form.File1->isVisible(); }, 5000));
  QTest::keyClick(QApplication::activePopupWidget(), Qt::Key_Escape);
}

TEST_F(WindowKeyboard, AboutVelmoraGivesTheVersionTheLicenceAndTheHomePage) {
  std::string Title, Text;
  // The box, once it is up, is read and its Home Page button pressed by its mnemonic.
  auto* Poll = new QTimer(&Form);
  QObject::connect(Poll, &QTimer::timeout, Poll, [&, Poll] {
    auto* Box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (Box == nullptr) return;
    Poll->stop();
    Title = Box->text().toStdString();
    Text = Box->informativeText().toStdString();
    QApplication::setActiveWindow(Box);
    EXPECT_TRUE(QTest::qWaitForWindowActive(Box));
    QTest::keyClick(Box, Qt::Key_H, Qt::AltModifier);
    if (!QTest::qWaitFor([Box] { return !Box->isVisible(); }, 5000)) {
      ADD_FAILURE() << "Alt+H did not press the About box's Home Page button";
      Box->reject();  // or the test would wait in the box for ever
    }
  });
  Poll->start(20);
  Form.ButtonExit->setFocus();
  Press(Qt::Key_H, Qt::AltModifier);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Form.Help1->isVisible(); }, 5000));
  QTest::keyClick(Form.Help1, Qt::Key_A);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !Title.empty() && QApplication::activeModalWidget() == nullptr; }, 10000));
  EXPECT_EQ(Title, "Velmora " VELMORA_TEST_VERSION " for Linux");
  EXPECT_NE(Text.find("MIT licence"), std::string::npos) << Text;
  EXPECT_NE(Text.find(HomePageAddress), std::string::npos) << Text;
  EXPECT_EQ(Record.OpenedUrls, (std::vector<std::string>{HomePageAddress, HomePageAddress}));
}

}  // namespace
