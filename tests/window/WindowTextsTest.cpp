// Every caption of the window shown whole at the DPIs users run it at, nothing scaled twice, and
// no control grown over its neighbour. The window is shown and painted, then each text's width in
// the control's own font is held against the room the style gives it.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QStyleOption>

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "WindowFixture.h"

namespace {

// The widest result a peak label shows: four digits, two decimals and the widest unit.
const QString WidestResult = "1023.99 MB/s";

struct TTextRoom {
  QString Text;
  int TextWidth;  // in the control's font
  int Room;       // what the control gives the text
};

// What a user sees of a caption: "&&" is one ampersand.
QString Shown(QString Caption) { return Caption.replace("&&", "&"); }

int WidthIn(const QWidget* Widget, const QString& Text) { return Widget->fontMetrics().horizontalAdvance(Text); }

TTextRoom RoomOfLabel(const QLabel* Label) {
  const QString Text = Label->objectName().startsWith("LabelPeak") ? WidestResult : Label->text();
  return {Text, WidthIn(Label, Text), Label->contentsRect().width()};
}

TTextRoom RoomOfButton(const QPushButton* Button) {
  QStyleOptionButton Option;
  Option.initFrom(Button);
  Option.text = Button->text();
  const QRect Contents = Button->style()->subElementRect(QStyle::SE_PushButtonContents, &Option, Button);
  return {Shown(Button->text()), WidthIn(Button, Shown(Button->text())), Contents.width()};
}

TTextRoom RoomOfGroupBox(const QGroupBox* Box) {
  QStyleOptionGroupBox Option;
  Option.initFrom(Box);
  Option.text = Box->title();
  Option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
  Option.textAlignment = Box->alignment();
  const QRect Label = Box->style()->subControlRect(QStyle::CC_GroupBox, &Option, QStyle::SC_GroupBoxLabel, Box);
  return {Shown(Box->title()), WidthIn(Box, Shown(Box->title())), Box->width() - Label.left()};
}

// A line edit scrolls its text once the text and the cursor no longer fit between its margins of
// two pixels: that is how "10000" became "l0000".
TTextRoom RoomOfLineEdit(const QLineEdit* Edit, const QString& Text) {
  const QMargins Margins = Edit->textMargins();
  const int Frame = Edit->hasFrame() ? Edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) : 0;
  const int Cursor = Edit->style()->pixelMetric(QStyle::PM_TextCursorWidth);
  return {Text, WidthIn(Edit, Text) + 1 + Cursor,
          Edit->width() - 2 * Frame - Margins.left() - Margins.right() - 2 * 2};
}

std::vector<TTextRoom> TextsOf(const QWidget* Widget) {
  if (auto* Label = qobject_cast<const QLabel*>(Widget)) return {RoomOfLabel(Label)};
  if (auto* Button = qobject_cast<const QPushButton*>(Widget)) return {RoomOfButton(Button)};
  if (auto* Box = qobject_cast<const QGroupBox*>(Widget)) return {RoomOfGroupBox(Box)};
  if (auto* Spin = qobject_cast<const QSpinBox*>(Widget)) {
    const QLineEdit* Edit = Spin->findChild<QLineEdit*>();
    return {RoomOfLineEdit(Edit, QString::number(Spin->minimum())),
            RoomOfLineEdit(Edit, QString::number(Spin->maximum()))};
  }
  if (auto* Combo = qobject_cast<const QComboBox*>(Widget); Combo && Combo->isEditable())
    return {RoomOfLineEdit(Combo->lineEdit(), Combo->currentText())};
  return {};
}

// The components the form places: named by the form, not by Qt.
std::vector<QWidget*> Components(const TFormVelmora& Form) {
  std::vector<QWidget*> Found;
  for (QWidget* Widget : Form.centralWidget()->findChildren<QWidget*>())
    if (!Widget->objectName().isEmpty() && !Widget->objectName().startsWith("qt_")) Found.push_back(Widget);
  return Found;
}

class WindowTexts : public ::testing::TestWithParam<int> {
 protected:
  void SetUp() override {
    ScreenDPI = GetParam();
    Form = std::make_unique<TFormVelmora>(RecordingServices(Record));
    Form->show();
    Settle();
  }
  void TearDown() override {
    Form.reset();
    ScreenDPI = 96;
  }
  int Scaled(int Pixels) const { return static_cast<int>(std::lround(Pixels * GetParam() / 96.0)); }

  TRecordedServices Record;
  std::unique_ptr<TFormVelmora> Form;
};

TEST_P(WindowTexts, EveryCaptionFitsItsControl) {
  Form->SpinEditPasses->setValue(Form->SpinEditPasses->maximum());
  Form->SpinEditRAMSize->setValue(Form->SpinEditRAMSize->maximum());
  int Checked = 0;
  for (const QWidget* Widget : Components(*Form))
    for (const TTextRoom& Text : TextsOf(Widget)) {
      ++Checked;
      EXPECT_LE(Text.TextWidth, Text.Room) << Widget->objectName().toStdString() << ": \"" << Text.Text.toStdString()
                                           << "\" at " << GetParam() << " DPI";
      EXPECT_LE(Widget->fontMetrics().height(), Widget->contentsRect().height()) << Widget->objectName().toStdString();
    }
  EXPECT_GE(Checked, 30);  // every label, button, group box and editable box was measured
}

TEST_P(WindowTexts, TheSpinEditsTextIsScaledOnce) {
  for (const QSpinBox* Spin : {static_cast<QSpinBox*>(Form->SpinEditRAMSize), static_cast<QSpinBox*>(Form->SpinEditPasses)}) {
    EXPECT_EQ(Spin->font().pixelSize(), Scaled(11));
    EXPECT_EQ(Spin->findChild<QLineEdit*>()->fontInfo().pixelSize(), Scaled(11)) << Spin->objectName().toStdString();
  }
  EXPECT_EQ(Form->ComboBoxCores->lineEdit()->fontInfo().pixelSize(), Scaled(11));
  EXPECT_EQ(Form->Memo1->fontInfo().pixelSize(), Scaled(11));
}

TEST_P(WindowTexts, NoControlCoversAnotherOrLeavesItsParent) {
  const std::vector<QWidget*> All = Components(*Form);
  for (const QWidget* Widget : All) {
    const std::string Name = Widget->objectName().toStdString();
    EXPECT_TRUE(Widget->parentWidget()->rect().contains(Widget->geometry())) << Name;
    for (const QWidget* Other : All) {
      if (Other == Widget || Other->parentWidget() != Widget->parentWidget()) continue;
      EXPECT_FALSE(Widget->geometry().intersects(Other->geometry()))
          << Name << " covers " << Other->objectName().toStdString() << " at " << GetParam() << " DPI";
    }
  }
}

INSTANTIATE_TEST_SUITE_P(AtTheDPIsOfUsersScreens, WindowTexts, ::testing::Values(96, 120, 144),
                         [](const ::testing::TestParamInfo<int>& Info) { return std::to_string(Info.param) + "DPI"; });

}  // namespace
