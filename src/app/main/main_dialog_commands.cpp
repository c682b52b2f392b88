// The main dialog's commands: its menu, toolbar and keys, and the windows its commands open.
#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>
#include <QToolButton>
#include <algorithm>
#include <deque>
#include <initializer_list>

#include "app/shell/about_dialog.h"
#include "app/shell/app_resources.h"
#include "app/printing/card_tool_dialog.h"
#include "app/common/control_helpers.h"
#include "app/shell/defrag_dialog.h"
#include "app/shell/desktop_shortcut.h"
#include "app/shell/editor_handover.h"
#include "app/shell/help_viewer.h"
#include "app/shell/klv_app.h"
#include "app/main/main_dialog.h"
#include "app/main/main_outlook_bar.h"
#include "app/common/modal_dialog.h"
#include "app/options/option_dialog.h"
#include "app/printing/print_preview_dialog.h"
#include "app/shell/program_identity.h"
#include "app/export/question_export_dialog.h"
#include "app/export/question_preview_dialog.h"
#include "app/export/search_dialog.h"
#include "app/pages/tabpage_loginfo.h"
#include "app/shell/user_manage_dialog.h"
#include "database/folders/section_questions.h"
#include "platform/drawing/readable_image.h"
#include "platform/drawing/system_metrics.h"
#include "platform/windows/notifier.h"
#include "platform/windows/window_menu_bar.h"
#include "services/app_settings.h"
#include "services/database_failure.h"
#include "services/shell_files.h"
#include "study/sound/speech_output.h"
#include "study/window/trans_mode_dialog.h"

namespace {

// Commands that need a problem set: gray while a folder is chosen.
constexpr int kSetCommands[] = {32796, 32787, 32835, 32792, 209, 210, 32794, 32793, 32824, 32823};
// Commands that work on the chosen set or folder (print it, export it, make a set beside it): gray
// while nothing is chosen.
constexpr int kChosenSetCommands[] = {199, 270, 32855};

struct ModeCommand {
  int id;
  int mode;
};
constexpr ModeCommand kModeCommands[] = {{32792, 0}, {209, 3}, {210, 2}, {32794, 1}, {32793, 4}, {32835, 5}, {32836, 6}};
constexpr int kPageCommands[MainDialog::kPageCount] = {32803, 32802, 32804, 230, 32859};
// Toolbar 211, left to right; 0 is a separator. Bitmap 256 holds the buttons' images in this order.
constexpr int kToolBarButtons[] = {32796, 199, 32787, 0, 32835, 209, 32794, 32792, 210, 32793, 32836, 0,
                                   32823, 32824, 0, 32791, 32798, 32826, 0, 32795, 32790, 32827};

// Menu 134, menu by menu; id 0 is a separator.
struct MenuItem {
  int id;
  const wchar_t* text;
};
struct MenuSpec {
  const wchar_t* title;
  std::initializer_list<MenuItem> items;
};
const MenuSpec kMenus[] = {
    {L"ファイル(&F)",
     {{273, L"問題集の選択(&Q)..."},
      {32791, L"問題集の編集(&E)..."},
      {32855, L"選択された問題から問題集を作成...(&L)"},
      {270, L"問題集のファイル出力(&F)..."},
      {199, L"印刷ツール(&P)...\tCTRL+P"},
      {32796, L"問題集のショートカットの作成(&S)..."},
      {0, nullptr},
      {1025, L"データベースの再読込(&M)\tShift+F5"},
      {0, nullptr},
      {32827, L"逃げる(&X)"}}},
    {L"学習(&S)",
     {{32792, L"タイピングモード(&J)"},
      {209, L"４択モード(&F)"},
      {210, L"タイピングモードR(&E)"},
      {32794, L"４択モードR(&4)"},
      {32793, L"SpeedReply(&S)"},
      {0, nullptr},
      {32823, L"前回学習した問題(&L)"},
      {32824, L"前回に間違えた問題(&M)"}}},
    {L"表示(&V)",
     {{32803, L"問題集の情報(&I)\tF2"},
      {32802, L"学習(&L)\tF3"},
      {32804, L"問題毎の履歴(&Q)\tF4"},
      {230, L"インターネットランキング(&R)\tF5"},
      {32859, L"スマート学習(&S)\tF6"},
      {0, nullptr},
      {32787, L"問題一覧(&P)...\tF7"}}},
    {L"ツール(&T)",
     {{1001, L"検索(&S)...\tCTRL+F"},
      {32826, L"オプション設定(&O)...\tF12"},
      {32798, L"利用者の追加・変更・削除(&U)...\tF11"},
      {32841, L"デフラグ(&D)..."}}},
    {L"ヘルプ(&H)",
     {{32790, L"ヘルプ(&H)\tF1"},
      {32789, L"最初にお読みください(&R)"},
      {32795, L"ホームページ(&W)..."},
      {0, nullptr},
      {32773, L"バージョン情報(&A)..."}}},
};

template <size_t N>
bool listed(const int (&ids)[N], int id) {
  return std::find(std::begin(ids), std::end(ids), id) != std::end(ids);
}

}  // namespace

QAction* MainDialog::addCommand(QMenu* menu, int id, const wchar_t* text) {
  auto* action = new QAction(qtext(text), this);
  action->setObjectName(QString("id%1").arg(id));
  action->setData(id);
  action->setToolTip(qtext(CommandTooltip(id)));
  action->setStatusTip(qtext(CommandPrompt(id)));
  connect(action, &QAction::triggered, this, [this, id] { OnCommand(id); });
  commands_[id] = action;
  if (menu) menu->addAction(action);
  return action;
}

void MainDialog::buildMenu() {
  m_menuBar = withId(new platform::WindowMenuBar(this), 134);
  for (const MenuSpec& spec : kMenus) {
    QMenu* popup = m_menuBar->addMenu(qtext(spec.title));
    // While a menu is open the status bar tells what the highlighted command does.
    connect(popup, &QMenu::aboutToShow, this, &MainDialog::UpdateCommandStates);
    connect(popup, &QMenu::hovered, this, [this](QAction* action) {
      m_statusBar->showMessage(action->isSeparator() ? QString() : action->statusTip());
    });
    connect(popup, &QMenu::aboutToHide, this, &MainDialog::UpdateStatusAndCaption);
    for (const MenuItem& item : spec.items) {
      if (item.id == 0) {
        popup->addSeparator();
      } else {
        addCommand(popup, item.id, item.text);
      }
    }
  }
  // Only on the toolbar, or only a key.
  addCommand(nullptr, 32835, L"カードモードに設定");
  addCommand(nullptr, 32836, L"ディクテーションモードに設定");
  addCommand(nullptr, 1193, L"覚える(&T)");
}

void MainDialog::buildToolBar() {
  m_toolBar = withId(new QToolBar(this), 211);
  m_toolBar->setIconSize(QSize(32, 32));
  m_toolBar->setMovable(false);
  m_toolBar->setFloatable(false);
  for (int id : kToolBarButtons) {
    if (id == 0) {
      m_toolBar->addSeparator();
      continue;
    }
    QAction* action = commandAction(id);
    m_toolBar->addAction(action);
    m_toolBar->widgetForAction(action)->setObjectName(QString("button%1").arg(id));
  }
  setToolBarImages();
}

// The images are drawn for the classic face; on another one their ink is made to stand out from it,
// and again whenever the desktop's colours change.
void MainDialog::setToolBarImages() {
  const QPixmap images = QPixmap::fromImage(
      platform::inkStandingOutOnSysColor(LoadBitmapResource(256).toImage(), platform::ColorBtnFace));
  int image = 0;
  for (int id : kToolBarButtons)
    if (id != 0) commandAction(id)->setIcon(QIcon(images.copy(32 * image++, 0, 32, 32)));
}

QAction* MainDialog::commandAction(int id) const {
  const auto found = commands_.find(id);
  return found == commands_.end() ? nullptr : found->second;
}

bool MainDialog::commandEnabled(int id) const {
  if (id == 1018 || id == 1019) return true;
  const QAction* action = commandAction(id);
  return action && action->isEnabled();
}

void MainDialog::UpdateCommandStates() {
  for (const auto& [id, action] : commands_)
    action->setEnabled(!(m_bFolderSelected && listed(kSetCommands, id)) &&
                       !(!setChosen() && listed(kChosenSetCommands, id)) && !(id == 32795 && makerAddress().empty()));
}

bool MainDialog::OnCommand(int id) {
  if (!commandEnabled(id)) return false;
  for (int page = 0; page < kPageCount; ++page) {
    if (kPageCommands[page] == id) {
      ShowPage(page);
      return true;
    }
  }
  for (const ModeCommand& command : kModeCommands) {
    if (command.id == id) {
      SetStudyMode(command.mode);
      return true;
    }
  }
  switch (id) {
    case 273:
    case 1018:
      ChooseSet();
      return true;
    case 1019:
      OnModeDialog();
      return true;
    case 270:
      OnExport();
      return true;
    case 1001:
      OnSearch();
      return true;
    case 199:
      OnPrint();
      return true;
    case 1025:
      OnReloadDatabase();
      return true;
    case 32823:
    case 32824:
      StudyLastQuestions(id == 32824);
      return true;
    case 32787:
      OnQuestionList();
      return true;
    case 32855:
      OnNewSetFromChecked();
      return true;
    case 1193:
      m_pageLoginfo->OnStudy();
      return true;
    case 32826:
      OnOptions();
      return true;
    case 32795:
      OnHomePage();
      return true;
    case 32798:
      OnUsers();
      return true;
    case 32841: {
      CDefragDlg defrag(m_pApp, this);
      defrag.DoModal();
      RefreshPages();
      return true;
    }
    case 32773:
      OnAbout();
      return true;
    case 32791:
      OnEditor();
      return true;
    case 32796:
      if (m_bFolderSelected) return true;
      m_strShortcutPath = m_strSetPath;
      OnMakeShortcut();
      return true;
    case 32785:
      OnMakeShortcut();
      return true;
    case 32790:
      ShowHelp();
      return true;
    case 32789:
      ShowReadme();
      return true;
    case 32827:
      reject();
      return true;
    default:
      return false;
  }
}

bool MainDialog::onCommand(unsigned id, int notifyCode) { return OnCommand(static_cast<int>(id)); }

void MainDialog::onUpdateCommandUi(platform::CommandUi& state) {
  if (commandAction(static_cast<int>(state.id))) state.enable(commandEnabled(static_cast<int>(state.id)));
}

std::wstring MainDialog::messageString(unsigned id) const { return CommandPrompt(static_cast<int>(id)); }

bool MainDialog::event(QEvent* event) {
  if (event->type() == QEvent::ApplicationPaletteChange && m_toolBar) setToolBarImages();
  if (event->type() != QEvent::StatusTip) return QDialog::event(event);
  // A toolbar button tells what it does while the pointer is on it; when the pointer leaves, the
  // page's own text comes back. The menus keep their prompts to themselves while open.
  const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
  if (!tip.isEmpty()) {
    m_statusBar->showMessage(tip);
  } else if (!QApplication::activePopupWidget()) {
    UpdateStatusAndCaption();
  }
  return true;
}

QWidget* MainDialog::mnemonicControl(const QKeyEvent& key) const {
  const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
  const int code = key.key();
  const bool letterOrDigit = (code >= Qt::Key_A && code <= Qt::Key_Z) || (code >= Qt::Key_0 && code <= Qt::Key_9);
  if (modifiers != Qt::AltModifier || !letterOrDigit) return nullptr;
  const QKeySequence pressed(QKeyCombination(Qt::AltModifier, static_cast<Qt::Key>(code)));
  // Several controls with one letter take it in turn from the focus on, as tabbing meets them.
  std::vector<QWidget*> carriers;
  int afterFocus = 0;
  for (QWidget* widget = nextInFocusChain(); widget != this; widget = widget->nextInFocusChain()) {
    if (widget == focusWidget()) afterFocus = static_cast<int>(carriers.size());
    if (widget->window() != this || !widget->isVisible() || !widget->isEnabled() || m_menuBar->isAncestorOf(widget))
      continue;
    QString text;
    if (const auto* button = qobject_cast<QAbstractButton*>(widget)) text = button->text();
    else if (const auto* label = qobject_cast<QLabel*>(widget); label && label->buddy()) text = label->text();
    if (!text.isEmpty() && QKeySequence::mnemonic(text) == pressed) carriers.push_back(widget);
  }
  if (carriers.empty()) return nullptr;
  return carriers[static_cast<size_t>(afterFocus) % carriers.size()];
}

void MainDialog::pressMnemonic(QWidget* control) {
  if (const auto* label = qobject_cast<QLabel*>(control)) {
    label->buddy()->setFocus(Qt::ShortcutFocusReason);
    return;
  }
  if (control->focusPolicy() & Qt::TabFocus) control->setFocus(Qt::ShortcutFocusReason);
  static_cast<QAbstractButton*>(control)->click();
}

void MainDialog::OpenMenuBarByKeys() {
  // F10 is Alt pressed and released alone, as the keyboard sends it to the control with the
  // focus: the menu bar watches the window's keys for that.
  QWidget* target = focusWidget() ? focusWidget() : this;
  QKeyEvent altOverride(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
  QKeyEvent altDown(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
  QKeyEvent altUp(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
  for (QKeyEvent* key : {&altOverride, &altDown, &altUp}) QCoreApplication::sendEvent(target, key);
}

bool MainDialog::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyRelease) passedOnKey_ = {};
  const bool shortcutOverride = event->type() == QEvent::ShortcutOverride;
  if ((event->type() != QEvent::KeyPress && !shortcutOverride) || !watched->isWidgetType())
    return QDialog::eventFilter(watched, event);
  // Keys of the dialog and its controls only, not of the windows it opens.
  auto* widget = static_cast<QWidget*>(watched);
  if (widget->window() != this) return QDialog::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  // A control's Alt+letter comes before the menu bar's (which then opens by F10, or Alt and the
  // letter): the key is kept from the shortcuts and pressed on its way to the control.
  if (shortcutOverride) {
    if (!mnemonicControl(*key)) return QDialog::eventFilter(watched, event);
    event->accept();
    return true;
  }
  if (QWidget* control = mnemonicControl(*key)) {
    pressMnemonic(control);
    return true;
  }
  // A key passed on climbs from the control to the dialog and comes by again on the way.
  const PassedOnKey passing{event, key->key(), key->modifiers()};
  if (passing == passedOnKey_) return false;
  if (OnKeyDown(key->key(), key->modifiers())) return true;
  passedOnKey_ = passing;
  return false;
}

bool MainDialog::OnKeyDown(int key, Qt::KeyboardModifiers modifiers) {
  const bool control = modifiers & Qt::ControlModifier;
  switch (key) {
    case Qt::Key_F1:
      OnCommand(32790);  // the help menu names F1 as its key
      return true;
    case Qt::Key_F2:
    case Qt::Key_F3:
    case Qt::Key_F4:
      ShowPage(key - Qt::Key_F2);
      return true;
    case Qt::Key_F5:
      if (modifiers & Qt::ShiftModifier) {
        OnCommand(1025);
      } else {
        ShowPage(3);
      }
      return true;
    case Qt::Key_F6:
      ShowPage(4);
      return true;
    case Qt::Key_F7:
      OnCommand(32787);
      return true;
    case Qt::Key_F10:
      if (modifiers != Qt::NoModifier) return false;
      OpenMenuBarByKeys();
      return true;
    case Qt::Key_F11:
      OnCommand(32798);
      return true;
    case Qt::Key_F12:
      OnCommand(32826);
      return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      // An open drop-down list takes its own Enter, as does the menu bar while the keys work it.
      if (QApplication::activePopupWidget() || m_menuBar->hasFocus()) return false;
      OnCommand(1193);
      return true;
    case Qt::Key_F:
      if (control) OnCommand(1001);
      return false;
    case Qt::Key_P:
      if (control) OnCommand(199);
      return false;
    case Qt::Key_W:
      if (control) OnCardTool();
      return false;
    default:
      return false;
  }
}

bool MainDialog::currentSetQuestionIds(std::vector<int>& out) {
  std::deque<int> ids;
  if (!pdb3::nonEmptyQuestionIds(pdb3::openQuery(m_pApp.db), m_pApp.currentSetId, ids)) {
    reportFailedRead(this, L"問題集の問題を読み込めませんでした。");
    return false;
  }
  out.assign(ids.begin(), ids.end());
  return true;
}

void MainDialog::OnQuestionList() {
  if (m_strSetPath.empty() || m_bFolderSelected) return;
  std::vector<int> ids;
  if (!SelectStudyQuestions(ids)) return;
  QuestionPreviewDlg dialog(m_pApp, std::deque<int>(ids.begin(), ids.end()), m_strSetPath, this);
  dialog.DoModal();
}

void MainDialog::OnHomePage() {
  if (platform::messageBox(this, L"作者のサイトを開きますか？", L"Open URL", platform::MbYesNo) != platform::IdYes) return;
  ShellOpen(makerAddress() + L"?t=r:KLV" + kProgramVersion);
}

bool MainDialog::OnReloadDatabase() { return ShowReload(m_pApp.ReopenDatabase(this)); }

bool MainDialog::ShowReload(Reopened reopened) {
  // Without a database or a user nothing here can work: the dialog closes.
  if (reopened == Reopened::closing) {
    reject();
    return false;
  }
  if (reopened == Reopened::takenUp) ShowReopenedDatabase();
  return true;
}

void MainDialog::ShowReopenedDatabase() {
  ForgetWhatThePagesRead();  // the file may be another, and so may its user
  // The set is known by its path: its id in the file before means another row here, or none. With
  // none chosen before, none is looked for: the learner chooses one when they wish.
  const std::wstring chosen = m_strSetPath;
  const pdb3::FirstRow set = setChosen() ? selectChosenPath(chosen) : pdb3::FirstRow::found;
  if (set != pdb3::FirstRow::found) {
    // The file is studied all the same, from its smart-learning list, and a set may be chosen
    // later: until then the commands that need one are off, as for a folder.
    ChooseNoSet();
    if (set == pdb3::FirstRow::failed) {
      // A set that could not be read is not missing: the learner is told why, not asked for another.
      reportFailedRead(this, L"問題集を読み込めませんでした。");
    } else if (ChooseSet() != SetChoice::chosen) {
      platform::messageBox(this,
                           L"このデータベースには問題集「" + chosen +
                               L"」がありません。\n問題集を選択するまで、問題集を使うコマンドは使えません。",
                           kAppCaption);
    }
  }
  ShowPage(m_nCurPage);  // the page's set: the one chosen, or the smart-learning list
  ShowUsersOwnParts();
}

void MainDialog::OnUsers() {
  const int32_t user = m_pApp.currentUserId;
  CUserManageDlg users(m_pApp, this);
  // The same user's study records stay as the pages read them; a rename of that user is kept at
  // once, whatever the dialog's end, and takes the ranking account along: the name and that
  // account are all there is to show again.
  if (users.DoModal() != platform::IdOk || m_pApp.currentUserId == user) {
    ShowUsersOwnParts();
    return;
  }
  OnUserChanged();
}

void MainDialog::OnAbout() {
  CAboutDlg about(this);
  about.DoModal();
  UpdateTitle();
}

void MainDialog::OnEditor() {
  ShowReload(RunEditor(m_pApp, this));
}

void MainDialog::OnMakeShortcut() {
  if (m_strShortcutPath.empty()) return;
  MakeDesktopShortcut(this, m_strShortcutPath, m_nQuestion);
}

void MainDialog::OnExport() {
  // The page's choice as it stands when the export opens; without one only the whole set goes.
  std::vector<int> chosen;
  CQuestionExportDlg::PageSelection pageSelection;
  if (SelectStudyQuestions(chosen)) {
    pageSelection = [chosen](std::deque<int>& ids) {
      ids.assign(chosen.begin(), chosen.end());
      return true;
    };
  }
  CQuestionExportDlg dialog(m_pApp, m_strSetPath, pageSelection, this);
  runModalDialog(dialog);
}

void MainDialog::OnSearch() {
  CSearchDlg dialog(m_pApp, std::wstring(), this);
  runModalDialog(dialog);
}

void MainDialog::OnPrint() {
  std::vector<int> ids;
  if (!currentSetQuestionIds(ids)) return;
  CPrintPreviewDlg dialog(m_pApp, &m_pApp.pronouncingDictionary, m_strSetPath, ids, this);
  runModalDialog(dialog);
}

void MainDialog::OnCardTool() {
  if (!setChosen()) return;  // no questions to lay out on cards
  std::vector<int> ids;
  if (!currentSetQuestionIds(ids)) return;
  CPrintToolDlg dialog(m_pApp, &m_pApp.pronouncingDictionary, ids, this);
  runModalDialog(dialog);
}

void MainDialog::OnOptions() {
  const std::wstring named = m_pApp.settings->databasePath.value;
  RunOptionsDialog(m_pApp, m_soundQueue, this);
  // Another database file named is opened and taken up at once, as the reload does, which reads
  // the pages there; one that cannot be had leaves the file that is open.
  if (m_pApp.settings->databasePath.value == named) {
    RefreshPages();
  } else {
    const Reopened reopened = m_pApp.ReopenDatabase(this, KlvApp::Reload::namedFile);
    if (!ShowReload(reopened)) return;
    // The file kept open still shows the dialog's other changes (a question count, the mode).
    if (reopened != Reopened::takenUp) RefreshPages();
  }
  update();
  m_outlookBar->repaint();
}

void MainDialog::OnModeDialog() {
  study::CTransModeDlg dialog(this);
  if (runModalDialog(dialog) == platform::IdOk) SetStudyMode(dialog.mode());
}
