// A toolbar or menu button for a colour command: its image with a stripe of the current colour,
// dropping down a colour popup. A colour chosen is shared with every button and stand-alone
// colour bar of the same command, remembered per command, and the command is sent.
#pragma once

#include "uictl/bars/buttons/toolbar_menu_button.h"
#include "uictl/frames/colour/color_bar.h"

class CUxColorMenuButton : public CUxToolbarMenuButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxColorMenuButton)

 public:
  CUxColorMenuButton();
  ~CUxColorMenuButton() override;

  void Serialize(platform::Archive& ar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  void OnDraw(platform::Dc* dc, const platform::Rect& rect, ToolbarImages* images, bool horizontal = true,
              bool customizeMode = false, bool highlight = false, bool drawBorder = true,
              bool grayDisabledButtons = true) override;
  void OnChangeParentWnd(QWidget* parent) override;
  int OnDrawOnCustomizeList(platform::Dc* dc, const platform::Rect& rect, bool selected) override;
  CUxPopupMenu* CreatePopupMenu() override;
  bool IsEmptyMenuAllowed() const override { return true; }

  // With `notify`, every other button and stand-alone bar of the command follows.
  virtual void SetColor(COLORREF color, bool notify = true);
  COLORREF GetColor() const { return Color; }
  virtual bool OpenColorDialog(COLORREF initial, COLORREF& chosen);

  COLORREF Color = platform::kNoColor;
  COLORREF AutomaticColor = 0;
  std::vector<COLORREF> Colors;
  int Columns = -1;
  int ColumnsWhenDockedVert = -1;
  int RowsWhenDockedHorz = -1;
  bool ShowAutomatic = false;
  bool ShowOther = false;
  bool ShowDocumentColors = false;
  std::wstring AutomaticLabel, OtherLabel, DocumentColorsLabel;
  bool UseSystemColorDialog = false;
};

// The last colour chosen for each colour command.
std::map<unsigned, COLORREF>& colorMenuButtonMap();
// Every colour menu button of the command on any toolbar.
std::vector<CUxColorMenuButton*> colorMenuButtonsOf(unsigned command);
