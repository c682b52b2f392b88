// A dialog push button showing a colour swatch and an arrow part. A click, Space or Down opens a
// colour popup below it; a colour chosen there becomes the button's and reaches the owner as one
// clicked(). It may offer an automatic entry (-1 stands for it) and an other-colour entry.
#pragma once

#include "uictl/frames/buttons/button.h"
#include "uictl/frames/colour/color_bar.h"

#include <QPointer>

class CUxColorButton : public CUxButton {
  Q_OBJECT
  KELVARA_DECLARE_RUNTIME_CLASS(CUxColorButton)

 public:
  explicit CUxColorButton(QWidget* parent = nullptr);
  ~CUxColorButton() override;

  // Silent: no clicked().
  void SetColor(COLORREF color);
  COLORREF GetColor() const { return CurrentColor; }
  // As SetColor, then clicked() to the owner; the bar calls it for a choice.
  void UpdateColor(COLORREF color);
  void EnableAutomaticButton(const wchar_t* label, COLORREF automaticColor, bool enable = true);
  void EnableOtherButton(const wchar_t* label, bool useOwnColorDialog = true, bool enable = true);
  CColorPopup* GetPopup() const { return Popup; }
  // The bar tells the button its popup is gone.
  void PopupClosed();

  platform::Size SizeToContent(bool calculateOnly = false) override;
  void OnFillBackground(platform::Dc* dc, const platform::Rect& rect) override;
  void OnDrawBorder(platform::Dc* dc, platform::Rect& rect, unsigned state) override;
  void OnDrawFocusRect(platform::Dc* dc, const platform::Rect& rect) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, unsigned state) override;
  virtual void OnShowColorPopup();

  bool EnabledInCustomizeMode = false;
  bool FocusBarOnOpen = true;
  COLORREF CurrentColor = 0;
  COLORREF AutomaticColor = platform::kNoColor;
  std::vector<COLORREF> Colors;
  std::list<COLORREF> DocumentColors;
  int Columns = -1;
  QPointer<CColorPopup> Popup;
  std::wstring OtherLabel, DocumentColorsLabel, AutomaticLabel;
  bool UseOwnColorDialog = true;

 protected:
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  // The width of the arrow part at the right edge.
  static int ArrowWidth();
  // Borders are drawn through the visual manager and it asks for the flat look.
  static bool flatLook();
};
