// The library's look: every bar, button and menu asks the current visual manager to draw its
// background, borders, grippers, separators and highlights. The base class draws the classic
// three-dimensional look from the global drawing data; another look derives and overrides.
#pragma once

#include "platform/gdi_dc.h"
#include "platform/runtime_class.h"

using platform::COLORREF;
using platform::Dc;
using platform::Rect;

class CUxToolbarButton;

// Bar style bits of the framework's control bars that the border drawing reads.
enum BarStyle : unsigned {
  CbrsBorder3d = 0x80, CbrsBorderLeft = 0x100, CbrsBorderTop = 0x200, CbrsBorderRight = 0x400,
  CbrsBorderBottom = 0x800,
};

// Button states the drawing operations take.
enum ButtonState : int { ButtonNormal = 0, ButtonPressed = 1, ButtonHighlighted = 2 };

class CUxVisualManager : public platform::CObject {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxVisualManager)

 public:
  explicit CUxVisualManager(bool temporary = false);
  ~CUxVisualManager() override;

  // The current manager, made (from the recorded class, else plain) when none exists.
  static CUxVisualManager* GetInstance();
  // The class GetInstance creates on demand; null for the plain manager.
  static void SetDefaultManagerClass(const platform::RuntimeClass* record);

  virtual bool IsFlatButtonLook() { return false; }
  virtual void OnUpdateSystemColors() {}
  // Every bar but the outlook and caption bars (which fill themselves) gets the face colour.
  virtual void OnFillBarBackground(Dc* dc, const Rect& client, const Rect& clip);
  // The classic control-bar border by the bar's style bits; `rect` shrinks inside it.
  virtual void OnDrawBarBorder(Dc* dc, unsigned barStyle, bool hasDockContext, Rect& rect);
  virtual void OnDrawMenuBorder(Dc* dc, const Rect& rect);
  virtual void OnDrawBarGripper(Dc* dc, Rect rect, bool horizontal);
  virtual void OnDrawSeparator(Dc* dc, const Rect& rect, bool horizontal);
  virtual void OnDrawMenuSystemButton(Dc* dc, const Rect& rect, unsigned systemCommand, unsigned style, bool highlight);
  virtual void OnDrawMenuButtonFrame(Dc* dc, const Rect& rect, unsigned flags);
  virtual void OnDrawStatusBarProgress(Dc* dc, const Rect& rect, int range, int position, COLORREF bar,
                                       COLORREF end, COLORREF text, bool showText);
  virtual void OnDrawStatusBarSizeBox(Dc* dc, const Rect& rect, bool rightToLeft);
  virtual void OnDrawComboDropButton(Dc* dc, Rect rect, bool disabled, bool pressed, bool highlighted);
  virtual void OnDrawComboBorder(Dc* dc, const Rect& rect, bool dropped, bool highlighted);
  virtual void OnDrawEditBorder(Dc* dc, Rect rect, bool highlighted);
  virtual void OnDrawTearOffCaption(Dc* dc, const Rect& rect, bool active);
  virtual void OnFillButtonInterior(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state);
  virtual void OnDrawButtonBorder(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state);
  virtual void OnDrawMenuButtonBorder(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state, bool popupOpen);
  virtual void OnHighlightMenuItem(Dc* dc, CUxToolbarButton* button, const Rect& rect, int state);
  virtual void OnHighlightRarelyUsedMenuItems(Dc* dc, const Rect& rect);
  virtual COLORREF GetToolbarButtonTextColor(CUxToolbarButton* button, int state);
  virtual void OnDrawCustomButtonBorder(Dc* dc, Rect& rect, bool pushed, bool highlighted, unsigned flags);
  virtual COLORREF OnFillCommandsListBackground(Dc* dc, Rect rect, bool selected);
  virtual platform::Size GetButtonExtraSize() const { return {0, 0}; }
  virtual void OnFillSpinButtonBackground(bool classicColours, Dc* dc, const Rect& rect);
  virtual void OnDrawScrollButtonFrame(bool classicColours, Dc* dc, Rect& rect, bool pressed);
  virtual void OnDrawScrollArrow(bool classicColours, Dc* dc, const Rect& rect, bool up);
  virtual void OnFillListBackground(Dc* dc, const Rect& rect);
  virtual void OnDrawTaskGroupFrame(Dc* dc, int left, int top, int right, int bottom, bool highlighted, bool open);
  virtual void OnDrawScrollButton(Dc* dc, const Rect& rect, int topGap, int glyph, bool highlighted);
  virtual void OnDrawExpandingBox(Dc* dc, const Rect& rect, bool expanded, COLORREF frame);
  virtual int GetShowAllMenuItemsHeight(Dc* dc, platform::Size size);
  virtual void OnDrawShowAllMenuItems(Dc* dc, const Rect& rect);
  virtual void OnDrawControlBorder(Dc* windowDc);
  virtual int GetMenuImageMargin() const { return 2; }
  virtual bool IsHighlightOnTextOnly() const { return true; }
  virtual int GetCustomizeButtonMargin() const { return 2; }
  virtual bool IsMenuItemHighlightFull() const { return true; }
  virtual int GetValue18() const { return nValue18; }
  virtual int GetValue19() const { return nValue19; }
  virtual int GetValue20() const { return nValue20; }

  bool bFlatStyle = false;
  int nMenuShadowDepth = 6;
  bool bFlatMenus = false;
  bool bShadowHighlightedImages = false;
  bool bEmbossDisabledImage = true;
  bool bFadeInactiveImage = false;
  bool bIsTemporary = false;
  int nValue8 = 12;
  int nValue9 = 12;
  int nValue10 = 15;
  int nValue11 = 25;
  int nTaskGroupCaptionMarginX = 13;
  int nTaskGroupCaptionMarginY = 7;
  int nValue14 = 12;
  int nTaskIconTextGap = 5;
  int nValue16 = 4;
  int nValue17 = 1;
  int nValue18 = 0;
  int nValue19 = 2;
  int nValue20 = 1;
  bool bAutoCreated = false;
};
