// The export of the current problem set: a file name, the form (aligned text, comma-separated,
// or the tab-separated spreadsheet form) and which questions, with a preview of them.
#pragma once

#include <QDialog>
#include <deque>
#include <functional>
#include <string>

#include "services/database_failure.h"

class KlvApp;
class QButtonGroup;
class QLineEdit;

class CQuestionExportDlg : public QDialog {
  Q_OBJECT

 public:
  // The questions chosen on the opener's current page; false when it could not give them (it
  // has told the user why).
  using PageSelection = std::function<bool(std::deque<int>&)>;

  // setPath: the current set's path, the preview title and the default file name. Without a page
  // selection only the whole set can be written.
  CQuestionExportDlg(KlvApp& app, std::wstring setPath, PageSelection pageSelection, QWidget* parent = nullptr);

  std::wstring fileName() const;

  void accept() override;  // OnOK

 private:
  // The extension follows the form; an empty name becomes the set's path on the desktop.
  void OnFormatChanged();
  void OnBrowse();
  void OnPreview();
  // The chosen questions, or the set's non-empty ones; false (the user told why, the set's failed
  // read through `say`) when they cannot be had.
  bool collectQuestionIds(std::deque<int>& ids, FailureReport say);
  int checkedFormat() const;
  void setFileName(const std::wstring& name);

  KlvApp& m_pApp;
  std::wstring m_strSetPath;
  PageSelection pageSelection_;
  QLineEdit* fileEdit_;
  QButtonGroup* formats_;
  QButtonGroup* scope_;
};
