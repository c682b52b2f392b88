// A header strip along the top of its parent: one line of caption text, optionally an icon or
// image and a text button that sends a command, each placed left, right or centred. Its
// 4-pixel strips above and below are contents margins it paints itself.
#pragma once

#include "platform/drawing/gdi_dc.h"
#include "platform/settings/runtime_class.h"
#include "uictl/bars/toolbar/control_bar.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/bars/drawing/visual_manager_surfaces.h"

#include <QIcon>
#include <string>

class CUxCaptionBar : public CUxControlBar, public platform::CObject, public UxBarSurface {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxCaptionBar)

 public:
  enum Alignment : int { AlignLeft = 1, AlignRight = 2, AlignCentre = 3 };

  explicit CUxCaptionBar(QWidget* parent = nullptr);
  ~CUxCaptionBar() override;

  // `height` -1 takes the height of the contents.
  virtual bool Create(unsigned style, QWidget* parent, unsigned id, int height = -1);
  // Lays the bar out and repaints it, also for a text equal to the one shown.
  void SetText(const std::wstring& text, int alignment);
  const std::wstring& GetText() const { return m_strText; }
  void SetFont(const platform::Font& font);
  const platform::Font& GetFont() const { return m_font; }

  virtual void OnDrawBackground(platform::Dc* dc, const platform::Rect& rect);
  virtual void OnDrawBorder(platform::Dc* dc, platform::Rect rect);
  virtual void OnDrawText(platform::Dc* dc, const platform::Rect& rect, const std::wstring& text);
  virtual void OnDrawImage(platform::Dc* dc, const platform::Rect& rect);
  virtual void OnDrawButton(platform::Dc* dc, platform::Rect rect, const std::wstring& text, bool arrow);
  virtual void RecalcLayout();
  virtual void AdjustLayout();
  platform::Size CalcFixedLayout(bool stretch, bool horizontal) override;

  Kind SurfaceKind() const override { return Kind::CaptionBar; }
  COLORREF BackgroundColor() const override { return m_clrBarBackground; }
  // The client area: the window without the strips above and below.
  platform::Rect ClientRect() const;

  COLORREF m_clrBarText = platform::kNoColor;
  COLORREF m_clrBarBackground = platform::kNoColor;
  COLORREF m_clrBarBorder = platform::kNoColor;
  QIcon m_hIcon;
  ToolbarImages m_Image;
  bool m_bStretchImage = false;
  int m_nImageAlignment = AlignLeft;
  platform::Rect m_rectImage;
  platform::Font m_font;
  std::wstring m_strText;
  int m_nTextAlignment = AlignLeft;
  platform::Rect m_rectText;
  std::wstring m_strBtnText;
  unsigned m_uiBtnID = 0;
  int m_nBtnAlignment = AlignLeft;
  platform::Rect m_rectButton;
  bool m_bIsBtnPressed = false;
  bool m_bIsBtnHighlighted = false;
  bool m_bIsBtnForcePressed = false;
  bool m_bTracked = false;
  bool m_bBtnArrow = true;
  int m_nBorderSize = 4;
  int m_nMargin = 4;
  int m_nHorzElementOffset = 4;
  int m_nDefaultHeight = -1;
  int m_nCurrentHeight = 0;
  bool m_bFlatBorder = false;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool buttonActive() const { return m_uiBtnID != 0 && m_bBtnArrow; }
  platform::Font textFont() const;
  platform::Size imageSize() const;
  void repaintButton();
};
