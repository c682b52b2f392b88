#include "uictl/bars/combos/toolbar_font_combo.h"

#include "uictl/bars/combos/font_combo_box.h"

#include <QString>
#include <algorithm>
#include <map>
#include <unordered_set>

using namespace platform;

KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarFontCombo, CUxToolbarComboBoxButton, 1, createInstance<CUxToolbarFontCombo>)
KELVARA_IMPLEMENT_RUNTIME_CLASS(CUxToolbarFontSizeCombo, CUxToolbarComboBoxButton, 1,
                                createInstance<CUxToolbarFontSizeCombo>)

namespace {

struct SharedFonts {
  std::vector<std::unique_ptr<FontDescription>> list;
  std::unordered_set<std::wstring> faces;
  int live = 0;
};

SharedFonts& shared() {
  static SharedFonts fonts;
  return fonts;
}

QComboBox* createFontControl(QWidget* parent, const Rect& rect, unsigned style, unsigned id) {
  auto* box = new FontComboBox(parent);
  box->setEditable((style & CUxToolbarComboBoxButton::kDropDownList) != CUxToolbarComboBoxButton::kDropDownList);
  box->setInsertPolicy(QComboBox::NoInsert);
  box->SetOwnerDraw(style & 0x10);
  box->setObjectName(QStringLiteral("id%1").arg(id));
  box->setGeometry(QRect(rect.left, rect.top, rect.width(), rect.height()));
  return box;
}

}  // namespace

const std::vector<std::unique_ptr<FontDescription>>& CUxToolbarFontCombo::fontList() { return shared().list; }
int CUxToolbarFontCombo::liveCount() { return shared().live; }

CUxToolbarFontCombo::CUxToolbarFontCombo() { ++shared().live; }

CUxToolbarFontCombo::CUxToolbarFontCombo(unsigned commandId, int image, int fontTypes, uint8_t charSet,
                                         unsigned comboStyle, int width, uint8_t pitchAndFamily)
    : CUxToolbarComboBoxButton(commandId, image, comboStyle, width), m_nFontTypes(fontTypes),
      m_nCharSetFilter(charSet), m_nPitchFilter(pitchAndFamily) {
  if (shared().live++ == 0) rebuildFontList();
  fillItems();
}

CUxToolbarFontCombo::~CUxToolbarFontCombo() {
  // The control may still point at descriptions: it goes first.
  destroyCombo();
  if (--shared().live == 0) {
    shared().list.clear();
    shared().faces.clear();
  }
}

void CUxToolbarFontCombo::rebuildFontList() {
  shared().list.clear();
  shared().faces.clear();
  // Printers use the fonts the screen has: one pass lists them all.
  fontSource().enumerate(m_nCharSetFilter, [this](const FontFace& face) { AddFont(face); });
}

std::wstring FontDescription::FamilyNameLike(const std::wstring& name) const {
  const QString wanted = QString::fromStdWString(name);
  const auto same = [&wanted](const std::wstring& own) {
    return QString::fromStdWString(own).compare(wanted, Qt::CaseInsensitive) == 0;
  };
  if (same(strName)) return strName;
  const auto other = std::find_if(familyNames.begin(), familyNames.end(), same);
  return other != familyNames.end() ? *other : std::wstring();
}

bool CUxToolbarFontCombo::AddFont(const FontFace& face) {
  if (face.charSet == kMacCharset) return false;
  if (m_nPitchFilter != 0 && !(face.pitchAndFamily & m_nPitchFilter)) return false;
  SharedFonts& fonts = shared();
  if (fonts.faces.count(face.faceName)) return false;
  if (fontSource().doubleByteEnabled() && !face.faceName.empty() && face.faceName.front() == L'@') return false;
  auto description = std::make_unique<FontDescription>(face.faceName, face.script, static_cast<uint8_t>(face.charSet),
                                                       static_cast<uint8_t>(face.pitchAndFamily), face.fontType);
  description->familyNames = face.familyNames;
  const std::wstring key = description->GetFullName();
  auto at = std::lower_bound(fonts.list.begin(), fonts.list.end(), key,
                             [](const std::unique_ptr<FontDescription>& d, const std::wstring& k) { return d->GetFullName() < k; });
  fonts.faces.insert(face.faceName);
  fonts.list.insert(at, std::move(description));
  return true;
}

void CUxToolbarFontCombo::fillItems() {
  std::map<std::wstring, int> perFace;
  for (const auto& description : shared().list) ++perFace[description->strName];
  for (const auto& description : shared().list) {
    if (!(description->nType & m_nFontTypes)) continue;
    const bool shared = perFace[description->strName] > 1;
    AddItem(shared ? description->GetFullName() : description->strName, reinterpret_cast<uintptr_t>(description.get()));
  }
}

QComboBox* CUxToolbarFontCombo::CreateComboWindow(QWidget* parent, const Rect& rect) {
  return createFontControl(parent, rect, m_dwComboStyle | kOwnerDrawFixedHasStrings, m_nCommandId);
}

QComboBox* CUxToolbarFontSizeCombo::CreateComboWindow(QWidget* parent, const Rect& rect) {
  return createFontControl(parent, rect, m_dwComboStyle, m_nCommandId);
}

void CUxToolbarFontCombo::CopyFrom(const CUxToolbarButton& source) {
  CUxToolbarComboBoxButton::CopyFrom(source);
  const auto* other = dynamic_cast<const CUxToolbarFontCombo*>(&source);
  if (!other) return;
  m_nFontTypes = other->m_nFontTypes;
  m_nCharSetFilter = other->m_nCharSetFilter;
  m_nPitchFilter = other->m_nPitchFilter;
}

void CUxToolbarFontCombo::Serialize(Archive& ar) {
  // No items: they come from the fonts installed where the archive is read.
  CUxToolbarButton::Serialize(ar);
  serializeFields(ar);
  if (ar.IsStoring()) {
    ar.writeU32(static_cast<uint32_t>(m_nFontTypes));
    ar.writeU8(m_nCharSetFilter);
    return;
  }
  m_nFontTypes = static_cast<int>(ar.readU32());
  m_nCharSetFilter = ar.readU8();
  if (shared().list.empty()) rebuildFontList();
  fillItems();
  SelectItem(m_nSelected, true);
}
