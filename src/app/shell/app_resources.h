// The shell's own resources: icons, bitmaps (green 0x00FF00 is their transparent colour) and the
// string table that gives each command its prompt and tooltip.
#pragma once

#include <QIcon>
#include <QPixmap>
#include <string>

// Registers the resources of this library; safe to call any number of times.
void initAppResources();

// Icon or bitmap by its resource id; a null pixmap when there is none.
QIcon LoadIconResource(int id);
QPixmap LoadBitmapResource(int id);

// The text of a string resource; empty when there is none.
std::wstring LoadStringResource(int id);
// The parts of a command's string: the prompt before "\n", the tooltip after it (the whole text
// when it has no second part).
std::wstring CommandPrompt(int id);
std::wstring CommandTooltip(int id);
