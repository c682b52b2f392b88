#include "uictl/bars/combos/font_combo_box.h"

#include "platform/drawing/kept_shades.h"
#include "platform/drawing/system_metrics.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/buttons/hosted_control.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/combos/toolbar_combo_box.h"
#include "uictl/bars/combos/toolbar_font_combo.h"
#include "uictl/bars/drawing/toolbar_images.h"

#include <QAbstractItemView>
#include <QKeyEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <algorithm>
#include <cwchar>
#include <unordered_set>

using namespace platform;

int FontComboBox::itemHeight = 0;

namespace {

constexpr int kIconSize = 16;
constexpr QRgb kMaskColour = 0xFFFF00FF;

// Paints the box's items through its own drawing.
class FontItemDelegate : public QStyledItemDelegate {
 public:
  explicit FontItemDelegate(FontComboBox* box) : QStyledItemDelegate(box), box_(box) {}

  void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
    QImage image(option.rect.size(), QImage::Format_RGB32);
    Dc dc(image);
    unsigned state = 0;
    if (option.state & QStyle::State_Selected) state |= FontComboBox::OdsSelected;
    if (option.state & QStyle::State_HasFocus) state |= FontComboBox::OdsFocus;
    box_->DrawItem(&dc, index.row(), Rect::fromSize(0, 0, image.width(), image.height()), state);
    painter->drawImage(option.rect.topLeft(), image);
  }
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex&) const override {
    return {option.rect.width(), box_->MeasureItem()};
  }

 private:
  FontComboBox* box_;
};

}  // namespace

FontComboBox::FontComboBox(QWidget* parent) : QComboBox(parent) {
  bToolBarMode = dynamic_cast<CUxToolBar*>(parent) != nullptr;
  SetOwnerDraw(true);
  if (!bToolBarMode) Setup(7, 1, 0);
}

FontComboBox::~FontComboBox() { ClearItems(); }

void FontComboBox::SetOwnerDraw(bool on) {
  m_bOwnerDraw = on;
  if (on) setItemDelegate(new FontItemDelegate(this));
  else setItemDelegate(new QStyledItemDelegate(this));
}

void FontComboBox::ClearItems() {
  if (bToolBarMode) return;
  const QSignalBlocker blocker(this);
  clear();
  m_descriptions.clear();
}

int FontComboBox::CompareItem(const std::wstring& a, const std::wstring& b) { return std::wcscoll(a.c_str(), b.c_str()); }

bool FontComboBox::Setup(int fontTypes, int charSet, int pitchAndFamily) {
  if (bToolBarMode) return false;
  ClearItems();
  struct Entry {
    std::wstring text;
    FontDescription* description;
  };
  std::vector<Entry> entries;
  {
    const CUxToolbarFontCombo fonts(0, -1, fontTypes, static_cast<uint8_t>(charSet), CUxToolbarComboBoxButton::kDropDown,
                                    0, static_cast<uint8_t>(pitchAndFamily));
    // A face the box already lists (in any letter case) is not added again.
    std::unordered_set<std::wstring> listed;
    for (int i = 0; i < fonts.GetCount(); ++i) {
      const auto* source = reinterpret_cast<const FontDescription*>(fonts.GetItemData(i));
      if (!listed.insert(QString::fromStdWString(source->strName).toCaseFolded().toStdWString()).second) continue;
      m_descriptions.push_back(std::make_unique<FontDescription>(*source));
      entries.push_back({source->strName, m_descriptions.back().get()});
    }
  }
  std::stable_sort(entries.begin(), entries.end(),
                   [](const Entry& a, const Entry& b) { return CompareItem(a.text, b.text) < 0; });
  QList<QStandardItem*> items;
  items.reserve(static_cast<qsizetype>(entries.size()));
  for (const Entry& entry : entries) {
    auto* item = new QStandardItem(QString::fromStdWString(entry.text));
    item->setData(QVariant::fromValue<quintptr>(reinterpret_cast<quintptr>(entry.description)), Qt::UserRole);
    items.append(item);
  }
  const QSignalBlocker blocker(this);
  if (auto* list = qobject_cast<QStandardItemModel*>(model()); list && !items.isEmpty())
    list->invisibleRootItem()->appendRows(items);
  setCurrentIndex(-1);
  return true;
}

const FontDescription* FontComboBox::description(int index) const {
  // A box of plain values (the font sizes) carries no descriptions.
  if (!m_bOwnerDraw || index < 0 || index >= count()) return nullptr;
  return reinterpret_cast<const FontDescription*>(itemData(index).value<quintptr>());
}

bool FontComboBox::SelectFont(const std::wstring& faceName, int charSet) {
  // The face listed under that name first; else one whose family goes by it too (the name a skin
  // gives need not be the one of the locale). The face is then listed under the name asked for.
  int found = -1;
  std::wstring foundName;
  for (int i = 0; i < count(); ++i) {
    const FontDescription* font = description(i);
    if (!font || (charSet != 1 && font->nCharSet != charSet)) continue;
    const std::wstring name = font->FamilyNameLike(faceName);
    if (name.empty() || (found >= 0 && name != font->strName)) continue;
    found = i;
    foundName = name;
    if (name == font->strName) break;
  }
  if (found < 0) return false;
  const QSignalBlocker blocker(this);
  if (itemText(found).toStdWString() != foundName) setItemText(found, QString::fromStdWString(foundName));
  setCurrentIndex(found);
  return true;
}

void FontComboBox::ShowDropDown(bool show) {
  if (show) showPopup();
  else hidePopup();
}

bool FontComboBox::GetDroppedState() const { return view() && view()->isVisible(); }

int FontComboBox::MeasureItem() const {
  const int height = itemHeight != 0 ? itemHeight : fontMetrics().height();
  return std::max(kIconSize, height);
}

const QImage& FontComboBox::fontTypeIcons() {
  if (m_bIconsLoaded) return imageListFontTypes;
  m_bIconsLoaded = true;
  const QString path = bitmapResourcePath(kFontTypesBitmap);
  QImage bitmap = path.isEmpty() ? QImage() : QImage(path).convertToFormat(QImage::Format_ARGB32);
  // The magenta key becomes transparent.
  for (int y = 0; y < bitmap.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(bitmap.scanLine(y));
    for (int x = 0; x < bitmap.width(); ++x)
      if ((line[x] | 0xFF000000u) == kMaskColour) line[x] = 0;
  }
  imageListFontTypes = bitmap;
  // Each kind's icon is cut out once: the readable ink made of it is kept under its key.
  for (int image = 0; image < static_cast<int>(fontTypeIcon_.size()); ++image)
    if (bitmap.width() >= (image + 1) * kIconSize)
      fontTypeIcon_[image] = bitmap.copy(image * kIconSize, 0, kIconSize, std::min(kIconSize, bitmap.height()));
  return imageListFontTypes;
}

void FontComboBox::DrawItem(Dc* dc, int index, const Rect& rect, unsigned state) {
  fontTypeIcons();
  const COLORREF textColour = dc->textColor();
  const int mode = dc->bkMode();
  const int under = (state & OdsSelected) ? ColorHighlight : ColorWindow;
  if (state & OdsSelected) {
    dc->fillSolidRect(rect, getSysColor(ColorHighlight));
    dc->setTextColor(getSysColor(ColorHighlightText));
  } else {
    dc->fillSolidRect(rect, getSysColor(ColorWindow));
    dc->setTextColor(getSysColor(ColorWindowText));
  }
  dc->setBkMode(Transparent);
  if (index >= 0) {
    Rect text = rect;
    text.left += 2;
    if (const FontDescription* font = description(index)) {
      const int type = font->nType;
      if (type & (DeviceFontType | TrueTypeFontType)) {
        const int image = (type & TrueTypeFontType) ? 1 : 0;
        // The icons' black and gray ink is drawn for the classic white list.
        if (!fontTypeIcon_[image].isNull())
          dc->drawImage(rect.left, rect.top + (rect.height() - kIconSize) / 2,
                        keptInkStandingOutOnSysColor(fontTypeIcon_[image], under));
      }
      text.left = rect.left + 22;
    }
    dc->drawText(itemText(index).toStdWString(), text, DtSingleLine | DtVCenter);
  }
  // The focus mark goes over the filled item, where it stays visible.
  if (state & OdsFocus) dc->drawFocusRect(rect);
  dc->setBkMode(mode);
  dc->setTextColor(textColour);
}

bool FontComboBox::event(QEvent* event) {
  // Tab and Escape belong to a toolbar's box, not to the window's shortcuts.
  if (bToolBarMode && isTabOrEscape(event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QComboBox::event(event);
}

void FontComboBox::keyPressEvent(QKeyEvent* event) {
  if (!bToolBarMode || CUxToolbarComboBoxButton::g_bFlatCombos) {
    QComboBox::keyPressEvent(event);
    return;
  }
  const bool plain = !(event->modifiers() & (Qt::AltModifier | Qt::ControlModifier));
  switch (event->key()) {
    case Qt::Key_Tab:
      focusNextPrevChild(true);
      return;
    case Qt::Key_Escape:
      if (QWidget* frame = GetTopFrame(this)) frame->setFocus(Qt::OtherFocusReason);
      return;
    case Qt::Key_Up:
    case Qt::Key_Down:
      if (plain && !GetDroppedState()) {
        ShowDropDown(true);
        return;
      }
      break;
    default:
      break;
  }
  QComboBox::keyPressEvent(event);
}
