// Questions of the whole database found by the beginning of their answers. The hits fill the list
// one per timer tick (one query each), so the dialog answers the user while a long list fills;
// 101 hits at most are shown, followed by "..." when there may be more. A search the database
// refuses says so with its cause: a list that stops early keeps the rows read whole and ends in "...".
#pragma once

#include <QDialog>
#include <QTimer>
#include <memory>
#include <string>
#include <vector>

#include "database/records/question.h"

class KlvApp;
class QMenu;
class QTreeWidget;
class QTreeWidgetItem;

class CSearchDlg : public QDialog {
  Q_OBJECT

 public:
  // A preset word is searched for as soon as the dialog is up.
  explicit CSearchDlg(KlvApp& app, std::wstring word = {}, QWidget* parent = nullptr);

  bool searching() const { return m_nNext >= 0; }

  void OnSearch();
  void OnEdit();
  // The enabled English-Japanese dictionaries, to look the typed word up in.
  std::unique_ptr<QMenu> webDictionaryMenu();
  void OnWebDictionaryMenu(const QPoint& at);
  void OnWebDictionaryCommand(int command);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The three columns of a row, read whole before the row is shown.
  struct Hit {
    std::wstring answers, questions, setPath;
  };

  void OnFillTimer();
  // One tick of the fill: shows the ids fetched so far, then fetches the next one. False when the
  // database refused a read: the rows shown are those read whole.
  bool FillStep();
  // Stops a running fill; the list ends in "..." when it was stopped (or full) at 101 rows.
  void StopFill(bool markMore);
  // The row of the question: its texts and the path of its first set (empty for none). False when
  // any of it could not be read.
  bool ReadHit(int qid, Hit& hit) const;
  void FillRow(QTreeWidgetItem* row, const Hit& hit);
  // The qids of the answers that begin with the word, in answer order, from `offset` on, appended
  // to `ids`. False when they could not be read.
  bool readMatchingIds(int offset, int count, std::vector<int>& ids) const;

  KlvApp& m_pApp;
  pdb3::DbObject accessor_;
  std::wstring m_strWord;
  QTreeWidget* m_list;
  std::vector<int> m_ids;
  int m_nNext = -1;
  QTimer presetTimer_;
  QTimer fillTimer_;
};
