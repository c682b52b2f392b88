// What the shell's own dialogs share: running them modally so that unattended runs can answer
// them as they answer message boxes, and making their controls.
#pragma once

#include <QAbstractItemView>
#include <QRect>
#include <QString>
#include <type_traits>

#include "app/common/control_helpers.h"
#include "platform/windows/list_view_keys.h"

class QDialog;
class QLabel;
class QPushButton;
class QWidget;

// The caption of the shell's message boxes.
inline constexpr wchar_t kAppCaption[] = L"Kelvara";

// Runs the dialog (platform::execDialog: unattended runs answer it once it shows) and gives
// platform::IdOk when it was accepted, else platform::IdCancel.
int runModalDialog(QDialog& dialog);

// Names the dialog "id<templateId>" and gives it its title and size.
void setUpDialog(QDialog* dialog, int templateId, const wchar_t* title, int width, int height);
// A fixed text of the dialog (no id of its own).
QLabel* dialogText(QWidget* dialog, const wchar_t* text, const QRect& rect);

// A control of the dialog, named "id<id>" and placed at rect; a list's Home and End keys bring
// their row into view.
template <class Control>
Control* dialogControl(QWidget* dialog, int id, const QRect& rect) {
  auto* control = withId(new Control(dialog), id);
  control->setGeometry(rect);
  if constexpr (std::is_base_of_v<QAbstractItemView, Control>) platform::bringHomeAndEndRowsIntoView(*control);
  return control;
}

// A push button of the dialog; id 1 is its default button and accepts, id 2 rejects.
QPushButton* dialogButton(QDialog* dialog, int id, const wchar_t* text, const QRect& rect);
