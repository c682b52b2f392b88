#include "app/export/question_export_dialog.h"

#include <cerrno>

#include <QButtonGroup>
#include <QDir>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <algorithm>
#include <cwctype>

#include "app/shell/klv_app.h"
#include "app/common/modal_dialog.h"
#include "app/export/question_exporter.h"
#include "app/export/question_preview_dialog.h"
#include "database/engine/read_transaction.h"
#include "database/folders/section_questions.h"
#include "platform/windows/notifier.h"
#include "services/database_failure.h"
#include "services/question_rows.h"
#include "services/shell_files.h"
#include "services/file_failure.h"

namespace {

enum ControlId {
  kFileNameEdit = 1271, kBrowseButton = 1249, kTextForm = 1279, kCsvForm = 1280, kSpreadsheetForm = 1281,
  kAllQuestions = 1282, kChosenQuestions = 1284, kPreviewButton = 1283,
};

const wchar_t kCaption[] = L"KLV";

std::wstring extensionOf(int form) {
  if (form == kCsvForm) return L"csv";
  if (form == kSpreadsheetForm) return L"xls";
  return L"txt";
}

// The desktop, or the home folder on a desktop without that folder.
std::wstring exportFolder() {
  std::wstring desktop;
  if (getSpecialFolder(0, desktop) && platform::folderExists(desktop)) return desktop;
  return QDir::homePath().toStdWString();
}

// The form a chosen file name asks for by its last three characters.
int formOfFileName(const std::wstring& name) {
  std::wstring tail = name.substr(name.size() - std::min<size_t>(3, name.size()));
  std::transform(tail.begin(), tail.end(), tail.begin(), [](wchar_t c) { return std::towlower(c); });
  if (tail == L"csv") return kCsvForm;
  if (tail == L"xls") return kSpreadsheetForm;
  return kTextForm;
}

QPushButton* addButton(QWidget* parent, int id, const wchar_t* text, const QRect& geometry) {
  auto* button = new QPushButton(QString::fromWCharArray(text), parent);
  button->setObjectName(QString("id%1").arg(id));
  button->setGeometry(geometry);
  return button;
}

QRadioButton* addRadio(QButtonGroup* group, QWidget* parent, int id, const wchar_t* text, const QRect& geometry) {
  auto* radio = new QRadioButton(QString::fromWCharArray(text), parent);
  radio->setObjectName(QString("id%1").arg(id));
  radio->setGeometry(geometry);
  group->addButton(radio, id);
  return radio;
}

}  // namespace

CQuestionExportDlg::CQuestionExportDlg(KlvApp& app, std::wstring setPath, PageSelection pageSelection, QWidget* parent)
    : QDialog(parent), m_pApp(app), m_strSetPath(std::move(setPath)), pageSelection_(std::move(pageSelection)) {
  setObjectName("id275");
  setWindowTitle(QString::fromWCharArray(L"問題集のファイル出力"));
  setFixedSize(520, 300);

  fileEdit_ = new QLineEdit(this);
  fileEdit_->setObjectName(QString("id%1").arg(kFileNameEdit));
  fileEdit_->setGeometry(12, 14, 400, 26);
  connect(addButton(this, kBrowseButton, L"参照(&B)", {420, 13, 88, 28}), &QPushButton::clicked, this,
          &CQuestionExportDlg::OnBrowse);

  auto* formBox = new QGroupBox(this);
  formBox->setGeometry(12, 48, 496, 100);
  formats_ = new QButtonGroup(this);
  addRadio(formats_, formBox, kTextForm, L"テキストファイル形式（エディタやワープロソフトなどで読み込めます）", {10, 8, 480, 26});
  addRadio(formats_, formBox, kCsvForm, L"CSV 形式（表計算ソフトで読み込めます）", {10, 38, 480, 26});
  addRadio(formats_, formBox, kSpreadsheetForm, L"Excel 形式", {10, 68, 480, 26});
  connect(formats_, &QButtonGroup::idClicked, this, &CQuestionExportDlg::OnFormatChanged);

  auto* scopeBox = new QGroupBox(this);
  scopeBox->setGeometry(12, 156, 496, 70);
  scope_ = new QButtonGroup(this);
  addRadio(scope_, scopeBox, kAllQuestions, L"全ての問題を出力", {10, 8, 480, 26});
  QRadioButton* chosen = addRadio(scope_, scopeBox, kChosenQuestions, L"選択されている問題のみを出力", {10, 38, 480, 26});

  auto* run = addButton(this, 1, L"実行(&O)", {228, 258, 88, 30});
  run->setDefault(true);
  connect(run, &QPushButton::clicked, this, &CQuestionExportDlg::accept);
  connect(addButton(this, kPreviewButton, L"プレビュー", {324, 258, 88, 30}), &QPushButton::clicked, this,
          &CQuestionExportDlg::OnPreview);
  connect(addButton(this, 2, L"キャンセル", {420, 258, 88, 30}), &QPushButton::clicked, this, &CQuestionExportDlg::reject);

  // OnInitDialog: the text form, and the questions chosen on the page when the opener has a page.
  formats_->button(kTextForm)->setChecked(true);
  chosen->setEnabled(static_cast<bool>(pageSelection_));
  scope_->button(pageSelection_ ? kChosenQuestions : kAllQuestions)->setChecked(true);
  OnFormatChanged();
}

std::wstring CQuestionExportDlg::fileName() const { return fileEdit_->text().toStdWString(); }

void CQuestionExportDlg::setFileName(const std::wstring& name) { fileEdit_->setText(QString::fromStdWString(name)); }

int CQuestionExportDlg::checkedFormat() const { return formats_->checkedId(); }

void CQuestionExportDlg::OnFormatChanged() {
  const std::wstring extension = extensionOf(checkedFormat());
  const std::wstring name = fileName();
  // Only the file-name part is cleaned: the folders of a typed path stay as the user gave them.
  if (name.empty()) setFileName(exportFolder() + L"/" + ReplaceFileNameChars(m_strSetPath + L"." + extension));
  else setFileName(ReplaceFileNameCharsInLastComponent(ReplaceExtension(name, extension)));
}

void CQuestionExportDlg::OnBrowse() {
  const std::vector<platform::FileFilter> filters = {
      {L"Text Files(*.txt)", L"*.txt"},
      {L"CSV Files(*.csv)", L"*.csv"},
      {L"Excel Files(*.xls)", L"*.xls"},
      {L"すべて(*.*)", L"*.*"},
  };
  std::wstring chosen;
  if (!chooseFile(this, ReplaceFileNameCharsInLastComponent(fileName()), chosen, L"txt", L"ファイル出力", filters,
                  false))
    return;
  setFileName(chosen);
  formats_->button(formOfFileName(chosen))->setChecked(true);
}

bool CQuestionExportDlg::collectQuestionIds(std::deque<int>& ids, FailureReport say) {
  if (scope_->checkedId() == kChosenQuestions) return pageSelection_ && pageSelection_(ids);
  const pdb3::DbObject accessor = pdb3::openQuery(m_pApp.db);
  bool read = false;
  {
    const pdb3::ReadTransaction transaction(accessor);
    read = pdb3::nonEmptyQuestionIds(accessor, m_pApp.currentSetId, ids);
  }
  // Said once the lock is let go: a box waits for its answer, and another program for the file.
  if (!read) say(this, L"問題集の問題を読み込めませんでした。", kAppCaption);
  return read;
}

void CQuestionExportDlg::OnPreview() {
  std::deque<int> ids;
  if (!collectQuestionIds(ids, reportFailedRead)) return;
  QuestionPreviewDlg preview(m_pApp, ids, m_strSetPath, this);
  preview.DoModal();
}

void CQuestionExportDlg::accept() {
  std::deque<int> ids;
  if (!collectQuestionIds(ids, reportUnmadeChange)) return;  // the file is not written
  const std::wstring name = fileName();
  const pdb3::DbObject accessor = pdb3::openQuery(m_pApp.db);
  const int form = checkedFormat();
  ExportFailure failure = ExportFailure::none;
  const bool written = form == kTextForm
                           ? WriteQuestionText(accessor, ids, name, &failure)
                           : QuestionExporter(form == kCsvForm ? kCommaSeparated : kTabSeparated, accessor)
                                 .WriteFile(m_pApp.currentSetId, ids, name, &failure);
  if (failure == ExportFailure::read) {
    reportUnmadeChange(this, L"問題集の問題を読み込めなかったため、出力しませんでした。");
    return;
  }
  if (!written) {
    const int cause = errno;
    platform::messageBox(
        this, fileFailureText(form == kTextForm ? L"作成できませんでした" : L"CSV 形式で出力できませんでした", cause),
        kCaption);
    return;
  }
  platform::messageBox(this, name + L" に出力しました", kCaption);
  QDialog::accept();
}
