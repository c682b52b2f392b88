// The library's push, check and radio button. It draws itself in overridable steps (face,
// border, image, text, focus) into a back buffer through the drawing layer, tracks the mouse
// itself for hot and pushed looks, repeats clicks while held, checks itself and its radio group,
// and carries its own tooltip. A click reaches the owner as clicked(), sent at once.
#pragma once

#include "platform/drawing/gdi_dc.h"
#include "platform/settings/runtime_class.h"
#include "uictl/frames/window_styles.h"

#include <QAbstractButton>
#include <QCursor>
#include <QImage>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class ButtonToolTip;

class CUxButton : public QAbstractButton, public platform::CObject {
  Q_OBJECT
  // The BS_* type and alignment of a button placed from a form (its "subclassing").
  Q_PROPERTY(uint buttonStyle READ buttonStyle WRITE setButtonStyle)
  KELVARA_DECLARE_RUNTIME_CLASS(CUxButton)

 public:
  enum BorderStyle : int { BorderStandard = 0, BorderFlat = 1, BorderSemiFlat = 2, BorderNone = 3 };
  enum TextAlign : int { TextLeft = 0, TextRight = 1, TextCentre = 2 };
  // The six image lists: unchecked normal, hot, disabled, then the same for checked.
  enum ImageList : int { ImagesNormal, ImagesHot, ImagesDisabled, ImagesCheckedNormal, ImagesCheckedHot,
                         ImagesCheckedDisabled, ImageListCount };

  explicit CUxButton(QWidget* parent = nullptr);
  ~CUxButton() override;

  // A child control with window and button style bits; its objectName becomes "id<id>".
  bool Create(const wchar_t* text, unsigned style, const platform::Rect& rect, QWidget* parent, unsigned id);
  unsigned buttonStyle() const { return m_nButtonStyle; }
  void setButtonStyle(unsigned style);

  // Null deactivates the tooltip without destroying it.
  void SetTooltip(const wchar_t* text);
  void SetStdImage(int glyph, int disabledGlyph = -1);
  static platform::Size GetStdImageSize();
  void SetAutoRepeat(int periodMs) { m_nAutoRepeatPeriod = periodMs; }
  void SetHandCursor();
  void SetAutoTooltip(bool on = true);
  // The stored font (empty: the stock GUI font).
  void SetFont(const platform::Font& font, bool redraw = true);
  const platform::Font& GetFont() const { return m_font; }
  // 1 checked, 0 not; plain push buttons are never checked.
  int GetCheck() const;
  void SetCheck(int check);
  // Ends pushing and tracking, as when the system takes the mouse away.
  void OnCancelMode();
  // The tooltip, once made; null before the first SetTooltip.
  const ButtonToolTip* toolTipControl() const { return m_pToolTip.get(); }

  virtual void CleanUp();
  virtual platform::Size SizeToContent(bool calculateOnly = false);
  virtual void OnFillBackground(platform::Dc* dc, const platform::Rect& rect);
  // Shrinks `rect` to the content area.
  virtual void OnDrawBorder(platform::Dc* dc, platform::Rect& rect, unsigned state);
  virtual void OnDrawFocusRect(platform::Dc* dc, const platform::Rect& rect);
  virtual void OnDraw(platform::Dc* dc, const platform::Rect& rect, unsigned state);
  virtual void OnDrawText(platform::Dc* dc, const platform::Rect& rect, const std::wstring& text, unsigned flags,
                          unsigned state);
  virtual void CreateDisabledImage(const QImage& bitmap, bool checked);
  // Returns the font selected before.
  virtual platform::Font SelectFont(platform::Dc* dc);

  // Every step in order over the whole client area, with the item state of the moment.
  void DrawItem(platform::Dc* dc);
  unsigned itemState() const;

  QSize sizeHint() const override;

  int m_nBorderStyle = BorderStandard;
  int m_nTextAlign = TextCentre;
  bool m_bImageOnRight = false;
  bool m_bTransparent = false;
  bool m_bDrawFocusRect = true;
  bool m_bHighlightChecked = true;
  bool m_bGrayDisabled = true;
  bool m_bPushed = false;
  bool m_bPressedInside = false;
  bool m_bHot = false;
  bool m_bCaptured = false;
  bool m_bMouseInside = false;
  bool m_bChecked = false;
  bool m_bCheckBox = false;
  bool m_bRadio = false;
  bool m_bAutoCheck = false;
  platform::Size m_sizeImage;
  std::array<std::vector<QImage>, ImageListCount> m_imageLists;
  bool m_bAutoTooltip = false;
  bool m_bTooltipRecheck = false;
  int m_nStdGlyph = -1;
  int m_nStdGlyphDisabled = -1;
  std::optional<QCursor> m_cursor;
  platform::Size m_sizePressedOffset{2, 2};
  platform::COLORREF m_clrText = platform::kNoColor;
  platform::COLORREF m_clrHotText = platform::kNoColor;
  platform::COLORREF m_clrFace = platform::kNoColor;
  platform::Font m_font;
  int m_nAutoRepeatPeriod = 0;

  // Borders through the visual manager; off unless an application turns it on.
  static bool bBordersByVisualManager;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void timerEvent(QTimerEvent* event) override;
  bool event(QEvent* event) override;

  // Repaints at once, as the user must see a press before anything it starts.
  void redrawNow();
  // Lets go of the mouse if the button holds it.
  void dropCapture();

 private:
  void readButtonStyle(unsigned style);
  // The tracking the plain button does under the owner's handling: pressed state, capture and
  // the click on a release inside.
  void trackDefaultMove(const QPoint& pos);
  // The pointer went off the button; true when that changed what it shows or holds.
  bool moveOutside(bool leftDown, bool anyDown);
  void stopRepeat();
  // Moves the check through the radio group with the arrow keys; false when it is not such a key.
  bool moveInRadioGroup(int key);
  void drawImage(platform::Dc* dc, unsigned state, const platform::Rect& imageRect);

  unsigned m_nButtonStyle = BsPushButton;
  std::unique_ptr<ButtonToolTip> m_pToolTip;
  int m_repeatTimer = 0;
  // The plain button's own state: pressed by the mouse or Space, and shown pressed.
  bool m_bDefaultPressed = false;
  bool m_bDefaultDown = false;
  bool m_bSpaceDown = false;

};
