#pragma once
// A window for a test: services that record instead of opening a browser or a message box,
// helpers that wait for what the worker posts, and a user's hand on the menus and the save dialog.

#include <QAbstractItemView>
#include <QApplication>
#include <QCompleter>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Unit1.h"

struct TRecordedServices {
  std::vector<std::string> OpenedUrls;
  std::vector<std::string> Errors;
  int OpenCLLoadAttempts = 0;
};

// The real services but for the browser and the error box, which are recorded.
inline TFormVelmoraServices RecordingServices(TRecordedServices& Record) {
  TFormVelmoraServices Services = TFormVelmoraServices::Defaults();
  Services.OpenUrl = [&Record](const std::string& Address) { Record.OpenedUrls.push_back(Address); };
  Services.ReportError = [&Record](const std::string& Message) { Record.Errors.push_back(Message); };
  auto Load = Services.LoadOpenCLLibrary;
  Services.LoadOpenCLLibrary = [&Record, Load](const std::string& FileName) {
    ++Record.OpenCLLoadAttempts;
    return Load(FileName);
  };
  return Services;
}

// A menu's or item's text as it is shown: its mnemonic's "&" dropped, "&&" a literal ampersand.
inline std::string ShownText(const QString& Text) {
  std::string Result;
  const std::string Raw = Text.toStdString();
  for (std::size_t Index = 0; Index < Raw.size(); ++Index) {
    if (Raw[Index] == '&' && Index + 1 < Raw.size()) ++Index;
    Result += Raw[Index];
  }
  return Result;
}

inline std::vector<std::string> MemoLines(const TFormVelmora& Form) {
  std::vector<std::string> Lines;
  const QString Text = Form.Memo1->toPlainText();
  if (Text.isEmpty() && Form.Memo1->document()->blockCount() <= 1) return Lines;
  for (const QString& Line : Text.split('\n')) Lines.push_back(Line.toStdString());
  return Lines;
}

// Processes events until the run ends: the controls are enabled again, "Benchmarking completed."
// is the last line and the worker has gone (true), or the time is up (false). A run's controls
// are locked as soon as its button is clicked, so an earlier run's last line does not count.
inline bool WaitForRunEnd(const TFormVelmora& Form, int TimeoutMilliseconds = 120000) {
  QElapsedTimer Timer;
  Timer.start();
  while (Timer.elapsed() < TimeoutMilliseconds) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    const std::vector<std::string> Lines = MemoLines(Form);
    if (Form.LockedControls().back()->isEnabled() && !Form.HasRunningWorker() && !Lines.empty() &&
        Lines.back() == "Benchmarking completed.")
      return true;
  }
  return false;
}

// Lets every posted event arrive.
inline void Settle(int Milliseconds = 50) {
  QElapsedTimer Timer;
  Timer.start();
  while (Timer.elapsed() < Milliseconds) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

// Opens Menu of the window's menu bar with the mouse and clicks its item Action.
inline void ChooseFromMenu(TFormVelmora& Form, QMenu& Menu, QAction* Action) {
  QMenuBar* Bar = Form.menuBar();
  QTest::mouseClick(Bar, Qt::LeftButton, {}, Bar->actionGeometry(Menu.menuAction()).center());
  ASSERT_TRUE(QTest::qWaitFor([&] { return Menu.isVisible(); }, 5000));
  QTest::mouseClick(&Menu, Qt::LeftButton, {}, Menu.actionGeometry(Action).center());
}

// Answers the save dialog, once it is up, by typing FileName over the suggested one and pressing
// Enter. The dialog reads the folder in the background and offers completions as a path is
// typed, so, like a user, the test waves the list of completions away with Escape, retypes the
// name where a completion replaced it, and presses Enter once the Save button is enabled.
inline void AnswerSaveDialogWith(QObject& Owner, const std::string& FileName) {
  auto* Poll = new QTimer(&Owner);
  QObject::connect(Poll, &QTimer::timeout, Poll, [Poll, FileName] {
    auto* Dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
    if (Dialog == nullptr) return;
    Poll->stop();
    Poll->deleteLater();
    auto* NameEdit = Dialog->findChild<QLineEdit*>("fileNameEdit");
    auto* Buttons = Dialog->findChild<QDialogButtonBox*>("buttonBox");
    ASSERT_TRUE(NameEdit && Buttons);
    QPushButton* Save = Buttons->button(QDialogButtonBox::Save);
    ASSERT_NE(Save, nullptr);
    for (int Try = 0; Try < 100 && Dialog->isVisible(); ++Try) {
      if (QCompleter* Completer = NameEdit->completer(); Completer && Completer->popup()->isVisible())
        QTest::keyClick(Completer->popup(), Qt::Key_Escape);
      if (NameEdit->text().toStdString() != FileName) {
        NameEdit->setFocus();
        QTest::keyClick(NameEdit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(NameEdit, QString::fromStdString(FileName));
      } else if (Save->isEnabled()) {
        QTest::keyClick(NameEdit, Qt::Key_Return);
      }
      QTest::qWait(20);
    }
    if (Dialog->isVisible()) {
      ADD_FAILURE() << "the save dialog did not take the name";
      Dialog->reject();  // or the test would wait in the dialog for ever
    }
  });
  Poll->start(20);
}
