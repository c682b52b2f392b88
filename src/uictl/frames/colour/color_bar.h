// The colour palette bar: a locked popup-menu bar whose items are colour cells, with an optional
// automatic entry above the palette, document colours and an other-colour entry below it. It
// lives in a colour popup opened by a colour button, or stands alone as a bar of one command.
// A choice goes to whoever opened the bar, and the popup closes.
#pragma once

#include "uictl/bars/menus/popup_menu.h"
#include "uictl/bars/menus/popup_menu_bar.h"
#include "uictl/bars/buttons/toolbar_button.h"

#include <QPointer>
#include <list>
#include <map>
#include <string>
#include <vector>

class CUxColorBar;
class CUxColorButton;
class CUxColorMenuButton;

using platform::COLORREF;

// One cell of the bar; the label of the automatic, other and caption cells is the button text.
class CColorButton : public CUxToolbarButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CColorButton)

 public:
  CColorButton(COLORREF color = 0, bool automatic = false, bool other = false, const wchar_t* label = nullptr,
               bool highlighted = false, bool hideWhenDocked = false, bool customSample = false);
  CColorButton(const wchar_t* captionLabel, bool hideWhenDocked);

  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal, bool customizeMode,
              bool highlight, bool drawBorder, bool grayDisabledButtons) override;
  void OnChangeParentWnd(QWidget* parent) override;
  bool OnToolHitTest(const QWidget* wnd, ToolInfo* info) const override;
  // The tooltip text of a palette cell: its name, else its bytes in hex.
  std::wstring TipText() const;
  bool IsPlain() const { return !IsAutomatic && !IsOther && !IsDocumentCaption; }

  COLORREF Color = 0;
  bool Highlighted = false;
  bool IsAutomatic = false;
  bool IsOther = false;
  bool IsDocumentCaption = false;
  bool HideWhenDocked = false;
  bool IsCustomSample = false;
  CUxColorBar* Bar = nullptr;
};

class CUxColorBar : public CUxPopupMenuBar {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxColorBar)

 public:
  CUxColorBar();
  CUxColorBar(const std::vector<COLORREF>& colors, COLORREF selected, const wchar_t* automaticLabel,
              const wchar_t* otherLabel, const wchar_t* documentLabel, const std::list<COLORREF>& documentColors,
              int columns, int rowsDockedHorz, int columnsDockedVert, COLORREF automaticColor, unsigned commandId,
              CUxColorButton* parentButton);
  // A bar of its own for `commandId` with what `source` offers and shows: columns and rows, colours,
  // labels, the automatic and current colours, document colours and the dialog choice.
  CUxColorBar(const CUxColorBar& source, unsigned commandId);
  ~CUxColorBar() override;

  // The 20 standard colours; returns the count.
  static int InitColors(std::vector<COLORREF>& colors);
  virtual bool CreateColorBar(QWidget* parent, unsigned style, unsigned id, int columns = 0, int rowsDockedHorz = 0,
                              int columnsDockedVert = 0);
  // The bar as a dialog control filling `rect`, its cells square and its palette centred;
  // a choice sends `id` to the parent.
  bool CreateControl(QWidget* parent, const platform::Rect& rect, unsigned id, int columns = -1);
  void SetColor(COLORREF color);
  COLORREF GetColor() const { return SelectedColor; }
  virtual void Rebuild();
  virtual bool OpenColorDialog(COLORREF initial, COLORREF& chosen);

  // The bar's own fields only: none of the toolbar's buttons.
  void Serialize(platform::Archive& ar) override;
  platform::Size CalcSize(bool vertical) override;
  void AdjustLocations() override;
  bool OnSendCommand(const CUxToolbarButton* button) override;
  bool OnKey(unsigned key) override;
  void OnUpdateCmdUI(platform::CommandTarget* target, bool disableIfNoHandler) override;
  void OnLButtonDown(unsigned flags, platform::Point point) override;
  void OnLButtonDblClk(unsigned flags, platform::Point point) override;
  void OnMouseMove(unsigned flags, platform::Point point) override;
  // In a popup the pointer leaving clears the hot cell and puts the idle prompt back.
  void OnMouseLeave() override;
  // A popup closes on a context-menu request; elsewhere the toolbar's menu shows.
  void OnContextMenu(platform::Point screen) override;
  // The status bar tells of the bar's command whichever cell is hot; a bar of no command (a
  // colour button's popup) leaves the idle prompt there.
  void ShowCommandMessageString(unsigned command) override;
  bool IsInPopupOrFloating() const { return InPopup || IsFloating(); }
  CUxColorButton* GetParentButton() const { return ParentButton; }

  int Columns = 0;
  int RowsWhenDockedHorz = 0;
  int ColumnsWhenDockedVert = 0;
  std::vector<COLORREF> Colors;
  int CellWidth = 0, CellHeight = 0, TallRowHeight = 0;
  COLORREF SelectedColor = platform::kNoColor;
  COLORREF AutomaticColor = platform::kNoColor;
  std::wstring AutomaticLabel, OtherLabel, DocumentColorsLabel;
  std::list<COLORREF> DocumentColors;
  unsigned CommandId = 0;
  bool UseSystemColorDialog = false;
  // The command's state as the last update found it: the cells are greyed while it is off.
  bool LastEnabled = true;
  bool IsTearOff = true;
  bool InPopup = false;
  CUxColorButton* ParentButton = nullptr;
  int OffsetX = 0, OffsetY = 0;
  bool EnabledInCustomizeMode = false;
  int MarginY = 4, MarginX = 4;

 protected:
  void closeEnclosingPopup();
  // The window the bar's status prompts go to: its owner, else its parent.
  QWidget* promptTarget() const;
  // The colour menu button whose popup holds the bar; null otherwise.
  CUxColorMenuButton* menuButton() const;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  // With the capture held, a press outside the bar closes its popup; true when it did.
  bool closeOnPressOutside(QPoint widgetPoint);
  void greyCells(bool grey);
  void GetColumnsAndRows(bool vertical, int& columns, int& rows) const;
  int GetExtraHeight(int columns) const;
  // Whether the sample cell after the other entry has a place.
  bool NeedsSample() const;
  // The cell the arrow key moves to from `from` (the current colour's cell when none is highlighted).
  int neighbourOf(int from, unsigned key) const;
  void highlightCell(int index);
  bool m_bDialogOpen = false;
};

// The popup a colour button opens: a popup menu holding a colour bar in place of menu items.
class CColorPopup : public CUxPopupMenu {
  KELVARA_DECLARE_RUNTIME_CLASS(CColorPopup)

 public:
  CColorPopup(CUxColorButton* button, const std::vector<COLORREF>& colors, COLORREF color, const wchar_t* automaticLabel,
              const wchar_t* otherLabel, const wchar_t* documentLabel, const std::list<COLORREF>& documentColors,
              int columns, COLORREF automaticColor);
  // The popup of a colour menu button, standing for its command.
  CColorPopup(const std::vector<COLORREF>& colors, COLORREF color, const wchar_t* automaticLabel,
              const wchar_t* otherLabel, const wchar_t* documentLabel, const std::list<COLORREF>& documentColors,
              int columns, int rowsDockedHorz, int columnsDockedVert, COLORREF automaticColor, unsigned commandId);
  ~CColorPopup() override;

  CUxPopupMenuBar* GetMenuBar() override { return m_colorBar; }
  CUxColorBar* GetColorBar() const { return m_colorBar; }
  bool Create(QWidget* parent, int x, int y, platform::MenuHandle menu, bool locked = false,
              bool ownMessage = false) override;
  // Tears the palette off into a bar of `frame` with control id `id` and the title `name`,
  // dockable on every side and standing for the command of the colour menu button that opened
  // the popup; null for any other popup. The frame owns the bar.
  virtual CUxControlBar* CreateTearOffBar(QWidget* frame, unsigned id, const wchar_t* name);

  bool EnabledInCustomizeMode = false;

 protected:
  void OnDestroy() override;

 private:
  void embed(CUxColorBar* bar);
  CUxColorBar* m_colorBar = nullptr;
};

// A list of colours in an archive: the count, then the colours. Reading throws on a negative count.
void writeColorList(platform::Archive& ar, const std::vector<COLORREF>& colors);
std::vector<COLORREF> readColorList(platform::Archive& ar);

// Names of colours for the cells' tooltips; nothing in the library adds any.
std::map<COLORREF, std::wstring>& colorBarMap();
// The names in an archive: a count, then each colour with its name. Loading replaces the names
// only with a complete record; a damaged one throws ArchiveException and changes nothing.
void serializeColorBarMap(platform::Archive& ar);
