// Small helpers the shell's windows share for their controls.
#pragma once

#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <algorithm>
#include <string>

inline QString qtext(const std::wstring& text) { return QString::fromStdWString(text); }

// Names the control "id<number>" after its control id, as tests and the dialogs find it.
template <typename Widget>
Widget* withId(Widget* widget, int id) {
  widget->setObjectName(QString("id%1").arg(id));
  return widget;
}

// The width the control needs to show its text whole in its font, and at least `least`.
inline int widthForText(const QWidget* control, int least) { return std::max(least, control->sizeHint().width()); }

// A field that shows a value the user cannot type over: it can still be clicked into to select
// and copy, but Tab passes it by.
template <typename Field>
Field* readOnlyField(Field* field) {
  field->setReadOnly(true);
  field->setFocusPolicy(Qt::ClickFocus);
  return field;
}

// Puts a name the dialog suggests into the edit, selected and with the focus: what the user types
// replaces it rather than being added to it.
inline void offerText(QLineEdit* edit, const QString& text) {
  edit->setText(text);
  edit->selectAll();
  edit->setFocus();
}
