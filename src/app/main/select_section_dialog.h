// Choosing a problem set (or, for some callers, a folder) from the whole tree, with the chosen
// element's question count and description; an element can be deleted with everything below it.
#pragma once

#include <QDialog>
#include <string>

#include "database/engine/sql_helpers.h"
#include "database/records/db_object.h"

class CExplorer1;
class CMyFolderTreeCtrl;
class KlvApp;
class QLabel;
class QLineEdit;
class QPushButton;

// Said when the element chosen is not in the database (any more).
inline constexpr wchar_t kNoSuchSet[] = L"そのような問題集（またはフォルダ）は存在しません。";

class CSelectSectionDlg : public QDialog {
  Q_OBJECT

 public:
  enum Kind { kProblemSets = 0, kFolders = 1, kAnything = 2 };

  // query: the caller's accessor, on the application's connection.
  CSelectSectionDlg(const pdb3::DbObject& query, KlvApp& app, QWidget* parent = nullptr);

  // Set m_strPrompt, m_nEid and m_nKind first; after OK read m_nEid and m_strPath.
  int DoModal();
  // Fills the tree and selects m_nEid (DoModal does it first); a tree that could not be read
  // whole is said.
  void OnInitDialog();
  // OnOK: the selected element, when it is of a kind that may be chosen; one that could not be
  // read, or is gone, is said and not chosen.
  void accept() override;
  // Deletes the selected element (not the root) with everything below it, after asking with its
  // name; without a name that could be read nothing is asked or deleted.
  void OnDelete();
  // Whether anything was deleted while the dialog was open: what the window shows of it is stale,
  // whatever the learner chose then.
  bool deletedAny() const { return m_bDeleted; }

  CMyFolderTreeCtrl& tree() { return *m_tree; }
  CExplorer1& browser() { return *m_browser; }

  std::wstring m_strPrompt;
  std::wstring m_strPath;
  int m_nEid = -1;
  int m_nKind = kProblemSets;
  std::wstring m_strCount;

 private:
  void OnSelChanged();
  void OnTreeDoubleClick();
  // Enter in the tree: a set is chosen, a folder opens or closes.
  void OnTreeEnter();
  // The tree's pop-up menu: a desktop shortcut that studies the set right-clicked.
  void OnTreeCommand(int command);
  // Whether the element is a folder (the root is one); missing or failed leave `folder` as it was.
  pdb3::FirstRow readIsFolder(int eid, bool& folder) const;
  // As readIsFolder, saying why when the element is gone or could not be read.
  bool readIsFolderOrSay(int eid, bool& folder);
  bool knownFolder(int eid) const;
  // False, with the learner told, when the tree could not be read again: it shows what it showed.
  bool RebuildTree();
  // After the element was found gone: when the tree cannot be read again, it is taken out of the
  // tree as it stands.
  void RebuildTreeWithout(int eid);
  // The set and folder that collect smart learning are made again at once when a deletion took
  // them, so that nothing is ever added to a set that no longer exists.
  void restoreSmartLearningSet();

  pdb3::DbObject m_pQuery;
  KlvApp& m_pApp;
  QLabel* prompt_;
  CMyFolderTreeCtrl* m_tree;
  CExplorer1* m_browser;
  QLineEdit* count_;
  QPushButton* ok_;
  bool m_bDeleted = false;
};
