#include "app/main/select_section_dialog.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/main/folder_tree.h"
#include "app/shell/desktop_shortcut.h"
#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/main/note_browser.h"
#include "database/logs/element_log.h"
#include "database/folders/folders.h"
#include "database/folders/section_questions.h"
#include "services/database_failure.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/sqlite_cursor.h"
#include "database/engine/write_transaction.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"

namespace {

QString qs(const std::wstring& text) { return QString::fromStdWString(text); }

constexpr wchar_t kUnreadableChoice[] = L"選択した項目を読み込めませんでした。";

}  // namespace

CSelectSectionDlg::CSelectSectionDlg(const pdb3::DbObject& query, KlvApp& app, QWidget* parent)
    : QDialog(parent), m_pQuery(query), m_pApp(app) {
  setUpDialog(this, 236, L"問題集の選択", 560, 420);
  prompt_ = dialogControl<QLabel>(this, 1198, QRect(10, 8, 540, 22));
  m_tree = dialogControl<CMyFolderTreeCtrl>(this, 1211, QRect(10, 34, 270, 336));
  m_browser = dialogControl<CExplorer1>(this, 1224, QRect(290, 34, 260, 296));
  dialogText(this, L"問題数", QRect(290, 340, 60, 24));
  count_ = readOnlyField(dialogControl<QLineEdit>(this, 1190, QRect(350, 340, 90, 24)));
  QPushButton* remove = dialogButton(this, 3, L"削除(&D)", QRect(10, 380, 90, 28));
  ok_ = dialogButton(this, 1, L"選択(&O)", QRect(360, 380, 90, 28));
  dialogButton(this, 2, L"キャンセル", QRect(460, 380, 90, 28));

  connect(m_tree, &QTreeWidget::itemSelectionChanged, this, &CSelectSectionDlg::OnSelChanged);
  connect(m_tree, &QTreeWidget::itemDoubleClicked, this, &CSelectSectionDlg::OnTreeDoubleClick);
  connect(m_tree, &CMyFolderTreeCtrl::enterPressed, this, &CSelectSectionDlg::OnTreeEnter);
  connect(m_tree, &CMyFolderTreeCtrl::contextCommand, this, &CSelectSectionDlg::OnTreeCommand);
  connect(remove, &QPushButton::clicked, this, &CSelectSectionDlg::OnDelete);
}

int CSelectSectionDlg::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

void CSelectSectionDlg::OnInitDialog() {
  prompt_->setText(qs(m_strPrompt));
  RebuildTree();
  if (!m_tree->SelectEidFromRoot(m_nEid)) OnSelChanged();
}

bool CSelectSectionDlg::RebuildTree() {
  if (m_tree->BuildTree(m_pQuery)) return true;
  // The tree shows what it showed before, or nothing: told even after another failure of the action.
  reportViewNotReread(this, L"問題集とフォルダの一覧を読み込めませんでした。");
  return false;
}

void CSelectSectionDlg::RebuildTreeWithout(int eid) {
  if (RebuildTree()) return;
  // Known to be gone, the element leaves the tree that could not be read again.
  delete m_tree->FindItemByEid(eid, m_tree->topLevelItem(0));
}

pdb3::FirstRow CSelectSectionDlg::readIsFolder(int eid, bool& folder) const {
  // The root has no row of its own, but it is a folder all the same.
  int type = pdb3::kFolderElement;
  const pdb3::FirstRow row = eid == 0 ? pdb3::FirstRow::found : pdb3::readElementType(m_pQuery, eid, type);
  if (row == pdb3::FirstRow::found) folder = type == pdb3::kFolderElement;
  return row;
}

bool CSelectSectionDlg::readIsFolderOrSay(int eid, bool& folder) {
  const pdb3::FirstRow row = readIsFolder(eid, folder);
  if (row == pdb3::FirstRow::failed) reportFailedRead(this, kUnreadableChoice);
  if (row == pdb3::FirstRow::missing) platform::messageBox(this, kNoSuchSet, kAppCaption);
  return row == pdb3::FirstRow::found;
}

void CSelectSectionDlg::OnSelChanged() {
  const int eid = m_tree->GetSelectedEid();
  if (eid < 0) {
    // Nothing is chosen, as after a deletion: nothing of the element chosen before stays shown.
    ok_->setEnabled(false);
    m_strCount.clear();
    count_->clear();
    m_browser->clear();
    return;
  }
  // An element whose type is not known is no choice, whatever the kind asked for.
  bool folder = false;
  const bool known = readIsFolder(eid, folder) == pdb3::FirstRow::found;
  ok_->setEnabled(known && (m_nKind == kProblemSets ? !folder : m_nKind == kFolders ? folder : true));
  const int count = known && !folder ? pdb3::countUsableQuestions(m_pQuery, eid) : -1;
  m_strCount = known && folder ? L"" : count < 0 ? L"-" : std::to_wstring(count);
  count_->setText(qs(m_strCount));
  ShowElementDescription(*m_browser, m_pQuery, eid, m_pApp.notePagePath);
}

// An element that could not be read is no folder to open: it goes to accept, which says why.
bool CSelectSectionDlg::knownFolder(int eid) const {
  bool folder = false;
  return readIsFolder(eid, folder) == pdb3::FirstRow::found && folder;
}

void CSelectSectionDlg::OnTreeDoubleClick() {
  const int eid = m_tree->GetSelectedEid();
  if (eid >= 0 && !knownFolder(eid)) accept();
}

void CSelectSectionDlg::OnTreeEnter() {
  const int eid = m_tree->GetSelectedEid();
  if (eid < 0) return;
  if (!knownFolder(eid)) {
    accept();
    return;
  }
  // A folder opens (or closes) as by a double click.
  if (QTreeWidgetItem* folder = m_tree->selectedItems().value(0)) folder->setExpanded(!folder->isExpanded());
}

void CSelectSectionDlg::OnTreeCommand(int command) {
  const int eid = m_tree->clickedEid();
  if (command != CMyFolderTreeCtrl::kMakeShortcutCommand || eid < 1) return;
  bool folder = true;
  if (!readIsFolderOrSay(eid, folder) || folder) return;
  std::wstring shortcutPath;
  if (!pdb3::getElementPath(m_pQuery, shortcutPath, eid)) {
    reportFailedRead(this, kUnreadableChoice);
    return;
  }
  // The count offered is the clicked set's own, not that of the set chosen in the main window.
  const int count = pdb3::countUsableQuestions(m_pQuery, eid);
  if (count < 0) {
    reportFailedRead(this, L"問題数を読み込めませんでした。");
    return;
  }
  MakeDesktopShortcut(this, shortcutPath, count);
}

void CSelectSectionDlg::accept() {
  const int eid = m_tree->GetSelectedEid();
  bool folder = true;
  if (eid < 0 || !readIsFolderOrSay(eid, folder)) return;
  if (m_nKind == kProblemSets && folder) {
    platform::messageBox(this,
                         L"選択した項目は問題集ではありません。\n\n・左側に [+] が付いている項目は問題集ではありません\n"
                         L"・[+] をクリックして、問題集を選択してください",
                         kAppCaption);
    return;
  }
  std::wstring path;
  if (!pdb3::getElementPath(m_pQuery, path, eid)) {
    reportFailedRead(this, kUnreadableChoice);
    return;
  }
  m_strPath = path;
  m_nEid = eid;
  QDialog::accept();
}

void CSelectSectionDlg::OnDelete() {
  const int eid = m_tree->GetSelectedEid();
  if (eid < 1) return;
  // The learner is asked with the name of what goes, or nothing goes.
  std::wstring name;
  const pdb3::FirstRow named =
      pdb3::readFirstRow(m_pQuery, platform::format(L"SELECT name FROM element_info WHERE eid = %d", eid),
                         [&](const sqliteplus::SqliteCursor& row) { name = row.getString(0); });
  if (named == pdb3::FirstRow::failed) {
    reportUnmadeChange(this, L"削除する項目を読み込めませんでした。");
    return;
  }
  if (named == pdb3::FirstRow::missing) {
    platform::messageBox(this, kNoSuchSet, kAppCaption);
    RebuildTreeWithout(eid);
    return;
  }
  const std::wstring question = platform::format(
      L"！！注意！！\n%ls を削除してもよろしいですか？\n（一度削除してしまうと元に戻すことはできません）", name.c_str());
  if (platform::messageBox(this, question, kAppCaption, platform::MbYesNo | platform::MbIconWarning) != platform::IdYes)
    return;
  // The whole subtree goes, or nothing of it.
  if (!pdb3::runInTransaction(m_pQuery, [&] { return pdb3::deleteElementTree(m_pQuery, eid); })) {
    // Nothing changed: the tree stays as the learner saw it, the element still chosen.
    reportUnmadeChange(this, L"削除に失敗しました");
    return;
  }
  m_bDeleted = true;
  restoreSmartLearningSet();
  RebuildTreeWithout(eid);
  m_tree->SelectEidFromRoot(eid);
}

void CSelectSectionDlg::restoreSmartLearningSet() {
  // A run that started without the set has said so already.
  if (m_pApp.smartLearningSetId < 0) return;
  const pdb3::FirstRow kept = pdb3::lookUpElement(m_pQuery, m_pApp.smartLearningSetId);
  if (kept == pdb3::FirstRow::found) return;
  // Not known to be gone, the set stays in use: a second one would split the list.
  if (kept == pdb3::FirstRow::failed) {
    reportFailedRead(this, L"スマート学習リストを確認できませんでした。");
    return;
  }
  // Deleted with the tree: made again, or when next needed if the file cannot take it now.
  m_pApp.smartLearningSetId = -1;
  m_pApp.EnsureSmartLearningSet(this, reportUnmadeChange);
}
