#include "app/pages/delete_smartlearning_dialog.h"

#include <QListWidget>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "database/folders/folders.h"
#include "database/engine/sql_helpers.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "services/database_failure.h"

CDeleteSmartlearningQuestionDlg::CDeleteSmartlearningQuestionDlg(KlvApp& app, QWidget* parent)
    : QDialog(parent), app_(app) {
  setUpDialog(this, 285, L"問題集の削除", 400, 300);
  dialogText(this, L"削除したい問題集を選んで実行ボタンを押してください", QRect(10, 8, 380, 22));
  list_ = dialogControl<QListWidget>(this, 1069, QRect(10, 34, 380, 218));
  dialogButton(this, 1, L"実行(&R)", QRect(200, 262, 90, 28));
  dialogButton(this, 2, L"キャンセル(&C)", QRect(300, 262, 90, 28));
}

int CDeleteSmartlearningQuestionDlg::DoModal() {
  if (!OnInitDialog()) return platform::IdCancel;
  return runModalDialog(*this);
}

bool CDeleteSmartlearningQuestionDlg::OnInitDialog() {
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int binder = app_.smartLearningSetId;
  std::vector<int> candidates;
  if (!pdb3::querySqlfIntList(accessor, candidates,
                              L"SELECT DISTINCT sid FROM section WHERE qid IN (SELECT qid FROM section WHERE sid = %d) "
                              L"AND sid != %d ORDER BY sid",
                              binder, binder)) {
    reportFailedRead(this, L"問題集リストの取得に失敗しました");
    return false;
  }
  if (candidates.empty()) {
    platform::messageBox(this, L"問題リストが空です", kAppCaption);
    return false;
  }
  list_->clear();
  for (size_t i = 0; i < candidates.size(); ++i) {
    std::wstring path;
    if (!pdb3::getElementPath(accessor, path, candidates[i])) {
      reportFailedRead(this, L"問題集リストの取得に失敗しました");
      return false;
    }
    auto* item = new QListWidgetItem(QString::fromStdWString(path));
    item->setData(Qt::UserRole, candidates[i]);
    list_->insertItem(static_cast<int>(i), item);
  }
  return true;
}

void CDeleteSmartlearningQuestionDlg::accept() {
  const QListWidgetItem* item = list_->currentItem();
  if (!item || !item->isSelected()) return;
  const pdb3::DbObject accessor = pdb3::openQuery(app_.db);
  const int set = item->data(Qt::UserRole).toInt();
  const int binder = app_.smartLearningSetId;
  std::wstring path;
  int count = 0;
  // The question names what goes: without its figures nothing is asked, and nothing deleted.
  if (!pdb3::getElementPath(accessor, path, set) ||
      !pagereads::readInt(accessor,
                          platform::format(L"SELECT count(*) FROM section WHERE qid IN (SELECT qid FROM section WHERE "
                                           L"sid = %d) AND sid = %d",
                                           set, binder),
                          count)) {
    reportUnmadeChange(this, L"削除する問題を読み込めませんでした。");
    return;
  }
  const std::wstring question =
      platform::format(L"以下の問題を削除してもよろしいですか？\n\n問題集：%ls\n問題数：%d", path.c_str(), count);
  if (platform::messageBox(this, question, kAppCaption, platform::MbYesNo) != platform::IdYes) return;
  if (!pdb3::execSqlf(accessor, L"DELETE FROM section WHERE qid IN (SELECT qid FROM section WHERE sid = %d) AND sid = %d",
                      set, binder)) {
    reportUnmadeChange(this, L"削除に失敗しました");
    return;
  }
  QDialog::accept();
}
