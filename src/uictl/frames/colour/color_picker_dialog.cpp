#include "uictl/frames/colour/color_picker_dialog.h"

#include "platform/windows/color_dialog.h"
#include "platform/windows/modal_dialog.h"
#include "uictl/bars/drawing/draw_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/frames/colour/system_palette.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QVBoxLayout>
#include <algorithm>

using namespace platform;

namespace {

template <class Widget>
Widget* named(Widget* widget, int id) {
  widget->setObjectName(QStringLiteral("id%1").arg(id));
  return widget;
}

ColorPickerCtrl* picker(QWidget* parent, int id, int type, QSize minimum) {
  auto* control = named(new ColorPickerCtrl(parent), id);
  control->SetType(type);
  control->setMinimumSize(minimum);
  return control;
}

// An HLS value as a field shows it, 0..255.
int fieldOf(double value) { return std::min(255, static_cast<int>(value * 255 + 0.5)); }
double valueOf(int field) { return std::min(1.0, (field + 0.5) / 255); }

}  // namespace

CColorPage1::CColorPage1(ColorPickerDialog* dialog) : Dialog(dialog) {
  Honeycomb = picker(this, 16974, ColorPickerCtrl::TypeColorHexagons, {220, 200});
  Greys = picker(this, 16972, ColorPickerCtrl::TypeGreyHexagons, {220, 44});
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Honeycomb, 1);
  layout->addWidget(Greys);
  for (ColorPickerCtrl* control : {Honeycomb, Greys})
    connect(control, &ColorPickerCtrl::notified, this, [this, control](int code) { picked(control, code); });
}

void CColorPage1::SetRGB(int red, int green, int blue) {
  Honeycomb->SetRGB(red, green, blue);
  Greys->SetRGB(red, green, blue);
}

void CColorPage1::picked(ColorPickerCtrl* source, int code) {
  if (code == ColorPickerCtrl::NotifyDoubleClick) {
    Dialog->accept();
    return;
  }
  const COLORREF color = source->GetColor();
  Dialog->SetNewColor(color);
  Dialog->SetPageTwoColor(redOf(color), greenOf(color), blueOf(color));
  (source == Honeycomb ? Greys : Honeycomb)->SetRGB(redOf(color), greenOf(color), blueOf(color));
}

CColorPage2::CColorPage2(ColorPickerDialog* dialog) : Dialog(dialog) {
  Plane = picker(this, 16662, ColorPickerCtrl::TypePlane, {180, 160});
  Bar = picker(this, 16973, ColorPickerCtrl::TypeLightnessBar, {30, 160});
  auto* fields = new QGridLayout;
  const struct {
    QSpinBox** field;
    int id;
    const char* label;
  } rows[] = {{&Hue, 16969, "色合い(&E):"}, {&Saturation, 16968, "鮮やかさ(&S):"}, {&Lightness, 16967, "明るさ(&L):"},
              {&Red, 16964, "赤(&R):"},     {&Green, 16965, "緑(&G):"},        {&Blue, 16966, "青(&U):"}};
  int row = 0;
  for (const auto& r : rows) {
    *r.field = named(new QSpinBox(this), r.id);
    (*r.field)->setRange(0, 255);
    auto* label = new QLabel(QString::fromUtf8(r.label), this);
    label->setBuddy(*r.field);
    fields->addWidget(label, row % 3, row / 3 * 2);
    fields->addWidget(*r.field, row % 3, row / 3 * 2 + 1);
    ++row;
  }
  auto* pickers = new QHBoxLayout;
  pickers->addWidget(Plane, 1);
  pickers->addWidget(Bar);
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(pickers, 1);
  layout->addLayout(fields);
  Bar->resize(30, 160);
  Bar->SetBarWidth(14);
  double h, l, s;
  Plane->GetHLS(&h, &l, &s);
  Bar->SetHLS(h, l, s, false);

  for (QSpinBox* field : {Red, Green, Blue})
    connect(field, &QSpinBox::valueChanged, this, [this] { rgbEdited(); });
  for (QSpinBox* field : {Hue, Lightness, Saturation})
    connect(field, &QSpinBox::valueChanged, this, [this] { hlsEdited(); });
  connect(Plane, &ColorPickerCtrl::notified, this, [this](int code) {
    if (code == ColorPickerCtrl::NotifyDoubleClick)
      Dialog->accept();
    else
      pickerChanged(Plane);
  });
  connect(Bar, &ColorPickerCtrl::notified, this, [this](int code) {
    if (code == ColorPickerCtrl::NotifyChanged) pickerChanged(Bar);
  });
}

void CColorPage2::writeFields(COLORREF color, double hue, double lightness, double saturation) {
  const bool was = Updating;
  Updating = true;
  writeRgbFields(color);
  Hue->setValue(fieldOf(hue));
  Lightness->setValue(fieldOf(lightness));
  Saturation->setValue(fieldOf(saturation));
  Updating = was;
}

void CColorPage2::writeRgbFields(COLORREF color) {
  const bool was = Updating;
  Updating = true;
  Red->setValue(redOf(color));
  Green->setValue(greenOf(color));
  Blue->setValue(blueOf(color));
  Updating = was;
}

void CColorPage2::SetRGB(int red, int green, int blue) {
  double h, l, s;
  DrawManager::RGBToHLS(rgb(red, green, blue), &h, &s, &l);
  Plane->SetHLS(h, l, s, true);
  Bar->SetHLS(h, l, s, true);
  writeFields(rgb(red, green, blue), h, l, s);
}

void CColorPage2::showHLS(double hue, double lightness, double saturation) {
  const COLORREF color = DrawManager::HLSToRGB(hue, lightness, saturation);
  Plane->SetHLS(hue, lightness, saturation, true);
  Bar->SetHLS(hue, lightness, saturation, true);
  Dialog->SetNewColor(color);
  Dialog->SetPageOneColor(redOf(color), greenOf(color), blueOf(color));
}

void CColorPage2::rgbEdited() {
  if (Updating) return;
  Updating = true;
  const COLORREF color = rgb(Red->value(), Green->value(), Blue->value());
  double h, l, s;
  DrawManager::RGBToHLS(color, &h, &s, &l);
  writeFields(color, h, l, s);
  Plane->SetHLS(h, l, s, true);
  Bar->SetHLS(h, l, s, true);
  Dialog->SetNewColor(color);
  Dialog->SetPageOneColor(redOf(color), greenOf(color), blueOf(color));
  Updating = false;
}

void CColorPage2::hlsEdited() {
  if (Updating) return;
  Updating = true;
  const double h = valueOf(Hue->value()), l = valueOf(Lightness->value()), s = valueOf(Saturation->value());
  // The HLS fields keep what was typed: written back from the values, each would grow by one.
  writeRgbFields(DrawManager::HLSToRGB(h, l, s));
  showHLS(h, l, s);
  Updating = false;
}

void CColorPage2::pickerChanged(ColorPickerCtrl* source) {
  Updating = true;
  double h, l, s;
  if (source == Bar) {
    Bar->GetHLS(nullptr, &l, nullptr);
    Plane->SetHLS(-1, l, -1, true);
  } else {
    Plane->GetHLS(&h, nullptr, &s);
    Bar->SetHLS(h, -1, s, true);
  }
  Plane->GetHLS(&h, &l, &s);
  const COLORREF color = DrawManager::HLSToRGB(h, l, s);
  writeFields(color, h, l, s);
  Dialog->SetNewColor(color);
  Dialog->SetPageOneColor(redOf(color), greenOf(color), blueOf(color));
  Updating = false;
}

ColorPickerDialog::ColorPickerDialog(COLORREF color, QWidget* parent)
    : QDialog(parent), InitialColor(color), NewColor(color) {
  setObjectName(QStringLiteral("id16961"));
  setWindowTitle(QStringLiteral("色の設定"));
  Preview = picker(this, 16662, ColorPickerCtrl::TypePreview, {60, 60});
  Preview->SetInitialColor(InitialColor);
  Preview->SetColor(NewColor);
  Sheet = named(new QTabWidget(this), 16970);
  Page1 = named(new CColorPage1(this), 16962);
  Page2 = named(new CColorPage2(this), 16963);
  Sheet->addTab(Page1, QStringLiteral("標準(&T)"));
  Sheet->addTab(Page2, QStringLiteral("ユーザー設定(&C)"));
  auto* buttons = new QDialogButtonBox(this);
  named(buttons->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole), 1)->setDefault(true);
  named(buttons->addButton(QStringLiteral("キャンセル"), QDialogButtonBox::RejectRole), 2);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  auto* side = new QVBoxLayout;
  side->addWidget(new QLabel(QStringLiteral("新しい色 / 現在の色"), this));
  side->addWidget(Preview);
  side->addStretch(1);
  side->addWidget(buttons);
  buttons->setOrientation(Qt::Vertical);
  auto* layout = new QHBoxLayout(this);
  layout->addWidget(Sheet, 1);
  layout->addLayout(side);
  SetPageOneColor(redOf(color), greenOf(color), blueOf(color));
  SetPageTwoColor(redOf(color), greenOf(color), blueOf(color));
}

int ColorPickerDialog::DoModal() {
  if (globalData().nBitsPerPixel < 8) {
    const std::optional<COLORREF> answer = chooseColor(parentWidget(), InitialColor);
    if (!answer) return QDialog::Rejected;
    NewColor = *answer;
    return QDialog::Accepted;
  }
  return execDialog(*this);
}

void ColorPickerDialog::SetNewColor(COLORREF color) {
  NewColor = color;
  Preview->SetColor(displayedColor(color));
  Preview->repaint();
}

void ColorPickerDialog::SetPageOneColor(int red, int green, int blue) { Page1->SetRGB(red, green, blue); }
void ColorPickerDialog::SetPageTwoColor(int red, int green, int blue) { Page2->SetRGB(red, green, blue); }

bool chooseOtherColor(QWidget* owner, COLORREF initial, bool useSystemDialog, COLORREF& chosen) {
  if (useSystemDialog) {
    const std::optional<COLORREF> answer = chooseColor(owner, initial);
    if (!answer) return false;
    chosen = *answer;
    return true;
  }
  ColorPickerDialog dialog(initial, owner);
  if (dialog.DoModal() != QDialog::Accepted) return false;
  chosen = dialog.GetColor();
  return true;
}
