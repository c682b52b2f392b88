#include "study/window/trans_edit_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPushButton>

#include "database/records/column_field.h"
#include "platform/windows/modal_dialog.h"
#include "platform/windows/notifier.h"
#include "services/database_failure.h"

namespace study {

namespace {

QString qs(const std::wstring& text) { return QString::fromStdWString(text); }

// Boxes show a stored list one text per line.
QString linesOf(const pdb3::TextList& texts) {
  QStringList lines;
  for (const std::wstring& text : texts) lines << qs(text);
  return lines.join('\n');
}

// A box's lines as the stored list: split at "\n" or "\r\n", a trailing line break giving an empty
// last text.
pdb3::TextList textsOf(const QString& box) {
  QString text = box;
  text.replace("\r\n", "\n");
  text.replace('\n', "\r\n");
  return pdb3::splitTextList(text.toStdWString());
}

struct BoxState {
  bool hasSelection = false;
  bool canUndo = false;
  bool canPaste = false;
};

BoxState stateOf(QWidget* box) {
  const bool clipboardHasText = !QApplication::clipboard()->text().isEmpty();
  if (auto* line = qobject_cast<QLineEdit*>(box))
    return {line->hasSelectedText(), line->isUndoAvailable(), !line->isReadOnly() && clipboardHasText};
  if (auto* text = qobject_cast<QPlainTextEdit*>(box))
    return {text->textCursor().hasSelection(), text->document()->isUndoAvailable(), text->canPaste()};
  return {};
}

void runOn(QWidget* box, int command) {
  if (auto* line = qobject_cast<QLineEdit*>(box)) {
    switch (command) {
      case CTransEditDlg::Copy: line->copy(); break;
      case CTransEditDlg::Undo: line->undo(); break;
      case CTransEditDlg::Cut: line->cut(); break;
      case CTransEditDlg::Paste: line->paste(); break;
      case CTransEditDlg::Delete: line->del(); break;
      default: break;
    }
  } else if (auto* text = qobject_cast<QPlainTextEdit*>(box)) {
    switch (command) {
      case CTransEditDlg::Copy: text->copy(); break;
      case CTransEditDlg::Undo: text->undo(); break;
      case CTransEditDlg::Cut: text->cut(); break;
      case CTransEditDlg::Paste: text->paste(); break;
      case CTransEditDlg::Delete: text->textCursor().removeSelectedText(); break;
      default: break;
    }
  }
}

}  // namespace

CTransEditDlg::CTransEditDlg(pdb3::Question& question, QWidget* parent) : QDialog(parent), question_(question) {
  setObjectName("id225");
  setWindowTitle(qs(L"問題の編集"));
  resize(520, 470);
  auto label = [this](const wchar_t* text, int x, int y) {
    auto* l = new QLabel(qs(text), this);
    l->setGeometry(x, y, 110, 22);
  };
  auto name = [](QWidget* w, int id) { w->setObjectName(QString("id%1").arg(id)); };
  label(L"問題文", 10, 10);
  label(L"（10行まで）", 10, 32);
  questionBox_ = new QPlainTextEdit(this);
  questionBox_->setGeometry(120, 10, 390, 130);
  // A form: Tab goes on to the next box, as everywhere else in the program.
  questionBox_->setTabChangesFocus(true);
  name(questionBox_, kQuestionBox);
  for (int i = 0; i < kAnswerBoxes; ++i) {
    const int y = 150 + i * 30;
    label((L"解答/発音" + std::to_wstring(i + 1)).c_str(), 10, y);
    answerBoxes_[i] = new QLineEdit(this);
    answerBoxes_[i]->setGeometry(120, y, 230, 24);
    name(answerBoxes_[i], kFirstAnswerBox + i);
    pronunciationBoxes_[i] = new QLineEdit(this);
    pronunciationBoxes_[i]->setGeometry(356, y, 154, 24);
    name(pronunciationBoxes_[i], kFirstPronunciationBox + i);
  }
  label(L"ヒント", 10, 305);
  label(L"（３行まで）", 10, 327);
  hintBox_ = new QPlainTextEdit(this);
  hintBox_->setGeometry(120, 305, 390, 110);
  hintBox_->setTabChangesFocus(true);
  name(hintBox_, kHintBox);

  auto* ok = new QPushButton("OK", this);
  name(ok, 1);
  ok->setDefault(true);
  ok->setGeometry(320, 428, 90, 28);
  connect(ok, &QPushButton::clicked, this, &CTransEditDlg::accept);
  auto* cancel = new QPushButton(qs(L"キャンセル"), this);
  name(cancel, 2);
  cancel->setGeometry(420, 428, 90, 28);
  connect(cancel, &QPushButton::clicked, this, &CTransEditDlg::reject);

  // OnInitDialog: the boxes from the record (an index past a list's end gives an empty box).
  questionBox_->setPlainText(linesOf(question_.questionTexts()));
  hintBox_->setPlainText(linesOf(question_.hintTexts()));
  const pdb3::TextList& answers = question_.answerTexts();
  const pdb3::TextList& pronunciations = question_.pronounceTexts();
  for (int i = 0; i < kAnswerBoxes; ++i) {
    answerBoxes_[i]->setText(qs(pdb3::textListAt(answers, i)));
    pronunciationBoxes_[i]->setText(qs(pdb3::textListAt(pronunciations, i)));
  }

  std::vector<std::pair<QWidget*, int>> boxes{{questionBox_, kQuestionBox}, {hintBox_, kHintBox}};
  for (int i = 0; i < kAnswerBoxes; ++i) {
    boxes.emplace_back(answerBoxes_[i], kFirstAnswerBox + i);
    boxes.emplace_back(pronunciationBoxes_[i], kFirstPronunciationBox + i);
  }
  for (const auto& [box, id] : boxes) {
    box->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(box, &QWidget::customContextMenuRequested, this, [this, id = id](const QPoint&) {
      showContextMenu(id, QCursor::pos());
    });
  }
}

void CTransEditDlg::fillContextMenu(QMenu& menu, int controlId) {
  const BoxState state = stateOf(findChild<QWidget*>(QString("id%1").arg(controlId)));
  auto add = [&](int id, const wchar_t* text, bool enabled) {
    QAction* action = menu.addAction(qs(text));
    action->setData(id);
    action->setEnabled(enabled);
  };
  add(Undo, L"元に戻す\tCTRL+Z", state.canUndo);
  menu.addSeparator();
  add(Cut, L"切り取り\tCTRL+X", state.hasSelection);
  add(Copy, L"コピー\tCTRL+C", state.hasSelection);
  add(Paste, L"貼り付け\tCTRL+V", state.canPaste);
  add(Delete, L"削除\tDel", state.hasSelection);
}

void CTransEditDlg::showContextMenu(int controlId, const QPoint& at) {
  menuControl_ = controlId;
  QMenu menu(this);
  fillContextMenu(menu, controlId);
  if (QAction* chosen = menu.exec(at); chosen && chosen->data().isValid()) OnCommand(chosen->data().toInt());
}

bool CTransEditDlg::OnCommand(int id) {
  if (id < Copy || id > Delete || menuControl_ < 0) return false;
  runOn(findChild<QWidget*>(QString("id%1").arg(menuControl_)), id);
  return true;
}

void CTransEditDlg::accept() {
  const pdb3::TextList questions = textsOf(questionBox_->toPlainText());
  const pdb3::TextList hints = textsOf(hintBox_->toPlainText());
  if (answerBoxes_[0]->text().isEmpty() || questionBox_->toPlainText().isEmpty()) {
    platform::messageBox(this, L"問題文として正しくありません。\n少なくとも問題文と解答１は入力してください。",
                         L"Kelvara");
    return;
  }
  // Answers close up over empty boxes; each keeps the pronunciation of its own box, an empty
  // one included (a cleared pronunciation stays cleared).
  pdb3::TextList answers, pronunciations;
  for (int i = 0; i < kAnswerBoxes; ++i) {
    if (answerBoxes_[i]->text().isEmpty()) continue;
    answers.push_back(answerBoxes_[i]->text().toStdWString());
    pronunciations.push_back(pronunciationBoxes_[i]->text().toStdWString());
  }
  question_.setAnswerTexts(std::move(answers));
  question_.setPronounceTexts(std::move(pronunciations));
  question_.setQuestionTexts(questions);
  question_.setHintTexts(hints);
  QDialog::accept();
}

bool RunQuestionEditDialog(pdb3::Question& question, QWidget* parent) {
  CTransEditDlg dialog(question, parent);
  return platform::execDialog(dialog) == QDialog::Accepted;
}

EditOutcome EditAndSaveQuestion(pdb3::Question& question, QWidget* parent) {
  // Boxes left empty by a read that failed would, saved, erase the texts they stand for.
  if (!pdb3::loadAllColumns(question)) {
    reportFailedRead(parent, L"問題を読み込めませんでした。");
    return EditOutcome::Cancelled;
  }
  if (!RunQuestionEditDialog(question, parent)) return EditOutcome::Cancelled;
  question.touch();
  return pdb3::saveQuestion(question) ? EditOutcome::Saved : EditOutcome::SaveFailed;
}

EditOutcome EditQuestionRecord(const pdb3::DbObject& accessor, int qid, QWidget* parent) {
  pdb3::Question question = pdb3::getQuestion(accessor, qid);
  return EditAndSaveQuestion(question, parent);
}

}  // namespace study
