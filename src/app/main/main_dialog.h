// The program's main window: the chosen problem set and study mode, the pages about them, the
// commands of its menu, toolbar and keys, and the one road into a study. It owns the sound queue
// every study plays through.
#pragma once

#include <QDialog>
#include <array>
#include <map>
#include <string>
#include <vector>

#include "app/main/main_dialog_host.h"
#include "app/shell/reopened.h"
#include "database/engine/sql_helpers.h"
#include "platform/windows/command_target.h"
#include "services/database_failure.h"
#include "study/sound/sound_queue.h"

class CMainOutlookBar;
class KlvApp;
class CTabpageLoginfo;
class CTabpageQuestionlog;
class CTabpageRanking;
class CTabpageSelsection;
class CTabpageSmartlearning;
class CUxCaptionBar;
class QAction;
class QComboBox;
class QKeyEvent;
class QLabel;
class QMenu;
class QMenuBar;
class QPushButton;
class QStatusBar;
class QToolBar;
class QuietRetry;

class MainDialog : public QDialog, public MainDialogHost, public platform::CommandTarget {
  Q_OBJECT

 public:
  static constexpr int kPageCount = 5;
  // Window size limits; the settings' window size is held to them.
  static constexpr int kMinWidth = 780, kMinHeight = 560, kMaxWidth = 1014, kMaxHeight = 728;

  explicit MainDialog(KlvApp& app, QWidget* parent = nullptr);
  ~MainDialog() override;

  // Initialises and runs the dialog; -1 when no problem set could be chosen at the start.
  int DoModal();
  // Everything up to the first page; false when the dialog ended with -1 (no set to study).
  // With an autorun on the command line, the window is hidden and its study runs first.
  bool OnInitDialog();

  // A command of the menu, toolbar, buttons or keys; false when it is unknown or disabled.
  bool OnCommand(int id);
  bool commandEnabled(int id) const;
  QAction* commandAction(int id) const;

  void ShowPage(int page);
  // The bar's page 1 shows the smart-learning page; its page 2 the learning page, when the
  // ranking or smart-learning page is showing.
  void OnOutlookBarSelect(int barPage);
  // False only before the application is known.
  bool SelectModeInCombo();
  void UpdateStatusAndCaption();
  // False when the counts cannot be read (they are shown as none then, and nothing is reset).
  bool UpdateRoundCounters();
  // What came of asking for a set: one chosen, or none, the last choice (said) not looked up or not.
  enum class SetChoice { chosen, cancelled, cancelledAfterFailedLookUp };
  // Asks for a set (or folder) in the tree until one chosen is found or the learner cancels.
  SetChoice ChooseSet();
  void AddRecentSet(const std::wstring& path);
  void SetStudyMode(int mode);
  void OnModeComboChange(int index);
  void OnRecentComboChange(int index);
  // After the user changed: the pages read for the new user, the ranking account theirs, the
  // smart-learning page's choice, figures and graphs theirs and the title naming them.
  void OnUserChanged();
  // The questions of the latest study, or only its first-answer mistakes, studied again.
  bool StudyLastQuestions(bool mistakesOnly);

  QWidget* page(int index) const { return pages_.at(index); }
  CTabpageSelsection& setPage() const { return *m_pageSelsection; }
  CTabpageLoginfo& learningPage() const { return *m_pageLoginfo; }
  CTabpageQuestionlog& questionLogPage() const { return *m_pageQuestionlog; }
  CTabpageRanking& rankingPage() const { return *m_pageRanking; }
  CTabpageSmartlearning& smartLearningPage() const { return *m_pageSmartlearning; }
  QComboBox& recentCombo() const { return *m_recentCombo; }
  QComboBox& modeCombo() const { return *m_modeCombo; }
  QStatusBar& statusBar() const { return *m_statusBar; }
  QMenuBar& menuBar() const { return *m_menuBar; }
  CMainOutlookBar& outlookBar() const { return *m_outlookBar; }
  CUxCaptionBar& captionBar() const { return *m_captionBar; }
  // The name of page 0..4 as the bar and the caption show it.
  static std::wstring pageName(int page);

  // MainDialogHost
  int questionCount() const override { return m_nQuestion; }
  int translatedCount() const override { return m_nTranslated; }
  int remainCount() const override { return m_nRemain; }
  bool folderSelected() const override { return m_bFolderSelected; }
  int totalCorrects() const override { return m_nTotalCorrects; }
  int totalIncorrects() const override { return m_nTotalIncorrects; }
  int currentPage() const override { return m_nCurPage; }
  std::wstring setPath() const override { return m_strSetPath; }
  bool StartStudyAndRefresh(const std::wstring& title, const std::vector<int>& ids) override;
  bool SelectStudyQuestions(std::vector<int>& ids) override;
  void RefreshPages() override;
  void RereadWhenFree(const QWidget& page) override;
  void UpdateTitle(const std::wstring& text = std::wstring()) override;
  QWidget* dialogWindow() override { return this; }
  SoundQueue& soundQueue() override { return m_soundQueue; }
  void UpdateRankingPage() override;

  // platform::CommandTarget: the bars' commands and their states.
  bool onCommand(unsigned id, int notifyCode) override;
  void onUpdateCommandUi(platform::CommandUi& state) override;
  std::wstring messageString(unsigned id) const override;

 protected:
  bool event(QEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  // What a refresh that could not read what the pages show says.
  static constexpr wchar_t kPagesUnread[] = L"問題集の学習履歴を読み込めませんでした。";
  // The recent-set chooser's last entry, which asks for a set in the tree; it is known by its text.
  static constexpr wchar_t kChooserEntry[] = L"<< 問題集の選択... >>";

  void buildMenu();
  void buildToolBar();
  void setToolBarImages();
  void buildChoosers();
  void buildBars();
  QAction* addCommand(QMenu* menu, int id, const wchar_t* text);
  // Lays bars, choosers and pages out for a client area of cx by cy below the menu bar.
  void OnSize(int cx, int cy);
  // Grays the commands that need a problem set while a folder (or nothing) is chosen, and the
  // print window while nothing is.
  void UpdateCommandStates();
  // True for a key the dialog handles itself (it is then not passed on).
  bool OnKeyDown(int key, Qt::KeyboardModifiers modifiers);
  // The visible control whose mnemonic the key (Alt and a letter or digit) is, else null.
  QWidget* mnemonicControl(const QKeyEvent& key) const;
  // What Alt and a control's letter does: a button is clicked, a label's buddy takes the focus.
  void pressMnemonic(QWidget* control);
  // The menu bar takes the keys: its titles open by their letters, the arrows move along it.
  void OpenMenuBarByKeys();
  void fillRecentCombo();
  void fillModeCombo();
  // Makes the element at the path the chosen one; nothing changes when it does not exist (missing)
  // or could not be looked up (failed).
  pdb3::FirstRow selectChosenPath(const std::wstring& path);
  // The same for the element the learner chose in the tree: taken by its id, since a path may lead
  // to another element as well (a set named "A/B" beside a folder A holding B); the path is what
  // the settings and the titles name it by.
  pdb3::FirstRow selectChosenElement(int eid, const std::wstring& path);
  bool setChosen() const { return m_nSetEid >= 0; }
  // No set chosen (the file has none of the name, or the chosen one was deleted): the pages read
  // none, the set's commands are off as for a folder, and the recent-set list names none of its
  // paths as chosen, so that each of them can be picked.
  void ChooseNoSet();
  // The recent-set list shows the chosen set (its first entry), or none while no set is chosen.
  void showChosenSetInCombo();
  // The set the pages read: the smart-learning list on its page, else the chosen set (or none).
  void takeUpPagesSet();
  void ApplyStudyMode(int mode);
  // The current set's questions that have text; false after saying so when they cannot be read.
  bool currentSetQuestionIds(std::vector<int>& out);
  void OnQuestionList();
  // Opens the settings' database file again and takes it up (KlvApp::ReopenDatabase), then shows
  // it (ShowReload); the settings are left naming the file that is open. False when the window closes.
  bool OnReloadDatabase();
  // After the database was opened again, maybe another file: the chosen set is found again by its
  // path there (a file without it asks for another, as a first start does), and the pages, the
  // smart-learning page, the ranking account and the title show the file for its user. A learner
  // who chooses no set stays on the file with none chosen, told so: the set's commands are off.
  // With none chosen before, none is looked for or asked for.
  void ShowReopenedDatabase();
  // After a reload (KlvApp::ReopenDatabase): a file taken up is shown afresh; without one to go on
  // with the window closes (false); the file kept open needs nothing.
  bool ShowReload(Reopened reopened);
  // The parts of the window that are the user's own and no page reads: the ranking account and
  // the title naming the user.
  void ShowUsersOwnParts();
  // Another file is open or another learner chosen: what the pages keep past a refresh (the smart
  // page's list, choice, counts and level history, the question log's rows) is dropped before
  // anything draws it or reads by its ids again. Every change of either passes through here.
  void ForgetWhatThePagesRead();
  void OnHomePage();
  // Users added, renamed, deleted or switched: everything is read again for the user now chosen.
  void OnUsers();
  void OnAbout();
  // The editor runs on the database meanwhile; a database that no longer opens and no other
  // chosen closes the dialog.
  void OnEditor();
  void OnMakeShortcut();
  void OnExport();
  void OnSearch();
  void OnPrint();
  void OnCardTool();
  void OnModeDialog();
  void OnOptions();
  void OnNewSetFromChecked();
  // The questions the page shown chooses (SelectStudyQuestions), a failure said in `say`'s way: a
  // study reads them, a new set made of them is a change.
  bool chooseQuestions(std::vector<int>& ids, FailureReport say);
  // The question-log page's list read again now when it shows, else emptied until the refresh that
  // shows it; false when it could not be read.
  bool RefreshQuestionLogPage();
  // What a refresh reads, part by part: a part a lock left unread is read again alone.
  enum PagePart : unsigned {
    kRoundFigures = 1,  // the round's counts and the set's information (the learning page shows them too)
    kQuestionLog = 2,
    kDescription = 4,
    kLearningPage = 8,
    kSmartPage = 16,
    kAllParts = 31,
  };
  // Whether a refresh goes on reading the parts after one that met a cause that may pass (a lock).
  enum class AfterALock { readOn, stop };
  // A whole refresh proposes afresh what the pages offer (a question count); a read again of what a
  // lock left unread keeps what the learner gave on them meanwhile.
  enum class Reading { afresh, again };
  // Reads the parts again; what cannot be read is said once, and read again by itself once it may be.
  void RefreshParts(unsigned parts, AfterALock afterALock, Reading reading);

  KlvApp& m_pApp;
  SoundQueue m_soundQueue;
  bool m_bPagesRead = true;  // the last refresh read what the pages show
  unsigned unreadParts_ = 0;  // PagePart: what is left to be read again
  // What a lock kept the last refresh (or a page) from reading: the pages are refreshed again
  // quietly until it lets go.
  QuietRetry* pagesRetry_ = nullptr;
  int m_nTranslated = 0;
  int m_nRemain = 0;
  int m_nQuestion = 0;
  int m_nTotalCorrects = 0;
  int m_nTotalIncorrects = 0;
  int m_nCurPage = -1;
  CTabpageSelsection* m_pageSelsection = nullptr;
  CTabpageLoginfo* m_pageLoginfo = nullptr;
  CTabpageQuestionlog* m_pageQuestionlog = nullptr;
  CTabpageRanking* m_pageRanking = nullptr;
  CTabpageSmartlearning* m_pageSmartlearning = nullptr;
  std::array<QWidget*, kPageCount> pages_{};
  QMenuBar* m_menuBar = nullptr;
  QToolBar* m_toolBar = nullptr;
  QStatusBar* m_statusBar = nullptr;
  CMainOutlookBar* m_outlookBar = nullptr;
  CUxCaptionBar* m_captionBar = nullptr;
  std::wstring m_strSetPath;
  // The chosen set or folder; -1 while none is.
  int m_nSetEid = -1;
  // The set a desktop shortcut is made for (32785).
  std::wstring m_strShortcutPath;
  bool m_bFolderSelected = false;
  QComboBox* m_modeCombo = nullptr;
  QComboBox* m_recentCombo = nullptr;
  std::map<int, QAction*> commands_;
  bool initialised_ = false;
  // While ShowPage opens the bar's group itself, the bar's news of it changes nothing.
  bool showingPage_ = false;
  // The key press last passed on, until a key is released.
  struct PassedOnKey {
    const QEvent* event = nullptr;
    int key = 0;
    Qt::KeyboardModifiers modifiers;
    bool operator==(const PassedOnKey&) const = default;
  };
  PassedOnKey passedOnKey_;
  // Shown again after being hidden (not restored after a study): the pages are read again.
  bool refreshOnShow_ = false;
  // A study reads the pages once when it ends: the window shown again under it (at once, or later
  // when the window system gets to it) does not read them, and say what it could not, a second time.
  bool studying_ = false;
  bool shownBefore_ = false;
};
