// Small helpers the shell's windows share for their controls.
#pragma once

#include <QString>
#include <string>

inline QString qtext(const std::wstring& text) { return QString::fromStdWString(text); }

// Names the control "id<number>" after its control id, as tests and the dialogs find it.
template <typename Widget>
Widget* withId(Widget* widget, int id) {
  widget->setObjectName(QString("id%1").arg(id));
  return widget;
}
