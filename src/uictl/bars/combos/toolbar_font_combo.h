// Combo buttons of fonts. The font-name button lists the installed fonts, one item per face,
// each with its description; the descriptions are enumerated once and shared by every font
// button alive, and freed with the last one. The font-size button only hosts the same control.
#pragma once

#include "platform/drawing/font_source.h"
#include "uictl/bars/combos/toolbar_combo_box.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One listed font: its face, the script it was reported for, character set, pitch and family,
// and font type bits.
class FontDescription : public platform::CObject {
 public:
  FontDescription(std::wstring name, std::wstring script, uint8_t charSet, uint8_t pitchAndFamily, int type)
      : strName(std::move(name)), strScript(std::move(script)), nCharSet(charSet), nPitchAndFamily(pitchAndFamily),
        nType(type) {}
  FontDescription(const FontDescription&) = default;
  ~FontDescription() override = default;

  // The face, followed by the script in brackets when there is one.
  std::wstring GetFullName() const { return strScript.empty() ? strName : strName + L" (" + strScript + L")"; }

  // The name of the face's family that equals this one in any letter case, as the family spells it
  // (its own or another of its family's); empty when it goes by no such name.
  std::wstring FamilyNameLike(const std::wstring& name) const;

  std::wstring strName;
  std::wstring strScript;
  uint8_t nCharSet = 0;
  uint8_t nPitchAndFamily = 0;
  int nType = 0;
  std::vector<std::wstring> familyNames;  // the family's other names too, as the font source gives them
};

class CUxToolbarFontCombo : public CUxToolbarComboBoxButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarFontCombo)

 public:
  CUxToolbarFontCombo();
  CUxToolbarFontCombo(unsigned commandId, int image, int fontTypes = kAllFontTypes, uint8_t charSet = 1,
                      unsigned comboStyle = kDropDown, int width = 0, uint8_t pitchAndFamily = 0);
  ~CUxToolbarFontCombo() override;

  void Serialize(platform::Archive& ar) override;
  void CopyFrom(const CUxToolbarButton& source) override;
  QComboBox* CreateComboWindow(QWidget* parent, const platform::Rect& rect) override;
  // Puts one enumerated font into the shared list unless a filter or an earlier face refuses it.
  virtual bool AddFont(const platform::FontFace& face);

  // The shared list, sorted by display name.
  static const std::vector<std::unique_ptr<FontDescription>>& fontList();
  static int liveCount();

  static constexpr int kAllFontTypes = platform::RasterFontType | platform::DeviceFontType | platform::TrueTypeFontType;
  static constexpr unsigned kOwnerDrawFixedHasStrings = 0x210;

  int m_nFontTypes = kAllFontTypes;
  uint8_t m_nCharSetFilter = 1;
  uint8_t m_nPitchFilter = 0;

 private:
  void rebuildFontList();
  void fillItems();
};

class CUxToolbarFontSizeCombo : public CUxToolbarComboBoxButton {
  KELVARA_DECLARE_RUNTIME_CLASS(CUxToolbarFontSizeCombo)

 public:
  CUxToolbarFontSizeCombo() = default;
  CUxToolbarFontSizeCombo(unsigned commandId, int image, unsigned comboStyle = kDropDown, int width = 0)
      : CUxToolbarComboBoxButton(commandId, image, comboStyle, width) {}

  QComboBox* CreateComboWindow(QWidget* parent, const platform::Rect& rect) override;

  int m_nTwipsLast = 0;
  int m_nLogVert = 0;
};
