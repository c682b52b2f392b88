#include "app/options/option_dialog.h"

#include <QPainter>
#include <QPushButton>
#include <QShortcut>
#include <QTreeWidget>
#include <cerrno>
#include <string>
#include <utility>

#include "app/shell/help_viewer.h"
#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/common/settings_save.h"
#include "app/options/option_page_skin.h"
#include "app/options/option_page_voice.h"
#include "app/options/option_page_webdic.h"
#include "app/options/option_pages.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/windows/notifier.h"
#include "platform/drawing/system_metrics.h"
#include "services/app_settings.h"
#include "services/file_failure.h"
#include "uictl/bars/drawing/draw_manager.h"

namespace {

constexpr int kTreeWidth = 170;
constexpr int kMargin = 8;
constexpr int kBannerTop = 5;
constexpr int kBannerBottom = 25;
constexpr int kPageTop = 25;
constexpr int kButtonHeight = 26;
constexpr platform::COLORREF kBannerText = 0xE0E0E0;

}  // namespace

COptionDlg::COptionDlg(KlvApp& app, SoundQueue& sounds, int firstPage, QWidget* parent) : QDialog(parent), app_(app) {
  const int pagesLeft = kMargin + kTreeWidth + kMargin;
  const int width = pagesLeft + OptionPage::kWidth + kMargin;
  const int buttonsTop = kPageTop + OptionPage::kHeight + kMargin;
  setUpDialog(this, 138, L"オプション設定", width, buttonsTop + kButtonHeight + kMargin);
  banner_ = QRect(QPoint(pagesLeft, kBannerTop), QPoint(width - kMargin - 1, kBannerBottom - 1));
  // The banner's face is one of the desktop faces served by substitutes.
  platform::systemMetrics();

  tree_ = dialogControl<QTreeWidget>(this, 1154, {kMargin, kBannerTop, kTreeWidth, buttonsTop - kBannerTop - kMargin});
  tree_->setHeaderHidden(true);
  addItem(nullptr, L"全般", kGeneralPage);
  QTreeWidgetItem* study = addItem(nullptr, L"学習", kReplyPage);
  addItem(study, L"タイピングモード", kReplyInputPage);
  addItem(study, L"４択モード", kReplySelectPage);
  addItem(study, L"カードモード", kReplyCardPage);
  addItem(study, L"画面デザイン", kSkinPage);
  addItem(study, L"音声再生", kVoicePage);
  addItem(nullptr, L"Web辞書検索", kWebdicPage);
  addItem(nullptr, L"ファイル", kFilePage);
  study->setExpanded(true);

  addPage(kGeneralPage, new COptionpageGeneral(app, this));
  addPage(kReplyPage, new COptionpageReply(*app.settings, sounds, this));
  addPage(kReplyInputPage, new COptionpageReplyInput(this));
  addPage(kReplySelectPage, new COptionpageReplySelect(this));
  addPage(kReplyCardPage, new COptionpageReplyCard(this));
  addPage(kVoicePage, new COptionpageVoice(app, this));
  addPage(kFilePage, new COptionpageFile(this));
  addPage(kSkinPage, new COptionpageSkin(app, this));
  addPage(kWebdicPage, new COptionpageWebdic(app.webDictionaries, this));
  for (const auto& [id, widget] : pages_) widget->move(pagesLeft, kPageTop);

  auto* help = dialogButton(this, 1140, L"ヘルプ", {kMargin, buttonsTop, 90, kButtonHeight});
  connect(help, &QPushButton::clicked, this, [] { ShowHelpTopic(L"Klv.chm::/option.html"); });
  connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, help, &QPushButton::click);
  const int right = width - kMargin;
  dialogButton(this, 2, L"キャンセル", {right - 90, buttonsTop, 90, kButtonHeight});
  // On screen with every page: its letter is one that no page uses.
  auto* defaults = dialogButton(this, 3, L"標準に戻す(&Y)", {right - 290, buttonsTop, 106, kButtonHeight});
  connect(defaults, &QPushButton::clicked, this, &COptionDlg::OnDefaults);
  dialogButton(this, 1, L"OK", {right - 180, buttonsTop, 84, kButtonHeight});

  connect(tree_, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem* current) {
    if (current) ShowPage(current->data(0, Qt::UserRole).toInt());
    update(banner_);
  });
  ExchangeSettings(false);
  selectItemOf(page(firstPage) ? firstPage : kGeneralPage);
}

QTreeWidgetItem* COptionDlg::addItem(QTreeWidgetItem* parent, const wchar_t* text, int id) {
  auto* item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(tree_);
  item->setText(0, QString::fromWCharArray(text));
  item->setData(0, Qt::UserRole, id);
  return item;
}

void COptionDlg::addPage(int id, OptionPage* widget) {
  widget->hide();
  pages_.emplace_back(id, widget);
}

OptionPage* COptionDlg::page(int id) const {
  for (const auto& [pageId, widget] : pages_)
    if (pageId == id) return widget;
  return nullptr;
}

void COptionDlg::selectItemOf(int id) {
  for (QTreeWidgetItemIterator it(tree_); *it; ++it) {
    if ((*it)->data(0, Qt::UserRole).toInt() == id) {
      tree_->setCurrentItem(*it);
      return;
    }
  }
}

bool COptionDlg::ShowPage(int id) {
  OptionPage* shown = page(id);
  if (!shown) return false;
  for (const auto& [pageId, widget] : pages_) widget->setVisible(widget == shown);
  return true;
}

bool COptionDlg::ExchangeSettings(bool save) {
  AppSettings& settings = *app_.settings;
  if (!save) {
    for (const auto& [id, widget] : pages_) widget->load(settings, false);
    return true;
  }
  // Every page is checked before any value moves: a refused value leaves the settings as they were.
  for (const auto& [id, widget] : pages_) {
    if (widget->check()) continue;
    selectItemOf(id);
    return false;
  }
  for (const auto& [id, widget] : pages_) widget->store(settings);
  return true;
}

void COptionDlg::OnDefaults() {
  for (const auto& [id, widget] : pages_)
    if (widget->takesDefaults()) widget->load(*app_.settings, true);
}

void COptionDlg::accept() {
  AppSettings& settings = *app_.settings;
  const std::wstring openFile = settings.databasePath.value;
  if (!ExchangeSettings(true)) {
    platform::messageBox(this, L"更新できませんでした", kAppCaption);
    return;
  }
  // Another database file named here is stored once it has been taken up (KlvApp::ReopenDatabase),
  // as a file chosen in place of one that did not open is: a run ended meanwhile starts again on the
  // file that was open.
  const std::wstring named = std::exchange(settings.databasePath.value, openFile);
  saveSettingsOrSay(settings, this);
  settings.databasePath.value = named;
  if (!app_.webDictionaries.Save(app_.settings->webdicInifilePath.value)) {
    const int cause = errno;
    platform::messageBox(this, fileFailureText(L"Web辞書の設定を保存できませんでした。", cause), kAppCaption,
                         platform::MbOk | platform::MbIconError);
  }
  QDialog::accept();
}

void COptionDlg::reject() {
  app_.UpdateBackgroundBrush(app_.settings->backgroundColor);
  update();
  QDialog::reject();
}

void COptionDlg::paintEvent(QPaintEvent* event) {
  QDialog::paintEvent(event);
  QImage image(banner_.size(), QImage::Format_RGB32);
  platform::Dc dc(image);
  DrawManager(dc).FillGradient(dc.bounds(), 0x000000, 0xFFFFFF, false);
  if (const QTreeWidgetItem* item = tree_->currentItem()) {
    platform::LogFont face;
    face.height = 12;
    face.weight = 40;
    face.charSet = platform::ShiftJisCharset;
    face.faceName = L"ＭＳ ゴシック";
    dc.selectFont(platform::Font::create(face));
    dc.setBkMode(platform::Transparent);
    dc.setTextColor(kBannerText);
    platform::Rect text = dc.bounds().deflated(4, 0);
    dc.drawText(item->text(0).toStdWString(), text, platform::DtLeft | platform::DtVCenter | platform::DtSingleLine);
  }
  QPainter(this).drawImage(banner_.topLeft(), image);
}

void RunOptionsDialog(KlvApp& app, SoundQueue& sounds, QWidget* parent, int firstPage) {
  COptionDlg dialog(app, sounds, firstPage, parent);
  runModalDialog(dialog);
  app.UpdateBackgroundBrush(app.settings->backgroundColor);
  if (!app.settings->useAgentVoice.value) KlvApp::QuitAgentSpeaker();
}
