#include "uictl/frames/images/button_appearance_dialog.h"

#include "platform/drawing/gdi_dc.h"
#include "platform/windows/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "uictl/bars/commands/command_manager.h"
#include "uictl/bars/drawing/global_draw_data.h"
#include "uictl/bars/library_globals.h"
#include "uictl/bars/toolbar/toolbar.h"
#include "uictl/bars/buttons/toolbar_button.h"
#include "uictl/bars/drawing/toolbar_images.h"
#include "uictl/frames/images/buttons_list.h"
#include "uictl/frames/images/image_edit_dialog.h"
#include "ui_button_appearance_dialog.h"

#include <QPaintEvent>
#include <QPainter>
#include <exception>

using platform::Dc;
using platform::Rect;
using platform::Size;

namespace {
constexpr unsigned kText = 16500, kImageOnly = 16505, kTextOnly = 16506, kImageAndText = 16507;
constexpr unsigned kUserImages = 16508, kNewImage = 16509, kEditImage = 16510;
constexpr unsigned kUserImage = 16529, kDefaultImage = 16530;
// Redrawn images are drawn over this grey, which stands for their transparent parts meanwhile.
constexpr platform::COLORREF kEditBackground = 0xC0C0C0;
}  // namespace

ButtonAppearanceDlg::ButtonAppearanceDlg(CUxToolbarButton* button, ToolbarImages* userImages, QWidget* parent,
                                         int firstUserImage, bool menuMode)
    : QDialog(parent ? parent->window() : nullptr),
      m_ui(std::make_unique<Ui::ButtonAppearanceForm>()),
      m_pBar(dynamic_cast<CUxToolBar*>(parent)),
      m_pButton(button),
      m_pUserImages(userImages),
      m_nFirstUserImage(firstUserImage),
      m_bMenuMode(menuMode) {
  const UserToolsLookup* tools = userToolsLookup();
  m_bUserTool = tools && tools->HasTool(button->m_nCommandId);
  m_bUserImageChosen = button->m_bUserImage || (!m_bUserTool && !hasStandardImage());
  m_nImage = button->m_bUserImage ? button->m_iUserImage : button->m_iImage;
  m_bImage = button->m_bShowImage && !(menuMode && GetCommandManager().IsMenuItemWithoutImage(button->m_nCommandId));
  m_bText = menuMode || button->m_bTextBelow || button->m_bShowText;
  m_ui->setupUi(this);
  OnInitDialog();
}

ButtonAppearanceDlg::~ButtonAppearanceDlg() {
  // The list lets go of the buttons before they go.
  m_ui->id16508->RemoveButtons();
}

ButtonsList* ButtonAppearanceDlg::userImagesList() const { return m_ui->id16508; }

int ButtonAppearanceDlg::DoModal() { return platform::execDialog(*this) == QDialog::Accepted ? 1 : 0; }

bool ButtonAppearanceDlg::hasStandardImage() const { return standardImage() >= 0; }

int ButtonAppearanceDlg::standardImage() const {
  const auto found = defaultImages().find(m_pButton->m_nCommandId);
  return found != defaultImages().end() && found->second >= 0 ? found->second : -1;
}

void ButtonAppearanceDlg::OnInitDialog() {
  Ui::ButtonAppearanceForm& ui = *m_ui;
  for (QAbstractButton* control : {static_cast<QAbstractButton*>(ui.id16505), static_cast<QAbstractButton*>(ui.id16506),
                                   static_cast<QAbstractButton*>(ui.id16507), static_cast<QAbstractButton*>(ui.id16509),
                                   static_cast<QAbstractButton*>(ui.id16510), static_cast<QAbstractButton*>(ui.id16529),
                                   static_cast<QAbstractButton*>(ui.id16530)}) {
    const unsigned id = control->objectName().mid(2).toUInt();
    connect(control, &QAbstractButton::clicked, this, [this, id] { onCommand(id, 0); });
  }
  connect(ui.id1, &QPushButton::clicked, this, &QDialog::accept);
  connect(ui.id2, &QPushButton::clicked, this, &QDialog::reject);
  ui.id16531->installEventFilter(this);

  if (m_pUserImages) {
    ui.id16508->SetImages(m_pUserImages);
    RebuildImageList();
    ui.id16508->SelectButtonByImage(m_nImage);
  } else {
    ui.id16508->setEnabled(false);
    ui.id16529->setEnabled(false);
    if (m_nImage < 0) {
      ui.id16505->setEnabled(false);
      ui.id16507->setEnabled(false);
    }
  }
  (m_bUserImageChosen && !m_pButton->m_bLocked ? ui.id16529 : ui.id16530)->setChecked(true);

  if (!m_bImage) {
    ui.id16506->setChecked(true);
    m_bText = true;
    ui.id16508->setEnabled(false);
  } else {
    (m_bText ? ui.id16507 : ui.id16505)->setChecked(true);
  }

  const std::wstring& text = m_pButton->m_strText;
  const size_t tab = text.find(L'\t');
  m_strButtonText = text.substr(0, tab);
  if (tab != std::wstring::npos) m_strAccel = text.substr(tab + 1);
  const std::wstring prompt = commandString(m_pButton->m_nCommandId);
  m_strDescription = prompt.substr(0, prompt.find(L'\n'));
  ui.id16500->setText(QString::fromStdWString(m_strButtonText));
  ui.id16603->setText(QString::fromStdWString(m_strDescription));

  if (m_bMenuMode) {
    ui.id16505->setEnabled(false);
    if (m_nImage < 0) {
      ui.id16506->setEnabled(false);
      ui.id16507->setEnabled(false);
    }
  }
  if (m_pButton->m_bTextBelow) ui.id16505->setEnabled(false);
  EnableControls();
}

void ButtonAppearanceDlg::RebuildImageList() {
  ButtonsList* list = m_ui->id16508;
  list->RemoveButtons();
  m_lstTempButtons.clear();
  for (int image = m_nFirstUserImage; image < m_pUserImages->GetCount(); ++image) {
    m_lstTempButtons.push_back(std::make_unique<CUxToolbarButton>(0, image, nullptr, false));
    list->AddButton(m_lstTempButtons.back().get());
  }
  list->update();
}

void ButtonAppearanceDlg::EnableControls() {
  Ui::ButtonAppearanceForm& ui = *m_ui;
  const bool locked = m_pButton->m_bLocked;
  const bool strip = m_pUserImages != nullptr;
  const bool writable = strip && !m_pUserImages->IsReadOnly();
  const bool list = m_bImage && strip && m_bUserImageChosen && !m_bMenuMode && !locked;
  ui.id16500->setEnabled(m_bText && !(m_bMenuMode && m_bUserTool));
  ui.id16508->setEnabled(list);
  ui.id16509->setEnabled(list && writable);
  ui.id16510->setEnabled(m_bImage && writable && m_nImage >= 0 && m_bUserImageChosen && !locked);
  ui.id16529->setEnabled(m_bImage && strip && !m_bMenuMode && !locked);
  ui.id16530->setEnabled(m_bUserTool || (m_bImage && hasStandardImage() && !m_bMenuMode && !locked));
  ui.id16531->update();
}

bool ButtonAppearanceDlg::onCommand(unsigned id, int) {
  Ui::ButtonAppearanceForm& ui = *m_ui;
  switch (id) {
    case kUserImage:
      m_nImage = -1;
      m_bUserImageChosen = true;
      ui.id16529->setChecked(true);
      EnableControls();
      ui.id16508->SelectButton(nullptr);
      return true;
    case kDefaultImage:
      m_nImage = m_pButton->m_bUserImage ? m_pButton->m_iUserImage : m_pButton->m_iImage;
      m_bUserImageChosen = false;
      ui.id16530->setChecked(true);
      EnableControls();
      return true;
    case kImageOnly:
    case kImageAndText:
    case kTextOnly:
      m_bImage = id != kTextOnly;
      m_bText = id != kImageOnly;
      EnableControls();
      return true;
    case kUserImages: {
      const CUxToolbarButton* selected = ui.id16508->GetSelButton();
      m_nImage = selected ? selected->GetImage() : -1;
      ui.id16510->setEnabled(m_nImage >= 0 && m_pUserImages && !m_pUserImages->IsReadOnly());
      return true;
    }
    case kNewImage: OnNewImage(); return true;
    case kEditImage: OnEditImage(); return true;
    default: return false;
  }
}

void ButtonAppearanceDlg::tell(unsigned stringId) {
  platform::messageBox(this, libraryString(stringId), L"", platform::MbOk);
}

void ButtonAppearanceDlg::OnNewImage() {
  if (!m_pUserImages) return;
  try {
    const Size size = m_pUserImages->GetImageSize();
    QImage bitmap(size.cx, size.cy, QImage::Format_RGB32);
    if (bitmap.isNull()) {
      tell(kStringNewImageFailed);
      return;
    }
    bitmap.fill(platform::toQColor(globalData().clrBtnFace));
    ImageEditDlg editor(&bitmap, this, m_pUserImages->nBitsPerPixel);
    if (editor.DoModal() != 1) return;
    const int image = m_pUserImages->AddImage(bitmap);
    if (image < 0) return;
    RebuildImageList();
    m_ui->id16508->SelectButtonByImage(image);
  } catch (const std::exception&) {
    tell(kStringCopyError);
  }
}

void ButtonAppearanceDlg::OnEditImage() {
  if (!m_pUserImages || m_nImage < 0) return;
  const Size size = m_pUserImages->GetImageSize();
  QImage bitmap(size.cx, size.cy, QImage::Format_RGB32);
  if (bitmap.isNull()) return;
  bitmap.fill(platform::toQColor(kEditBackground));
  {
    Dc dc(bitmap);
    const platform::COLORREF transparent = m_pUserImages->SetTransparentColor(kEditBackground);
    ImageDrawState state;
    if (m_pUserImages->PrepareDrawImage(state)) {
      m_pUserImages->Draw(&dc, 0, 0, m_nImage);
      m_pUserImages->EndDrawImage(state);
    }
    m_pUserImages->SetTransparentColor(transparent);
  }
  ImageEditDlg editor(&bitmap, this, m_pUserImages->nBitsPerPixel);
  if (editor.DoModal() != 1) return;
  m_pUserImages->UpdateImage(m_nImage, bitmap);
  m_ui->id16508->update();
}

bool ButtonAppearanceDlg::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_ui->id16531 && event->type() == QEvent::Paint) paintPreview(m_ui->id16531);
  return QDialog::eventFilter(watched, event);
}

// What the standard-image choice stands for: the tool's icon, the command's image, or the
// locked button as it draws itself.
void ButtonAppearanceDlg::paintPreview(QWidget* preview) {
  const QRect inside = static_cast<QFrame*>(preview)->contentsRect();
  const Size image = sharedImages(kImages).GetImageSize();
  const Rect place = Rect::fromSize(0, 0, std::min(image.cx, 16), std::min(image.cy, 16));
  QImage face(std::max(place.width(), 1), std::max(place.height(), 1), QImage::Format_RGB32);
  face.fill(platform::toQColor(globalData().clrBtnFace));
  Dc dc(face);
  if (m_bUserTool) {
    userToolsLookup()->DrawToolIcon(m_pButton->m_nCommandId, &dc, place);
  } else if (!m_pButton->m_bLocked) {
    ImageDrawState state;
    if (m_bImage && hasStandardImage() && sharedImages(kImages).PrepareDrawImage(state, place.size())) {
      sharedImages(kImages).Draw(&dc, 0, 0, standardImage());
      sharedImages(kImages).EndDrawImage(state);
    }
  } else {
    ToolbarImages& strip = m_pBar ? m_pBar->m_Images[kImages] : sharedImages(kImages);
    const bool showText = m_pButton->m_bShowText, showImage = m_pButton->m_bShowImage;
    m_pButton->m_bShowText = false;
    m_pButton->m_bShowImage = true;
    ImageDrawState state;
    if (strip.PrepareDrawImage(state)) {
      m_pButton->OnDraw(&dc, place, &strip);
      strip.EndDrawImage(state);
    }
    m_pButton->m_bShowText = showText;
    m_pButton->m_bShowImage = showImage;
  }
  QPainter(preview).drawImage(inside.topLeft(), face);
}

void ButtonAppearanceDlg::accept() {
  Ui::ButtonAppearanceForm& ui = *m_ui;
  m_strButtonText = ui.id16500->text().toStdWString();
  const int image = m_bUserImageChosen ? m_nImage : (m_bUserTool ? 0 : standardImage());
  if (m_bImage && image < 0) {
    tell(kStringNoImageChosen);
    ui.id16508->setFocus();
    return;
  }
  if (m_bText && m_strButtonText.empty()) {
    tell(kStringNoButtonText);
    ui.id16500->setFocus();
    return;
  }
  if (!m_pButton->m_bTextBelow) m_pButton->m_bShowText = m_bText;
  if (m_bMenuMode) GetCommandManager().MarkCommand(m_pButton->m_nCommandId, m_bImage);
  else m_pButton->m_bShowImage = m_bImage;
  m_pButton->m_bUserImage = m_bUserImageChosen;
  m_pButton->SetImage(image);
  m_pButton->m_strText = m_strAccel.empty() ? m_strButtonText : m_strButtonText + L'\t' + m_strAccel;
  QDialog::accept();
}

void RegisterButtonAppearanceDialog() {
  setButtonAppearanceOpener([](CUxToolbarButton& button, CUxToolBar& bar, bool menuMode) {
    // The user images are offered when the host gave the library a strip of them.
    ButtonAppearanceDlg dialog(&button, userImages(), &bar, 0, menuMode);
    return dialog.DoModal() == 1;
  });
}
