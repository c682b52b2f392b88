#include "study/window/trans_mode_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "study/study_modes.h"

namespace study {

namespace {

struct ModeButton {
  int id;
  const wchar_t* caption;
  int mode;
  const wchar_t* explanation;
};

// Top to bottom; the first is the default.
const ModeButton kModeButtons[] = {
    {1175, L"カードモード(&Q)", ModeCard, L"最初に『問題』や『正解』が表示され、覚えたかどうかを自己申告するモードです"},
    {1174, L"４択モード(&F)", ModeJe4, L"『問題』が表示され、対応する『解答』を４択で選択するモードです"},
    {1173, L"４択モードR(&4)", ModeEj4, L"『解答』が表示され、対応する『問題』を４択で選択するモードです"},
    {1012, L"タイピングモード(&E)", ModeJe, L"『問題』が表示され、キーボードから『解答』を入力するモードです"},
    {1013, L"タイピングモードR(&J)", ModeEj, L"『解答』が表示され、キーボードから『問題』を入力するモードです"},
    {1172, L"SpeedReply(&S)", ModeSpeedReply, L"『問題』と『解答』が表示され、キーボードから『解答』を入力するモードです"},
    {1176, L"ディクテーションモード(&D)", ModeDictation, L"音声を聞いて、キーボードからそのスペルを入力するモードです"},
};

}  // namespace

CTransModeDlg::CTransModeDlg(QWidget* parent) : QDialog(parent) {
  setObjectName("id185");
  setWindowTitle(QString::fromStdWString(L"学習モードの選択"));
  int y = 10;
  QPushButton* first = nullptr;
  for (const ModeButton& spec : kModeButtons) {
    auto* button = new QPushButton(QString::fromStdWString(spec.caption), this);
    button->setObjectName(QString("id%1").arg(spec.id));
    button->setGeometry(10, y, 200, 30);
    auto* line = new QLabel(QString::fromStdWString(spec.explanation), this);
    line->setGeometry(220, y, 520, 30);
    connect(button, &QPushButton::clicked, this, [this, mode = spec.mode] {
      mode_ = mode;
      accept();
    });
    if (!first) first = button;
    y += 38;
  }
  first->setDefault(true);
  first->setFocus();
  // The OK stays out of sight: a mode button ends the dialog.
  auto* ok = new QPushButton("OK", this);
  ok->setObjectName("id1");
  ok->hide();
  auto* cancel = new QPushButton(QString::fromStdWString(L"キャンセル"), this);
  cancel->setObjectName("id2");
  cancel->setGeometry(640, y, 100, 28);
  connect(cancel, &QPushButton::clicked, this, &CTransModeDlg::reject);
  resize(750, y + 40);
}

}  // namespace study
