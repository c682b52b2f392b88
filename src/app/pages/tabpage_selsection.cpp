#include "app/pages/tabpage_selsection.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/shell/klv_app.h"
#include "app/main/note_browser.h"
#include "app/pages/page_dates.h"
#include "database/records/element_record.h"
#include "platform/windows/row_list.h"
#include "services/unknown_figure.h"

CTabpageSelsection::CTabpageSelsection(KlvApp& app, QWidget* parent) : QWidget(parent), app_(app) {
  setObjectName("id242");
  m_infoList = new platform::RowListWidget(0, 2, this);
  m_infoList->setObjectName("id1255");
  m_infoList->setSelectionMode(QAbstractItemView::SingleSelection);
  m_infoList->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_infoList->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_infoList->verticalHeader()->hide();
  m_infoList->setHorizontalHeaderLabels({QString::fromStdWString(L"属性"), QString::fromStdWString(L"値")});
  m_infoList->setColumnWidth(0, 150);
  m_infoList->setColumnWidth(1, 200);
  m_infoList->horizontalHeader()->setStretchLastSection(true);
  browser_ = new CExplorer1(this);
  browser_->setObjectName("id1224");

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(m_infoList, 2);
  layout->addWidget(browser_, 3);
}

void CTabpageSelsection::SetRow(int row, const std::wstring& label, const std::wstring& value) {
  m_infoList->insertRow(row);
  m_infoList->setItem(row, 0, new QTableWidgetItem(QString::fromStdWString(label)));
  m_infoList->setItem(row, 1, new QTableWidgetItem(QString::fromStdWString(value)));
}

bool CTabpageSelsection::FillInfo(bool folderSelected, int questionCount) {
  using pdb3::ElementInfoColumn;
  m_infoList->setRowCount(0);
  const pdb3::ElementInfoRecord record(pdb3::openQuery(app_.db), app_.currentSetId);
  // A column that could not be read is unknown, not empty nor never set.
  bool read = true;
  const auto shown = [&](ElementInfoColumn column, std::wstring text) {
    if (!record.readFailed(column)) return text;
    read = false;
    return std::wstring(kUnknown);
  };
  SetRow(0, L"著作権者", shown(ElementInfoColumn::author, record.author()));
  SetRow(1, L"問題入力者", shown(ElementInfoColumn::writer, record.writer()));
  SetRow(2, L"問題数", folderSelected ? L"0" : figureOrUnknown(questionCount));
  SetRow(3, L"最終更新日", shown(ElementInfoColumn::utime, pageDateText(record.utime())));
  SetRow(4, L"作成日", shown(ElementInfoColumn::ctime, pageDateText(record.ctime())));
  return read;
}
