// The library's look: every bar, button and menu asks the current visual manager to draw its
// background, borders, grippers, separators and highlights. The base class draws the classic
// three-dimensional look from the global drawing data; another look derives and overrides.
#pragma once

#include "platform/drawing/gdi_dc.h"
#include "platform/settings/runtime_class.h"
#include "uictl/bars/drawing/visual_manager_surfaces.h"

#include <vector>

class CUxButton;
class CUxCaptionBar;
class CUxColorButton;
class CUxOutlookBar;
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
  // The outlook bar fills itself, a caption bar takes its own colour, other bars (no surface)
  // the face colour, over the clip rect or the client rect when the clip is empty.
  virtual void OnFillBarBackground(Dc* dc, UxBarSurface* bar, const Rect& client, const Rect& clip,
                                   bool nonClient = false);
  // The classic control-bar border by the bar's style bits; `rect` shrinks inside it.
  virtual void OnDrawBarBorder(Dc* dc, unsigned barStyle, bool hasDockContext, Rect& rect);
  virtual void OnDrawMenuBorder(Dc* dc, const Rect& rect);
  virtual void OnDrawBarGripper(Dc* dc, Rect rect, bool horizontal);
  virtual void OnDrawSeparator(Dc* dc, const Rect& rect, bool horizontal);
  virtual void OnDrawCaptionButton(Dc* dc, const CaptionButton& button, bool active, bool horizontal, bool maximized);
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
  virtual COLORREF GetCaptionBarTextColor(CUxCaptionBar* bar);
  // False: the page button fills its own face and draws its own border.
  virtual bool OnFillOutlookPageButton(Dc* dc, CUxButton* button, const Rect& rect, COLORREF& textColor);
  virtual bool OnDrawOutlookPageButtonBorder(Dc* dc, CUxButton* button, const Rect& rect, int state);
  virtual void OnFillOutlookBarArea(Dc* dc, const Rect& rect, CUxOutlookBar* bar);
  virtual void OnDrawOwnerButtonBorder(Dc* dc, Rect& rect, UxOwnerDrawnBorder* button, unsigned state);
  virtual void OnFillOutlookBarCaption(Dc* dc, const Rect& rect);
  virtual void OnFillOutlookPageCaption(Dc* dc, const Rect& rect, COLORREF& textColor);
  virtual void OnEraseTabsArea(Dc* dc, const Rect& rect, const UxTabWindowLook* tabs);
  virtual void OnDrawTab(Dc* dc, const Rect& rect, int tab, bool active, const UxTabWindowLook* tabs);
  virtual void OnDrawTabContent(Dc* dc, Rect rect, int tab, bool active, const UxTabWindowLook* tabs);
  virtual void OnFillTabStripButton(Dc* dc, const Rect& rect, CUxButton* button, const UxTabWindowLook* tabs);
  virtual void OnDrawCustomButtonBorder(Dc* dc, Rect& rect, bool pushed, bool highlighted, unsigned flags);
  virtual void GetTabFrameColors(const UxTabWindowLook* tabs, UxTabFrameColors& colors);
  // True when the manager filled the frame; false leaves it to the tab window.
  virtual bool OnEraseTabsFrame(Dc* dc, const Rect& rect, const UxTabWindowLook* tabs);
  virtual bool IsTabOptionAllowed() const { return false; }
  virtual COLORREF OnFillCommandsListBackground(Dc* dc, Rect rect, bool selected);
  virtual platform::Size GetButtonExtraSize() const { return {0, 0}; }
  virtual void OnFillSpinButtonBackground(bool classicColours, Dc* dc, const Rect& rect);
  virtual void OnDrawScrollButtonFrame(bool classicColours, Dc* dc, Rect& rect, bool pressed);
  virtual void OnDrawScrollArrow(bool classicColours, Dc* dc, const Rect& rect, bool up);
  virtual void OnFillListBackground(Dc* dc, const Rect& rect);
  virtual void OnDrawTaskGroupCaption(Dc* dc, const UxTaskGroupLook& group, bool hot, bool showGlyph);
  virtual void OnDrawTaskGroupArea(Dc* dc, const Rect& rect, const UxTaskGroupLook& group) { (void)dc; (void)rect; (void)group; }
  virtual void OnDrawTaskGroupIcon(Dc* dc, const Rect& rect, const UxTaskGroupLook& group) { (void)dc; (void)rect; (void)group; }
  virtual void OnDrawTaskGroupFrame(Dc* dc, int left, int top, int right, int bottom, bool highlighted, bool open);
  // `images` is the pane's image list (null: none).
  virtual void OnDrawTask(Dc* dc, const UxTaskLook& task, const std::vector<QImage>* images, bool hot);
  virtual void OnDrawScrollButton(Dc* dc, const Rect& rect, int topGap, int glyph, bool highlighted);
  virtual void OnDrawExpandingBox(Dc* dc, const Rect& rect, bool expanded, COLORREF frame);
  virtual int GetShowAllMenuItemsHeight(Dc* dc, platform::Size size);
  virtual void OnDrawShowAllMenuItems(Dc* dc, const Rect& rect);
  virtual void OnDrawControlBorder(Dc* windowDc);
  // False: the owner-drawn and colour buttons draw these parts themselves.
  virtual bool OnDrawPushButtonBorder(Dc* dc, const Rect& rect, CUxButton* button, unsigned state);
  virtual bool OnDrawColorButtonArrow(Dc* dc, const Rect& rect, CUxColorButton* button, bool disabled, bool pushed,
                                      bool highlighted);
  virtual bool OnDrawColorButtonBorder(Dc* dc, const Rect& rect, CUxColorButton* button, bool disabled);
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
