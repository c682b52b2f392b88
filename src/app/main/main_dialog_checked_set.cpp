// A new problem set made of the questions chosen on the page shown, beside the current set.
#include "app/shell/klv_app.h"
#include "app/main/main_dialog.h"
#include "app/common/modal_dialog.h"
#include "app/common/page_reads.h"
#include "app/pages/page_dates.h"
#include "app/shell/user_dialogs.h"
#include "database/records/element_record.h"
#include "database/folders/folders.h"
#include "database/folders/section_questions.h"
#include "database/engine/sql_helpers.h"
#include "database/engine/write_transaction.h"
#include "platform/clock.h"
#include "platform/windows/notifier.h"
#include "platform/trace.h"
#include "services/database_failure.h"

void MainDialog::OnNewSetFromChecked() {
  const pdb3::DbObject accessor = pdb3::openQuery(m_pApp.db);
  CInputNewSectionNameDlg nameDialog(this);
  nameDialog.m_strName =
      pdb3::elementName(accessor, m_pApp.currentSetId) + L" " + pageDateText(platform::nowSeconds());
  if (nameDialog.DoModal() != platform::IdOk) return;
  // The folder the new set goes into: one that cannot be read would put it nowhere to be seen.
  int parent = -1;
  if (!pagereads::readInt(accessor, platform::format(L"SELECT fid FROM folder WHERE eid=%d", m_pApp.currentSetId),
                          parent, -1)) {
    reportUnmadeChange(this, L"問題集を作成できませんでした。");
    return;
  }
  std::wstring name;
  if (!pdb3::uniqueElementName(accessor, parent, nameDialog.m_strName, name)) {
    reportUnmadeChange(this, L"問題集を作成できませんでした。");
    return;
  }
  std::vector<int> ids;
  if (!chooseQuestions(ids, reportUnmadeChange)) return;  // the set is not made
  std::wstring parentPath;
  if (parent >= 1 && !pdb3::getElementPath(accessor, parentPath, parent)) {
    reportUnmadeChange(this, L"問題集を作成できませんでした。");
    return;
  }
  const std::wstring question =
      platform::format(L"問題集\n\n%ls/%ls\n\nを作成します。\nよろしいですか？\n\n問題数：%d 個", parentPath.c_str(),
                       name.c_str(), static_cast<int>(ids.size()));
  if (platform::messageBox(this, question, kAppCaption, platform::MbYesNo) != platform::IdYes) return;

  // The set and its questions are made together: a failure leaves no half-filled set behind.
  std::wstring error = L"問題集を作成できませんでした。";
  bool nameTaken = false;
  const bool made = pdb3::runInTransaction(accessor, [&] {
    try {
      const pdb3::ElementRecord created = pdb3::AddBinder(pdb3::getFolder(accessor, parent), name);
      for (int qid : ids)
        if (!pdb3::insertSectionRow(accessor, created.eid(), qid)) return false;
      // The free name was looked for outside this transaction, by reads that take a failure for
      // "free": a second set of the name goes back.
      int named = 0;
      if (!pagereads::readInt(accessor,
                              platform::format(L"SELECT count(*) FROM element_info WHERE name='%ls' AND eid IN "
                                               L"(SELECT eid FROM folder WHERE fid=%d)",
                                               pdb3::escapeSqlQuotesTo(name).c_str(), parent),
                              named))
        return false;
      nameTaken = named != 1;
      return !nameTaken;
    } catch (const std::wstring& thrown) {
      error = thrown;
      return false;
    }
  });
  if (made) return;
  if (!nameTaken) {
    reportUnmadeChange(this, error);
    return;
  }
  reportUnmadeChangeAsSaid(this, error + L"\n同じ名前の問題集が既にあります。");
}
