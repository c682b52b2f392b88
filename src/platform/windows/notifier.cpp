#include "platform/windows/notifier.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QString>
#include <QThread>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/windows/message_text.h"
#include "platform/windows/window_stacking.h"
#include "platform/trace.h"
#include "platform/text.h"

namespace platform {
namespace {

std::vector<int> buttonsOf(unsigned flags) {
  switch (flags & MbButtonsMask) {
    case MbOkCancel: return {IdOk, IdCancel};
    case MbAbortRetryIgnore: return {IdAbort, IdRetry, IdIgnore};
    case MbYesNoCancel: return {IdYes, IdNo, IdCancel};
    case MbYesNo: return {IdYes, IdNo};
    case MbRetryCancel: return {IdRetry, IdCancel};
    default: return {IdOk};
  }
}

// A message box whose long lines are broken evenly within the width the box takes, and as wide
// as its caption needs (a short message would leave the title bar too narrow for it).
class MessageBox : public QMessageBox {
 public:
  using QMessageBox::QMessageBox;

 protected:
  void showEvent(QShowEvent* event) override {
    // The buttons' row spans the box: its least width is the box's, whatever sizes the box again.
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
      const QMargins margins = layout()->contentsMargins();
      buttons->setMinimumWidth(captionWidth(windowTitle()) - margins.left() - margins.right());
    }
    QMessageBox::showEvent(event);  // sizes the box: lines too long for it make the text wrap
    balanceLines();
    // Placed at its last size: narrowed about its left edge, the box stands over its window's
    // centre again, as it did when the toolkit placed it at its first width.
    if (!testAttribute(Qt::WA_Moved)) {
      place();
      setAttribute(Qt::WA_Moved, false);  // placed, not moved by anyone
    }
  }

 private:
  void balanceLines() {
    auto* label = findChild<QLabel*>("qt_msgbox_label");
    if (balanced_ || !label || !label->wordWrap() || label->textFormat() == Qt::RichText ||
        (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text())))
      return;
    balanced_ = true;
    layout()->invalidate();
    layout()->activate();
    // Sizes the box again for the text broken by hand, which needs no wrapping.
    setText(balancedLines(text(), label->font(), label->contentsRect().width()));
  }

  // Over its window's centre; a box with none stands centred on the screen the learner is on (the
  // pointer's). The toolkit would set such a box off by a frame it guesses when no window is up to
  // measure one, 10 pixels left and 40 up: it is placed by its own size, and the window manager
  // frames it where it stands.
  void place() {
    if (parentWidget()) {
      adjustPosition(parentWidget());
      return;
    }
    QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen) screen = QGuiApplication::primaryScreen();
    if (!screen) return;
    const bool resized = testAttribute(Qt::WA_Resized);
    setGeometry(QStyle::alignedRect(layoutDirection(), Qt::AlignCenter, size(), screen->availableGeometry()));
    setAttribute(Qt::WA_Resized, resized);  // sized by its text still
  }

  bool balanced_ = false;
};

// The window a box stands over: its owner's; while that one is not up (a dialog that says what it
// could not read before it shows, a window hidden under a study), the nearest window up the chain
// that is; else, as for a box without an owner, the window the learner is acting in: the active
// one, or the modal one that takes all input (no window is active for a moment after a dialog
// closes). A box over a window not shown would stand where that window last was, or at the corner.
QWidget* shownOwner(QWidget* owner) {
  for (QWidget* window = owner ? owner->window() : nullptr; window;
       window = window->parentWidget() ? window->parentWidget()->window() : nullptr) {
    if (window->isVisible()) return window;
  }
  if (QWidget* active = QApplication::activeWindow()) return active;
  QWidget* modal = QApplication::activeModalWidget();
  return modal && modal->isVisible() ? modal : nullptr;
}

class QtNotifier : public Notifier {
 public:
  int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption,
                 unsigned flags) override {
    MessageBox box(shownOwner(owner));
    box.setWindowTitle(QString::fromStdWString(caption));
    box.setText(QString::fromStdWString(text));
    switch (flags & MbIconMask) {
      case MbIconError: box.setIcon(QMessageBox::Critical); break;
      case MbIconQuestion: box.setIcon(QMessageBox::Question); break;
      case MbIconWarning: box.setIcon(QMessageBox::Warning); break;
      case MbIconInformation: box.setIcon(QMessageBox::Information); break;
      default: break;
    }
    if (flags & (MbSystemModal | MbTopmost)) box.setWindowFlag(Qt::WindowStaysOnTopHint);
    stackWithOwner(box);
    const std::vector<int> ids = buttonsOf(flags);
    std::vector<QPushButton*> buttons;
    for (int id : ids) buttons.push_back(box.addButton(standardButton(id)));
    const size_t defaultIndex = (flags & MbDefButtonMask) >> 8;
    if (defaultIndex < buttons.size())
      box.setDefaultButton(buttons[defaultIndex]);
    box.exec();
    for (size_t i = 0; i < buttons.size(); ++i)
      if (box.clickedButton() == buttons[i]) return ids[i];
    // Closed by Escape or the window's close box: the answer a cancel would give.
    for (int id : ids)
      if (id == IdCancel) return IdCancel;
    return ids.size() == 1 ? ids.front() : IdNo;
  }

 private:
  static QMessageBox::StandardButton standardButton(int id) {
    switch (id) {
      case IdCancel: return QMessageBox::Cancel;
      case IdAbort: return QMessageBox::Abort;
      case IdRetry: return QMessageBox::Retry;
      case IdIgnore: return QMessageBox::Ignore;
      case IdYes: return QMessageBox::Yes;
      case IdNo: return QMessageBox::No;
      default: return QMessageBox::Ok;
    }
  }
};

QtNotifier gQtNotifier;
Notifier* gCurrent = &gQtNotifier;

void (*gEnteringBoxLoop)() = nullptr;
void (*gLeftBoxLoop)() = nullptr;

// The hooks about one box's event loop.
class BoxLoop {
 public:
  BoxLoop() {
    if (gEnteringBoxLoop) gEnteringBoxLoop();
  }
  ~BoxLoop() {
    if (gLeftBoxLoop) gLeftBoxLoop();
  }
  BoxLoop(const BoxLoop&) = delete;
  BoxLoop& operator=(const BoxLoop&) = delete;
};

}  // namespace

int automaticAnswer(unsigned flags, const char* requested) {
  static const struct { const char* name; int id; } kNames[] = {
      {"ok", IdOk}, {"cancel", IdCancel}, {"abort", IdAbort}, {"retry", IdRetry},
      {"ignore", IdIgnore}, {"yes", IdYes}, {"no", IdNo}};
  const std::vector<int> ids = buttonsOf(flags);
  if (requested) {
    for (const auto& name : kNames) {
      if (strcasecmp(requested, name.name) != 0) continue;
      for (int id : ids)
        if (id == name.id) return id;
    }
  }
  const size_t defaultIndex = (flags & MbDefButtonMask) >> 8;
  return ids[defaultIndex < ids.size() ? defaultIndex : 0];
}

int messageBox(QWidget* owner, const std::wstring& text, const std::wstring& caption, unsigned flags) {
  // Boxes are windows: one asked for by another thread is shown by the GUI thread, which that
  // thread waits for.
  QCoreApplication* application = QCoreApplication::instance();
  if (application && QThread::currentThread() != application->thread()) {
    int answer = IdCancel;
    QMetaObject::invokeMethod(
        application, [&] { answer = messageBox(owner, text, caption, flags); }, Qt::BlockingQueuedConnection);
    return answer;
  }
  // A box that answers itself is seen by nobody: the run's output says what it said. Otherwise
  // the box is the user's, and standard error keeps to failures.
  const char* requested = std::getenv("KELVARA_AUTOANSWER");
  if (requested) traceError("msgbox: %s: %s\n", toUtf8(caption).c_str(), toUtf8(text).c_str());
  if (requested && gCurrent == &gQtNotifier) return automaticAnswer(flags, requested);
  const BoxLoop loop;
  return gCurrent->messageBox(owner, text, caption, flags);
}

void setBoxLoopHooks(void (*entering)(), void (*left)()) {
  gEnteringBoxLoop = entering;
  gLeftBoxLoop = left;
}

NotifierOverride::NotifierOverride(Notifier& replacement) : previous_(gCurrent) { gCurrent = &replacement; }

NotifierOverride::~NotifierOverride() { gCurrent = previous_; }

}  // namespace platform
