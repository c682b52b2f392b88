// What the buttons that host a real control (edit box, combo box) share: where a button's
// rectangle lies on the bar widget that holds the control, and the control's colours.
#pragma once

#include "platform/drawing/gdi_dc.h"

#include <QRect>
#include <vector>

class CUxToolbarButton;
class QEvent;
class QWidget;

// A client rectangle of the bar that holds `control`, in that widget's coordinates (unchanged
// when the control is not on a toolbar).
QRect hostedRectOnBar(const QWidget* control, const platform::Rect& rect);
// The control's place in the client coordinates of the bar that holds it.
platform::Rect hostedControlRect(const QWidget* control);
// Window text on the window colour; the answer is the window brush.
void* hostedControlColours(platform::Dc* dc);
// The buttons of the button's command on all bars, the button itself left out.
std::vector<CUxToolbarButton*> otherButtonsOfCommand(const CUxToolbarButton& button);
// A button dragged out of the customise dialog takes the state of another of its command.
void copyFromSameCommand(CUxToolbarButton& button);
// The colour of the label a hosted control's button writes below it.
platform::COLORREF hostedLabelColour(bool disabled, bool highlight);
// Tab and Escape, which a hosted control handles before the window's shortcuts see them.
bool isTabOrEscape(const QEvent* event);
