// The window's components as a user finds them right after start.

#include <QAction>
#include <QComboBox>
#include <QFontInfo>
#include <QGroupBox>
#include <QIcon>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include <gtest/gtest.h>

#include <regex>

#include "CoreCounts.h"
#include "StartupLines.h"
#include "WindowFixture.h"

namespace {

class WindowControls : public ::testing::Test {
 protected:
  TRecordedServices Record;
  TFormVelmora Form{RecordingServices(Record)};
};

struct TPlacement {
  const char* Name;
  const char* Parent;
  QRect Bounds;  // an empty size: the label sizes itself
  const char* Caption;
  bool Bold;
  bool GrowsToFit = false;  // as wide as the design or wider, when its text needs the room
};

const TPlacement Placements[] = {
    {"GroupBox1", "ClientArea", {0, 0, 722, 569}, " Options: ", true},
    {"GroupBox3", "GroupBox1", {8, 20, 705, 49}, " Settings: ", true},
    {"Label1", "GroupBox3", {16, 19, 0, 0}, "Memory allocation size:", false},
    {"SpinEditRAMSize", "GroupBox3", {138, 16, 64, 22}, nullptr, false, true},
    {"Label2", "GroupBox3", {208, 19, 0, 0}, "MB", false},
    {"Label3", "GroupBox3", {254, 19, 0, 0}, "Number of passes:", false},
    {"SpinEditPasses", "GroupBox3", {354, 16, 51, 22}, nullptr, false, true},
    {"ButtonBenchmark", "GroupBox3", {437, 14, 256, 25}, "Run benchmark", true},
    {"GroupBox10", "GroupBox1", {8, 75, 705, 54}, " OpenCL settings: ", true},
    {"Label6", "GroupBox10", {16, 23, 0, 0}, "Platform:", false},
    {"ComboBoxOpenCLPlatform", "GroupBox10", {70, 20, 152, 21}, nullptr, false},
    {"Label7", "GroupBox10", {232, 23, 0, 0}, "Device:", false},
    {"ComboBoxOpenCLDevice", "GroupBox10", {276, 20, 170, 21}, nullptr, false},
    {"Label11", "GroupBox10", {456, 23, 0, 0}, "Compute core count:", false},
    {"ComboBoxCores", "GroupBox10", {565, 20, 128, 21}, nullptr, false},
    {"GroupBox2", "GroupBox1", {8, 135, 417, 58}, " GFX memory test: ", true},
    {"ButtonWriteGFXRAM", "GroupBox2", {8, 21, 128, 25}, "Write to GFX RAM", false},
    {"ButtonReadGFXRAM", "GroupBox2", {142, 21, 128, 25}, "Read from GFX RAM", false},
    {"ButtonOpenCLReadWrite", "GroupBox2", {276, 21, 128, 25}, "OpenCL r&w GFX RAM", false},
    {"GroupBox4", "GroupBox1", {431, 135, 282, 58}, " System RAM test: ", true},
    {"ButtonWriteSystemRAM", "GroupBox4", {8, 21, 128, 25}, "Write to system RAM", false},
    {"ButtonReadSystemRAM", "GroupBox4", {142, 21, 128, 25}, "Read from system RAM", false},
    {"Memo1", "GroupBox1", {8, 199, 705, 306}, nullptr, false},
    {"GroupBox5", "GroupBox1", {8, 511, 137, 50}, " Peak write GFX RAM: ", true},
    {"LabelPeakGFXWrite", "GroupBox5", {2, 20, 133, 19}, "-", true},
    {"GroupBox6", "GroupBox1", {151, 511, 135, 50}, " Peak read GFX RAM: ", true},
    {"LabelPeakGFXRead", "GroupBox6", {2, 20, 131, 19}, "-", true},
    {"GroupBox9", "GroupBox1", {292, 511, 137, 50}, " Peak r&w GFX RAM: ", true},
    {"LabelPeakGFXOCLReadWrite", "GroupBox9", {2, 20, 133, 19}, "-", true},
    {"GroupBox8", "GroupBox1", {435, 511, 136, 50}, " Peak write SYS RAM: ", true},
    {"LabelPeakSYSWrite", "GroupBox8", {2, 20, 132, 19}, "-", true},
    {"GroupBox7", "GroupBox1", {577, 511, 138, 50}, " Peak read SYS RAM: ", true},
    {"LabelPeakSYSRead", "GroupBox7", {2, 20, 134, 19}, "-", true},
    {"Label4", "ClientArea", {16, 582, 375, 13},
     "This app. is free. If you like this app., please see my free to try applications...", false, true},
    {"ButtonExit", "ClientArea", {644, 575, 72, 27}, "Exit", true},
};

// The text a user sees: "&&" shows one ampersand, a single "&" marks a mnemonic and is hidden.
QString ShownCaption(const QWidget* Widget) {
  QString Text;
  if (auto* Box = qobject_cast<const QGroupBox*>(Widget)) Text = Box->title();
  else if (auto* Push = qobject_cast<const QPushButton*>(Widget)) Text = Push->text();
  else if (auto* Label = qobject_cast<const QLabel*>(Widget)) return Label->text();  // no mnemonics without a buddy
  return Text.replace("&&", "\x01").remove('&').replace("\x01", "&");
}

TEST_F(WindowControls, EveryComponentHasItsNameParentPlaceCaptionAndFont) {
  for (const TPlacement& Expected : Placements) {
    const auto* Widget = Form.findChild<QWidget*>(Expected.Name);
    ASSERT_NE(Widget, nullptr) << Expected.Name;
    EXPECT_EQ(Widget->parentWidget()->objectName().toStdString(), Expected.Parent) << Expected.Name;
    const QRect Bounds = Widget->geometry();
    EXPECT_EQ(Bounds.topLeft(), Expected.Bounds.topLeft()) << Expected.Name;
    if (Expected.GrowsToFit) {
      EXPECT_GE(Bounds.width(), Expected.Bounds.width()) << Expected.Name;
      EXPECT_EQ(Bounds.height(), Expected.Bounds.height()) << Expected.Name;
    } else if (!Expected.Bounds.size().isEmpty()) {
      EXPECT_EQ(Bounds.size(), Expected.Bounds.size()) << Expected.Name;
    }
    if (Expected.Caption) {
      EXPECT_EQ(ShownCaption(Widget).toStdString(), Expected.Caption) << Expected.Name;
    }
    EXPECT_EQ(Widget->font().bold(), Expected.Bold) << Expected.Name;
    const bool IsResult = std::string(Expected.Name).rfind("LabelPeak", 0) == 0;
    EXPECT_EQ(Widget->font().pixelSize(), IsResult ? 16 : 11) << Expected.Name;
  }
}

TEST_F(WindowControls, AmpersandsAreShownAndNoMnemonic) {
  EXPECT_TRUE(QKeySequence::mnemonic(Form.ButtonOpenCLReadWrite->text()).isEmpty());
  EXPECT_TRUE(QKeySequence::mnemonic(Form.GroupBox9->title()).isEmpty());
  EXPECT_EQ(ShownCaption(Form.ButtonOpenCLReadWrite), "OpenCL r&w GFX RAM");
  EXPECT_EQ(ShownText(Form.OnlineHelp1->text()), "Home Page & Help...");
}

TEST_F(WindowControls, FontIsTahomaOrItsClosestInstalledRelative) {
  const QString Family = QFontInfo(Form.Label1->font()).family();
  EXPECT_TRUE(Family == "Tahoma" || Family.startsWith("DejaVu Sans")) << Family.toStdString();
}

TEST_F(WindowControls, WindowIsFixedAtItsClientSizeWithTheMenuAbove) {
  EXPECT_EQ(Form.windowTitle(), "Quobix's Velmora");
  EXPECT_EQ(Form.centralWidget()->size(), QSize(724, 610));
  EXPECT_EQ(Form.minimumSize(), Form.maximumSize());
  EXPECT_EQ(Form.height(), 610 + Form.menuBar()->sizeHint().height());
  EXPECT_FALSE(Form.menuBar()->isNativeMenuBar());
  // File and Help keep their items; View, between them, is Velmora's own.
  const QList<QAction*> Menus = Form.menuBar()->actions();
  ASSERT_EQ(Menus.size(), 3);
  EXPECT_EQ(Menus[0], Form.File1->menuAction());
  EXPECT_EQ(ShownText(Menus[1]->text()), "View");
  EXPECT_EQ(Menus[2], Form.Help1->menuAction());
  EXPECT_EQ(ShownText(Form.File1->title()), "File");
  const QList<QAction*> FileItems = Form.File1->actions();
  ASSERT_EQ(FileItems.size(), 4);
  EXPECT_EQ(ShownText(FileItems[0]->text()), "Save results...");
  EXPECT_EQ(ShownText(FileItems[1]->text()), "Copy results");
  EXPECT_TRUE(FileItems[2]->isSeparator());
  EXPECT_EQ(FileItems[3], Form.Exit1);
  EXPECT_EQ(ShownText(Form.Exit1->text()), "Exit");
  EXPECT_EQ(ShownText(Form.Help1->title()), "Help");
  // Help keeps its two items; About, after a separator, is Velmora's own.
  const QList<QAction*> HelpItems = Form.Help1->actions();
  ASSERT_EQ(HelpItems.size(), 4);
  EXPECT_EQ(HelpItems[0], Form.OnlineHelp1);
  EXPECT_EQ(HelpItems[1], Form.PrivacyPolicy1);
  EXPECT_TRUE(HelpItems[2]->isSeparator());
  EXPECT_EQ(HelpItems[3], Form.About1);
  EXPECT_EQ(ShownText(Form.PrivacyPolicy1->text()), "Privacy Policy...");
}

TEST_F(WindowControls, CarriesVelmorasIcon) {
  const QImage Icon = Form.windowIcon().pixmap(64, 64).toImage();
  ASSERT_FALSE(Icon.isNull()) << "the icon did not render: is Qt's SVG icon engine (libqt6svg6) installed?";
  // Drawn, not blank: clear outside the rounded tile, opaque on the gauge's hub in its middle.
  EXPECT_EQ(qAlpha(Icon.pixel(1, 1)), 0);
  EXPECT_EQ(qAlpha(Icon.pixel(32, 33)), 255);
}

TEST_F(WindowControls, DefaultsAndLimitsAreTheWindows) {
  EXPECT_EQ(Form.SpinEditRAMSize->value(), 512);
  EXPECT_EQ(Form.SpinEditRAMSize->minimum(), 256);
  EXPECT_EQ(Form.SpinEditRAMSize->maximum(), 10000);
  EXPECT_EQ(Form.SpinEditRAMSize->singleStep(), 256);
  EXPECT_EQ(Form.SpinEditPasses->value(), 5);
  EXPECT_EQ(Form.SpinEditPasses->minimum(), 2);
  EXPECT_EQ(Form.SpinEditPasses->maximum(), 10000);
  EXPECT_EQ(Form.SpinEditPasses->singleStep(), 1);
  EXPECT_TRUE(Form.ComboBoxCores->isEditable());
  EXPECT_EQ(Form.ComboBoxCores->maxVisibleItems(), 32);
  // PoCL's device is a processor: its compute units first, selected, then the cards.
  ASSERT_EQ(Form.ComboBoxCores->count(), 17);
  EXPECT_EQ(Form.ComboBoxCores->currentIndex(), 0);
  EXPECT_TRUE(std::regex_match(Form.ComboBoxCores->currentText().toStdString(), std::regex(R"([1-9]\d* - compute units)")))
      << Form.ComboBoxCores->currentText().toStdString();
  for (int Index = 0; Index < 16; ++Index)
    EXPECT_EQ(Form.ComboBoxCores->itemText(Index + 1).toStdString(),
              CoreCountItems[static_cast<std::size_t>(Index)].Text);
  EXPECT_FALSE(Form.ComboBoxOpenCLPlatform->isEditable());
  EXPECT_FALSE(Form.ComboBoxOpenCLDevice->isEditable());
  for (QLabel* Label : {Form.LabelPeakGFXWrite, Form.LabelPeakGFXRead, Form.LabelPeakGFXOCLReadWrite,
                        Form.LabelPeakSYSWrite, Form.LabelPeakSYSRead}) {
    EXPECT_EQ(Label->text(), "-");
    EXPECT_EQ(Label->alignment(), Qt::AlignCenter);
  }
  EXPECT_FALSE(Form.Memo1->isReadOnly());
  EXPECT_EQ(Form.Memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
  EXPECT_EQ(Form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  EXPECT_EQ(Form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
  for (QWidget* Control : Form.LockedControls()) EXPECT_TRUE(Control->isEnabled()) << Control->objectName().toStdString();
}

TEST_F(WindowControls, LinkLabelUnderlinesUnderTheMouseAndOpensTheHomePage) {
  EXPECT_EQ(Form.Label4->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_EQ(Form.Label4->palette().color(QPalette::WindowText), Form.Label4->palette().color(QPalette::Link));
  EXPECT_FALSE(Form.Label4->font().underline());
  QEvent Enter(QEvent::Enter);
  QApplication::sendEvent(Form.Label4, &Enter);
  EXPECT_TRUE(Form.Label4->font().underline());
  QEvent Leave(QEvent::Leave);
  QApplication::sendEvent(Form.Label4, &Leave);
  EXPECT_FALSE(Form.Label4->font().underline());

  Record.OpenedUrls.clear();
  QMouseEvent Release(QEvent::MouseButtonRelease, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(Form.Label4, &Release);
  Form.OnlineHelp1->trigger();
  Form.PrivacyPolicy1->trigger();
  EXPECT_EQ(Record.OpenedUrls, (std::vector<std::string>{HomePageAddress, HelpPageAddress, PrivacyPolicyAddress}));
}

TEST_F(WindowControls, IsCentredWhenShown) {
  Form.show();
  Settle();
  const QRect Available = Form.screen()->availableGeometry();
  const QRect Frame = Form.frameGeometry();
  EXPECT_NEAR(Frame.left() - Available.left(), Available.right() - Frame.right(), 1);
  EXPECT_NEAR(Frame.top() - Available.top(), Available.bottom() - Frame.bottom(), 1);
  Form.hide();
}

}  // namespace
