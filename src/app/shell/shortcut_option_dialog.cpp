#include "app/shell/shortcut_option_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>
#include <algorithm>

#include "app/common/modal_dialog.h"
#include "platform/trace.h"
#include "services/unknown_figure.h"

CShortcutOptionDlg::CShortcutOptionDlg(std::wstring setName, int questionCount, QWidget* parent)
    : QDialog(parent), setName_(std::move(setName)), questionCount_(questionCount) {
  setUpDialog(this, 144, L"ショートカットの作成", 380, 210);
  setLabel_ = dialogText(this, L"", QRect(10, 10, 360, 20));
  rangeLabel_ = dialogControl<QLabel>(this, 1080, QRect(10, 40, 300, 20));
  slider_ = dialogControl<QSlider>(this, 1074, QRect(10, 64, 300, 26));
  slider_->setOrientation(Qt::Horizontal);
  countText_ = dialogControl<QLabel>(this, 1075, QRect(320, 64, 50, 26));
  dialogControl<QLabel>(this, 1076, QRect(10, 104, 100, 24))->setText(QString::fromWCharArray(L"学習モード"));
  modes_ = dialogControl<QComboBox>(this, 1196, QRect(110, 102, 200, 26));
  dialogButton(this, 1, L"OK", QRect(190, 170, 88, 28));
  dialogButton(this, 2, L"キャンセル", QRect(282, 170, 88, 28));
  connect(slider_, &QSlider::valueChanged, this,
          [this](int value) { countText_->setText(QString::number(value)); });
}

void CShortcutOptionDlg::OnInitDialog() {
  // A set's path can be longer than the line: its middle gives way, the whole path is the tip.
  const QString setText = QString::fromStdWString(L"問題集： " + setName_);
  setLabel_->setText(setLabel_->fontMetrics().elidedText(setText, Qt::ElideMiddle, setLabel_->contentsRect().width()));
  setLabel_->setToolTip(setText);
  rangeLabel_->setText(QString::fromStdWString(
      platform::format(L"１回あたりの問題数 (1-%ls)", figureOrUnknown(questionCount_).c_str())));
  slider_->setRange(1, std::max(1, std::min(questionCount_, 100)));
  slider_->setValue(20);
  countText_->setText(QString::number(slider_->value()));
  modes_->clear();
  for (const wchar_t* mode : {L"カードモード", L"４択モード", L"４択モードR", L"タイピングモード", L"タイピングモードR", L"SpeedReply"})
    modes_->addItem(QString::fromWCharArray(mode));
  modes_->setCurrentIndex(0);
}

int CShortcutOptionDlg::DoModal() {
  OnInitDialog();
  return runModalDialog(*this);
}

void CShortcutOptionDlg::accept() {
  m_nMode = modes_->currentIndex();
  QDialog::accept();
}

std::wstring CShortcutOptionDlg::countText() const { return countText_->text().toStdWString(); }
