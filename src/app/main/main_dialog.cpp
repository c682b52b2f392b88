#include "app/main/main_dialog.h"

#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QResizeEvent>
#include <QStatusBar>
#include <QToolBar>
#include <algorithm>

#include "app/shell/app_resources.h"
#include "app/common/control_helpers.h"
#include "app/shell/klv_app.h"
#include "app/main/main_outlook_bar.h"
#include "app/common/modal_dialog.h"
#include "app/common/quiet_retry.h"
#include "app/shell/program_identity.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/pages/tabpage_questionlog.h"
#include "app/pages/tabpage_ranking.h"
#include "app/pages/tabpage_selsection.h"
#include "app/pages/tabpage_smartlearning.h"
#include "database/logs/element_log.h"
#include "database/folders/folders.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/app_settings.h"
#include "services/shell_files.h"
#include "services/window_helpers.h"
#include "uictl/frames/outlook/caption_bar.h"
#include "services/database_failure.h"

namespace {

// Where a first run starts: the sample set shipped with the program.
constexpr wchar_t kDefaultSetPath[] = L"中学生向け問題/中学校 学校・教室などの単語";
constexpr int kToolBarHeight = 41;
constexpr int kCaptionTop = 36;
constexpr int kOutlookBarWidth = 100;
// The bar's groups: the smart-learning pages, and the pages of a normal study.
constexpr unsigned kSmartGroup = 1, kNormalGroup = 2;

}  // namespace

MainDialog::MainDialog(KlvApp& app, QWidget* parent) : QDialog(parent), m_pApp(app) {
  initAppResources();
  setObjectName("id102");
  setWindowIcon(LoadIconResource(235));
  setMinimumSize(kMinWidth, kMinHeight);
  setMaximumSize(kMaxWidth, kMaxHeight);
  setSizeGripEnabled(false);

  buildMenu();
  buildToolBar();
  m_statusBar = withId(new QStatusBar(this), 1702);
  m_statusBar->setSizeGripEnabled(false);
  buildChoosers();
  buildBars();

  m_pageSelsection = new CTabpageSelsection(app, this);
  m_pageLoginfo = new CTabpageLoginfo(app, *this, this);
  m_pageQuestionlog = new CTabpageQuestionlog(app, *this, this);
  m_pageRanking = new CTabpageRanking(app, *this, this);
  m_pageSmartlearning = new CTabpageSmartlearning(app, *this, this);
  pages_ = {m_pageSelsection, m_pageLoginfo, m_pageQuestionlog, m_pageRanking, m_pageSmartlearning};
  for (QWidget* page : pages_) page->hide();
  pagesRetry_ = new QuietRetry(
      *this,
      [this] {
        // Only what was left unread, and nothing past the first part the file still refuses.
        RefreshParts(unreadParts_, AfterALock::stop, Reading::again);
        return unreadParts_ == 0;
      },
      kPagesUnread);

  qApp->installEventFilter(this);
  UpdateCommandStates();
}

MainDialog::~MainDialog() {
  qApp->removeEventFilter(this);
  if (m_pApp.mainDialog == this) m_pApp.mainDialog = nullptr;
}

void MainDialog::buildChoosers() {
  dialogText(this, L"問題集", QRect())->setObjectName("id1236");
  m_recentCombo = withId(new QComboBox(this), 1234);
  auto* choose = withId(new QPushButton(qtext(L"選択"), this), 1018);
  dialogText(this, L"学習モード", QRect())->setObjectName("id1197");
  m_modeCombo = withId(new QComboBox(this), 1196);
  auto* modeDialog = withId(new QPushButton(qtext(L"選択"), this), 1019);
  for (QPushButton* button : {choose, modeDialog}) {
    button->setAutoDefault(false);
    button->setToolTip(qtext(LoadStringResource(button == choose ? 1018 : 1019)));
  }
  // Enter starts a study of the learning page (the key filter sends it); the button stays hidden.
  auto* learn = withId(new QPushButton(qtext(L"覚える(&T)"), this), 1193);
  learn->setAutoDefault(false);
  learn->hide();

  connect(choose, &QPushButton::clicked, this, [this] { OnCommand(1018); });
  connect(modeDialog, &QPushButton::clicked, this, [this] { OnCommand(1019); });
  connect(m_recentCombo, &QComboBox::activated, this, &MainDialog::OnRecentComboChange);
  connect(m_modeCombo, &QComboBox::activated, this, &MainDialog::OnModeComboChange);
}

void MainDialog::buildBars() {
  m_outlookBar = new CMainOutlookBar;
  m_outlookBar->Create(this, 0x50001408, 1700);
  m_outlookBar->SetTransparentColor(0x00FF00);
  m_outlookBar->SetOwner(this);
  m_outlookBar->EnableSplitter(false);
  m_outlookBar->SetColors(0xFFFFFF, 0xC0C0C0);
  m_outlookBar->EnableTextLabels(true);
  m_outlookBar->AddPage(kSmartGroup, L"スマート学習");
  m_outlookBar->AddButton(257, L"スマート学習", 32859, kSmartGroup);
  m_outlookBar->AddButton(259, L"インターネット\nランキング", 230, kSmartGroup);
  m_outlookBar->AddPage(kNormalGroup, L"通常学習");
  // A picture of the user's own beside the program replaces a button's image.
  const unsigned commands[] = {32803, 32802, 32804, 230};
  const unsigned bitmaps[] = {249, 257, 258, 259};
  for (int i = 0; i < 4; ++i) {
    const std::wstring label = pageName(i);
    const std::wstring file = programFolder() + platform::format(L"olbar%d.bmp", i + 1);
    if (!QFileInfo::exists(qtext(file)) ||
        !m_outlookBar->AddButtonFromFile(file, label.c_str(), commands[i], kNormalGroup))
      m_outlookBar->AddButton(bitmaps[i], label.c_str(), commands[i], kNormalGroup);
  }
  m_outlookBar->setGeometry(0, kToolBarHeight, kOutlookBarWidth, 500);

  m_captionBar = new CUxCaptionBar;
  m_captionBar->Create(0x50001408, this, 1701);
}

int MainDialog::DoModal() {
  if (!OnInitDialog()) return -1;
  return runModalDialog(*this);
}

bool MainDialog::OnInitDialog() {
  m_pApp.mainDialog = this;
  const AppSettings& settings = *m_pApp.settings;
  const int width = std::clamp(settings.windowWidth.value, kMinWidth, kMaxWidth);
  const int height = std::clamp(settings.windowHeight.value, kMinHeight, kMaxHeight);
  // The window takes its place before it shows: what opens over it first (the first start's set
  // chooser) is centred on it.
  if (testAttribute(Qt::WA_Moved)) {
    resize(width, height);
  } else {
    CenterOnDesktop(this, width, height);
  }
  UpdateTitle();

  const pdb3::DbObject accessor = pdb3::openQuery(m_pApp.db);
  const std::wstring lastSection = settings.lastSection.value;
  const bool firstStart = lastSection.empty();
  if (!firstStart && selectChosenPath(lastSection) == pdb3::FirstRow::found) {
    fillRecentCombo();
  } else {
    if (firstStart) selectChosenPath(kDefaultSetPath);
    const SetChoice choice = ChooseSet();
    const pdb3::FirstRow chosen = pdb3::lookUpElement(accessor, m_pApp.currentSetId);
    if (chosen != pdb3::FirstRow::found) {
      // No set chosen closes the window; a set that could not be looked up says why first, unless
      // the chooser has just said it of the learner's last choice.
      if (chosen == pdb3::FirstRow::failed) {
        if (choice != SetChoice::cancelledAfterFailedLookUp) reportFailedRead(this, L"問題集を読み込めませんでした。");
        m_pApp.recordFailure(ExitDataUnusable);
      }
      done(-1);
      return false;
    }
    // Nothing chosen: the set in use is the one the chooser shows.
    if (m_recentCombo->count() == 0) {
      if (m_strSetPath.empty()) {
        std::wstring path;
        if (pdb3::getElementPath(accessor, path, m_pApp.currentSetId) && !path.empty())
          selectChosenElement(m_pApp.currentSetId, path);
      }
      if (!m_strSetPath.empty()) fillRecentCombo();
    }
    if (firstStart) {
      // A first start begins with the chosen set in the smart-learning list; the page reads it,
      // and makes its first choice, when it is first shown or asked for a study. Without smart
      // learning there is no list, and start-up has said why.
      if (m_pApp.smartLearningSetId >= 0) m_pageSmartlearning->AddToSmartLearning(m_pApp.currentSetId);
      m_pageSmartlearning->ReloadQuestionList();
      m_pageSmartlearning->StartLevelCalcThread();
    }
  }
  m_recentCombo->addItem(qtext(kChooserEntry));

  fillModeCombo();
  SelectModeInCombo();
  const int page = settings.lastSelectedTabId.value;
  initialised_ = true;
  // The pages read here are what the window first shows; they are read again on that show only
  // when a study has changed them since.
  ShowPage(page >= 0 && page < kPageCount ? page : 1);

  if (m_pApp.commandLine->autorun) {
    hide();
    m_pApp.AutorunStudy(m_soundQueue);
    refreshOnShow_ = true;
  }
  return true;
}

void MainDialog::fillRecentCombo() {
  m_recentCombo->clear();
  m_recentCombo->addItem(qtext(m_strSetPath));
  const auto& recent = m_pApp.settings->recentSectionPath;
  for (size_t i = 0; i < recent.size(); ++i) {
    const std::wstring& path = recent[i].value;
    if (!path.empty() && path != m_strSetPath) m_recentCombo->insertItem(static_cast<int>(i) + 1, qtext(path));
  }
  m_recentCombo->setCurrentIndex(0);
}

void MainDialog::UpdateTitle(const std::wstring& text) {
  if (!text.empty()) {
    setWindowTitle(qtext(text));
    return;
  }
  const std::wstring user = m_pApp.settings ? m_pApp.settings->userName.value : std::wstring();
  setWindowTitle(qtext(platform::format(L"KLV %ls%ls 【%ls】", L"", kProgramVersion, user.c_str())));
}

void MainDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  // The program's window comes to the front when it first shows, over whatever started it.
  if (!shownBefore_) ForceForegroundWindow(this);
  shownBefore_ = true;
  if (refreshOnShow_ && initialised_ && !studying_ && m_nCurPage >= 0) ShowPage(m_nCurPage);
  if (!studying_) refreshOnShow_ = false;
  OnSize(width(), height() - m_menuBar->sizeHint().height());
}

void MainDialog::hideEvent(QHideEvent* event) {
  QDialog::hideEvent(event);
  if (!isMinimized()) refreshOnShow_ = true;
}

void MainDialog::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  OnSize(event->size().width(), event->size().height() - m_menuBar->sizeHint().height());
}

void MainDialog::OnSize(int cx, int cy) {
  const int top = m_menuBar->sizeHint().height();
  m_menuBar->setGeometry(0, 0, cx, top);
  // The caption bar starts where the buttons end.
  m_toolBar->setGeometry(0, top, cx, kCaptionTop);
  const int statusHeight = m_statusBar->sizeHint().height();
  m_statusBar->setGeometry(0, top + cy - statusHeight, cx, statusHeight);
  m_captionBar->setGeometry(kOutlookBarWidth, top + kCaptionTop, cx - kOutlookBarWidth, 30);
  m_outlookBar->setGeometry(0, top + kToolBarHeight, kOutlookBarWidth, cy - 26 - kToolBarHeight);

  const auto place = [this, top](int id, int left, int y, int right, int bottom) {
    if (QWidget* control = findChild<QWidget*>(QString("id%1").arg(id)))
      control->setGeometry(left, top + y, right - left, bottom - y);
  };
  // Combo boxes keep their own height: their drop-down list opens below them.
  const int comboHeight = m_recentCombo->sizeHint().height();
  place(1236, 115, 74, 175, 99);
  place(1018, 175, 71, 215, 94);
  place(1234, 220, 71, cx - 320, 71 + comboHeight);
  place(1197, cx - 305, 74, cx - 225, 99);
  place(1019, cx - 220, 71, cx - 180, 94);
  place(1196, cx - 175, 71, cx - 15, 71 + comboHeight);
  const int pageBottom = std::min(cy - 28, cy - statusHeight - 2);
  for (int i = 0; i < kPageCount; ++i) {
    // The ranking page hides both choosers and takes their room.
    const int pageTop = i == 3 ? 71 : 101;
    pages_[i]->setGeometry(105, top + pageTop, cx - 5 - 105, pageBottom - pageTop);
  }
}

std::wstring MainDialog::pageName(int page) {
  static const wchar_t* const names[kPageCount] = {L"問題集の情報", L"学習", L"問題毎の履歴", L"インターネット\nランキング",
                                                   L"スマート学習"};
  return page >= 0 && page < kPageCount ? names[page] : L"";
}
