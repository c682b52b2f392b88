// Placing, activating and drawing on widgets. Dialog controls are found by their objectName
// "id<control id>".
#pragma once

class QPainter;
class QRect;
class QWidget;

// The dialog's control of that id, or null.
QWidget* dialogItem(QWidget* dialog, int id);

// Moves and sizes a dialog's control; false when the dialog has no such control.
bool MoveDlgItem(QWidget* dialog, int id, const QRect& rect);
bool MoveDlgItemTo(QWidget* dialog, int id, int x, int y);

// Brings the window to the front and gives it the keyboard.
void ForceForegroundWindow(QWidget* window);
void ForceActiveWindow(QWidget* dialog);

// Sizes the window (its frame included) and centres it on the primary screen.
void CenterOnDesktop(QWidget* window, int width, int height);

// Draws formatted text (wide printf rules, nothing cut) with its top-left corner at (x, y), in
// the painter's font and pen.
void TextOutf(QPainter& painter, int x, int y, const wchar_t* format, ...);
