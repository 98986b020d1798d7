#include "SpinEdit.h"

#include <algorithm>

namespace {

// The text without blanks around it, when it is nothing but the digits 0 to 9.
bool IsWholeNumberText(const QString& Text) {
  return !Text.isEmpty() && std::all_of(Text.begin(), Text.end(), [](QChar C) { return C >= '0' && C <= '9'; });
}

// The number a digit text means, held to [Minimum, Maximum]; any text too long for a 64-bit
// number is above every limit.
int Clamped(const QString& Digits, int Minimum, int Maximum) {
  bool Fits = false;
  const qlonglong Number = Digits.toLongLong(&Fits);
  if (!Fits) return Maximum;
  return static_cast<int>(std::clamp<qlonglong>(Number, Minimum, Maximum));
}

}  // namespace

TSpinEdit::TSpinEdit(QWidget* Parent) : QSpinBox(Parent) {
  // What fixup cannot mend (nothing a user can type gets that far) goes to the nearest limit too.
  setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
}

void TSpinEdit::FitToRange() { resize(std::max(width(), sizeHint().width()), height()); }

QValidator::State TSpinEdit::validate(QString& Input, int&) const {
  const QString Text = Input.trimmed();
  // An empty box and a number outside the range are on their way to a value: fixup ends them.
  if (Text.isEmpty()) return QValidator::Intermediate;
  if (!IsWholeNumberText(Text)) return QValidator::Invalid;
  const int Value = Clamped(Text, minimum(), maximum());
  return Value == Text.toLongLong() ? QValidator::Acceptable : QValidator::Intermediate;
}

void TSpinEdit::fixup(QString& Input) const {
  const QString Text = Input.trimmed();
  Input = textFromValue(IsWholeNumberText(Text) ? Clamped(Text, minimum(), maximum()) : value());
}
