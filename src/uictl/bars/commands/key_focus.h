// The keyboard twin of the mouse capture: a widget inside a popup (which is never activated)
// that holds the library's key focus gets the application's key events until the focus moves
// elsewhere or the widget goes.
#pragma once

class QWidget;

// Null gives the key focus up. Returns the previous holder.
QWidget* setLibraryKeyFocus(QWidget* widget);
QWidget* libraryKeyFocus();
