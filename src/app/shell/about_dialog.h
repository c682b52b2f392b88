// The version box: the program's version and, when the build names one, a link to the maker's
// site that carries the version.
#pragma once

#include <QDialog>
#include <string>

class CUxURLLinkButton;
class QLabel;

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(QWidget* parent = nullptr);

  int DoModal();
  void OnInitDialog();
  // Button 1272: what the letter in the program's icon stands for.
  void OnIconLetter();

  std::wstring m_strVersion;
  CUxURLLinkButton& link() const { return *link_; }

 private:
  QLabel* version_;
  CUxURLLinkButton* link_;
};
