#include "services/rich_text.h"

#include <QPlainTextEdit>
#include <QTextEdit>

#include "platform/text.h"
#include "services/window_helpers.h"

bool SetRichEditText(QWidget* edit, const std::u16string& text) {
  QString plain = QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
  plain.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  if (auto* rich = qobject_cast<QTextEdit*>(edit)) rich->setPlainText(plain);
  else if (auto* simple = qobject_cast<QPlainTextEdit*>(edit)) simple->setPlainText(plain);
  else return false;
  return true;
}

std::u16string GetRichEditText(QWidget* edit) {
  QString plain;
  if (auto* rich = qobject_cast<QTextEdit*>(edit)) plain = rich->toPlainText();
  else if (auto* simple = qobject_cast<QPlainTextEdit*>(edit)) plain = simple->toPlainText();
  plain.replace(QLatin1String("\n"), QLatin1String("\r\n"));
  return plain.toStdU16String();
}

bool SetRichEditTextString(QWidget* edit, const std::wstring& text) {
  return SetRichEditText(edit, platform::toUtf16(text));
}

void DDX_RichText(QWidget* dialog, bool saving, int controlId, std::wstring& text) {
  QWidget* edit = dialogItem(dialog, controlId);
  if (saving) text = platform::fromUtf16(GetRichEditText(edit));
  else SetRichEditTextString(edit, text);
}
