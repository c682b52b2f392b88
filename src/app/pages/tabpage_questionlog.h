// The main dialog's per-question log page: every question of the chosen set with the user's
// answer counts, correct rate and last study in the current mode, checks set by hand or by rule,
// and the commands on the checked or selected questions (study, delete their log, copy them into
// another set, adjust counts, pronounce, search, edit, spell check).
#pragma once

#include <QWidget>
#include <map>
#include <memory>
#include <deque>
#include <optional>
#include <set>
#include <vector>

#include "app/pages/id_list_model.h"
#include "app/pages/section_rows.h"
#include "database/records/question.h"
#include "database/logs/question_log.h"
#include "services/database_failure.h"

class KlvApp;
class MainDialogHost;
class QCheckBox;
class QLineEdit;
class QMenu;
class QPushButton;
class QTableView;
class WordAfterInput;

class CTabpageQuestionlog : public QWidget, public IdRowSource {
  Q_OBJECT

 public:
  // Menu commands of the page.
  enum Command {
    kCheckWorst = 162, kDeleteHistory = 169, kCorrectPlus10 = 172, kIncorrectPlus10 = 185, kPronounce = 198,
    kCopy = 1000, kSearch = 1001, kEdit = 1003, kCheckLastMistakes = 32809, kCheckRandom = 32799,
    kInvertChecks = 32800, kClearChecks = 32801, kWorst10 = 32806, kWorst20 = 32807, kWorst30 = 32808,
    kRateBelow90 = 32830, kRateBelow80 = 32829, kRateBelow70 = 32828, kRateBelow60 = 32831,
    kRateBelow50 = 32832, kRateBelow40 = 32833, kRateBelow30 = 32834,
  };

  CTabpageQuestionlog(KlvApp& app, MainDialogHost& host, QWidget* parent = nullptr);

  // Reads how many questions the set holds; the ids, texts and logs of the rows in view are read
  // when they are about to show. False (the list empty) when the set cannot be read.
  bool ReloadList();
  // Empties the list (checks and caches too) until it is read again.
  void ClearList();
  void OnColumnClick(int column);
  // A click on a row's icon toggles checks (of every selected row when it is one of them).
  void OnListClick(int row, bool onIcon);
  void UpdateCheckedCount();
  // False when no row is checked, or (said) when the ids of checked rows never shown cannot be read
  // or the set has changed since it was listed (the list is then read again, without checks). A
  // command that changes the database says a failed read as the change it keeps from being made.
  bool GetCheckedQuestionIds(std::vector<int>& out, FailureReport say);
  // The n weakest questions, or all below n percent; with the include-unstudied box the questions
  // never studied in this mode come first.
  void CheckWorstQuestions(int n, bool byRate);
  // The questions answered wrong at first in the latest study of this set, user and mode.
  void CheckLastMistakes();
  void OnCheckRandom();
  void OnStudySelected();
  void OnIncludeReanswersClicked();
  // The right-click menu for the rows selected now (null without a selected row).
  std::unique_ptr<QMenu> OnListRClick();
  bool OnCommand(int id);
  void AdjustCounts(int step, bool correct);
  void OnEditQuestion();
  void OnSearch();
  void OnDeleteCheckedHistory();
  void OnCopyCheckedQuestions();
  void SpellCheck();

  // The list's rows; the image is the row's check.
  int listRowCount() const override { return m_rows.size(); }
  bool rowText(int row, int column, std::wstring& text) override;
  int rowImage(int row) override;
  bool readRows(int first, int last, RowRead why) override;

  // The rows' question ids; SectionRows::kUnread for a row not read yet.
  const std::vector<int>& rowIds() const { return m_rows.ids(); }
  const std::set<int>& checkedRows() const { return m_checkedRows; }
  void setChecked(int row, bool checked);
  int selectCount() const { return m_nSelectCount; }
  QTableView& list() { return *m_listCtrl; }
  // Collects the selected rows as the commands see them.
  void collectSelectedRows();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // What a read of rows by their place in the set came to: read, not read (the file refused), or
  // not read because the set is no longer the one listed (another program changed it).
  enum class SetRead { read, failed, changed };

  // A list of `count` rows of the set, none read yet, as the file was at `changeCount`.
  void setRowCount(int count, int changeCount = 0);
  // Reads rows first..last (ids where not read yet, questions and logs); their figures dropped when
  // they cannot be read. Says nothing: the caller does, in its own words.
  SetRead readRange(int first, int last);
  // Inside the caller's read transaction: whether rows may still be read by their place. When
  // another connection has written to the file since the list agreed with it last, every id is read
  // and compared with the rows read before.
  SetRead confirmSetAsListed(const pdb3::DbObject& accessor);
  // Reads the ids of every row when one of these rows has none yet.
  SetRead readIdsOfRows(const std::vector<int>& rows);
  // Reads the id of every row not read yet, when the set still agrees with the rows read before.
  SetRead readAllIds();
  // True when read; else says why: a failure in the words given, a changed set by reading the list
  // again (the command not run).
  bool readOrSay(SetRead outcome, const std::wstring& failure, FailureReport say);
  // Reads the list again after another program changed its set, and says so: at once when the
  // learner's command was not run for it (`duringCommand`), else once the input that scrolled is over.
  void reloadChangedSet(bool duringCommand);
  // The questions and logs of these ids read into the caches, in one statement; false when they
  // cannot be read.
  bool readIds(const std::vector<int>& qids);
  // The rows' questions read where they are not read yet; false (after saying why) when they cannot be.
  bool ensureRowsRead(const std::vector<int>& rows, FailureReport say);
  // How many checked rows hold a question with text (a question the set lists twice is two rows);
  // false when it cannot be read.
  bool countCheckedQuestions(int& count);
  // Says that the command could not read or write the database.
  void reportFailure(const std::wstring& what, FailureReport say);
  // Replaces the checks by those of the rows of these questions.
  void checkQuestions(const std::vector<int>& qids);
  const pdb3::Question* cachedQuestion(int row) const;
  const pdb3::QuestionLog* cachedLog(int qid) const;
  // The number of questions the count box asks for: the default question count when it holds a
  // number below 1; none when it holds no number (the user has been told).
  std::optional<int> readSelectCount();
  void showMenu(int menuId, QPushButton* button);
  void redrawList();
  // Looks the first selected row's question up in the web dictionary of the command.
  void OnWebDictionaryCommand(int id);

  KlvApp& app_;
  MainDialogHost& host_;
  IdListModel model_;
  QTableView* m_listCtrl;
  SectionRows m_rows;
  std::set<int> m_checkedRows;
  std::vector<int> m_selectedRows;
  std::map<int, pdb3::Question> m_questionCache;
  std::map<int, pdb3::QuestionLog> m_logCache;
  int m_nSelectCount = 0;
  QLineEdit* countBox_;
  QCheckBox* includeReanswers_;
  QCheckBox* includeUnstudied_;
  QPushButton* studyButton_;
  QPushButton* checkMenuButton_;
  QPushButton* worstMenuButton_;
  bool spellChecking_ = false;
  bool escapePressed_ = false;
  bool reloadingChangedSet_ = false;
  WordAfterInput* afterInput_;  // the page's child: what reading the rows in view finds
};
