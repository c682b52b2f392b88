// The library's own colour dialog: a preview of the new colour above the initial one and two pages,
// a honeycomb with a grey row, and a hue and saturation plane with a lightness bar and number fields.
// Displays of fewer than 8 bits per pixel get the system colour chooser instead.
#pragma once

#include "uictl/frames/colour/color_picker.h"

#include <QDialog>

class QSpinBox;
class QTabWidget;
class ColorPickerDialog;

class CColorPage1 : public QWidget {
  Q_OBJECT

 public:
  explicit CColorPage1(ColorPickerDialog* dialog);
  void SetRGB(int red, int green, int blue);

  ColorPickerCtrl* Honeycomb;
  ColorPickerCtrl* Greys;

 private:
  void picked(ColorPickerCtrl* source, int code);
  ColorPickerDialog* Dialog;
};

class CColorPage2 : public QWidget {
  Q_OBJECT

 public:
  explicit CColorPage2(ColorPickerDialog* dialog);
  void SetRGB(int red, int green, int blue);

  ColorPickerCtrl* Plane;
  ColorPickerCtrl* Bar;
  QSpinBox *Red, *Green, *Blue, *Hue, *Lightness, *Saturation;

 private:
  void rgbEdited();
  void hlsEdited();
  void pickerChanged(ColorPickerCtrl* source);
  // The fields, pickers, dialog and first page follow a colour given in HLS.
  void showHLS(double hue, double lightness, double saturation);
  void writeFields(platform::COLORREF color, double hue, double lightness, double saturation);
  void writeRgbFields(platform::COLORREF color);
  ColorPickerDialog* Dialog;
  bool Updating = false;
};

class ColorPickerDialog : public QDialog {
  Q_OBJECT

 public:
  explicit ColorPickerDialog(platform::COLORREF color, QWidget* parent = nullptr);

  // Accepted or rejected; the colour is GetColor() after acceptance.
  int DoModal();
  platform::COLORREF GetColor() const { return NewColor; }
  void SetNewColor(platform::COLORREF color);
  void SetPageOneColor(int red, int green, int blue);
  void SetPageTwoColor(int red, int green, int blue);

  ColorPickerCtrl* Preview;
  QTabWidget* Sheet;
  CColorPage1* Page1;
  CColorPage2* Page2;

 private:
  platform::COLORREF InitialColor;
  platform::COLORREF NewColor;
};

// The other-colour entries' dialog: the system chooser or the library's own; false when cancelled.
bool chooseOtherColor(QWidget* owner, platform::COLORREF initial, bool useSystemDialog, platform::COLORREF& chosen);
