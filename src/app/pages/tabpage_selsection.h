// The main dialog's first page: the descriptive data of the chosen problem set (or folder) as
// rows of label and value, and below them the view the main dialog shows its description in.
#pragma once

#include <QWidget>
#include <string>

class CExplorer1;
class KlvApp;
class QTableWidget;

class CTabpageSelsection : public QWidget {
  Q_OBJECT

 public:
  // parent: the main dialog, whose child the page is.
  CTabpageSelsection(KlvApp& app, QWidget* parent = nullptr);

  // Rebuilds the rows for the application's current set. folderSelected and questionCount are
  // the main dialog's: a folder shows a count of 0, a count not known "-". False when a value of
  // the set's record could not be read: it shows "-".
  bool FillInfo(bool folderSelected, int questionCount);
  void SetRow(int row, const std::wstring& label, const std::wstring& value);

  CExplorer1& browser() { return *browser_; }
  QTableWidget& infoList() { return *m_infoList; }

 private:
  KlvApp& app_;
  CExplorer1* browser_;
  QTableWidget* m_infoList;
};
