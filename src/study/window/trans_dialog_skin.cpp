// The study window as a skin's host: loading and applying the skin, the state it sees, its
// drawing into the back buffer, its animation tick and the skin menu.
#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QLabel>
#include <QMenu>
#include <QPalette>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <algorithm>

#include "platform/clock.h"
#include "platform/windows/file_dialog.h"
#include "platform/drawing/gdi_types.h"
#include "platform/windows/notifier.h"
#include "platform/drawing/system_metrics.h"
#include "platform/drawing/readable_colour.h"
#include "platform/trace.h"
#include "study/window/control_ids.h"
#include "study/skin/script_watchdog.h"
#include "study/skin/skin_info.h"
#include "study/skin/skin_script.h"
#include "study/skin/skin_text.h"
#include "study/study_modes.h"
#include "study/skin/text_macros.h"
#include "study/window/trans_dialog.h"

namespace study {

namespace {

constexpr int kAnimationMs = 30;
constexpr int kLargestWindowSide = 4096;

// Restores the stack height after a callback and keeps the animation off while it runs.
class CallbackScope {
 public:
  CallbackScope(lua_State* state, int& depth) : state_(state), top_(lua_gettop(state)), depth_(depth) { ++depth_; }
  ~CallbackScope() {
    lua_settop(state_, top_);
    --depth_;
  }

 private:
  lua_State* state_;
  int top_;
  int& depth_;
};

}  // namespace

std::wstring CTransDlg::skinPath() const { return host_.settings().skinPath; }
std::wstring CTransDlg::skinUserFilePath() const { return host_.settings().skinUserFilePath; }
std::wstring CTransDlg::userName() const { return host_.settings().userName; }

void CTransDlg::deleteSkinFonts() {
  for (auto& font : fonts) font.reset();
}

void CTransDlg::alert(const std::wstring& text) {
  // The learner reads the skin's box on the study's time held still.
  const auto show = [this, text] { whilePaused([&] { platform::messageBox(nullptr, text, L"KLV.Alert"); }); };
  if (!paintDc) {
    show();
    return;
  }
  // A box inside the paint would let the window system paint the window again from within
  // (which can crash): an alert of OnUpdate follows the paint, in order.
  QMetaObject::invokeMethod(this, show, Qt::QueuedConnection);
}

std::wstring CTransDlg::ExpandTextMacros(const std::wstring& text) const {
  const auto* indicator = static_cast<QLabel*>(control(ctl::AnswerDisplay));
  const MacroSources sources{flow_, answers_, typed_, replyMs_, timedMessage_,
                             indicator->text().toStdWString(), message_};
  return study::ExpandTextMacros(text, sources);
}

void CTransDlg::PushScriptState(LuaScript script) {
  lua_State* state = script.state();
  if (script.PushGlobalTable("KLV") != LUA_TTABLE) {
    lua_pop(state, 1);
    return;
  }
  if (script.PushFieldTable("corrected") == LUA_TTABLE) {
    for (int i = 0; i < 5; ++i) {
      if (i < answers_.size()) {
        script.SetIndexNumber(i + 1, answers_.isAnswered(i) ? 1 : 0);
      } else {
        script.SetIndexNil(i + 1);
      }
    }
  }
  lua_pop(state, 1);
  const StudySettings settings = host_.settings();
  const bool pronounceEmpty = static_cast<QLabel*>(control(ctl::Pronounce))->text().isEmpty();
  script.SetBoolean("show_pronounce", settings.showPronounce);
  script.SetBoolean("use_default_pronounce", settings.showPronounce && settings.showPronounceByImage && pronounceEmpty);
  script.SetBoolean("display_banner", !timedMessage_.empty());
  script.SetNumber("progress_sec", replyMs_);
  script.SetNumber("n_correct_first", flow_.first.corrects);
  script.SetNumber("n_mistake_first", flow_.first.mistakes);
  script.SetNumber("n_correct_re", flow_.re.corrects);
  script.SetNumber("n_mistake_re", flow_.re.mistakes);
  script.SetNumber("n_correct_re2", flow_.re2.corrects);
  script.SetNumber("n_mistake_re2", flow_.re2.mistakes);
  script.SetNumber("n_correct_all", flow_.all.corrects);
  script.SetNumber("n_mistake_all", flow_.all.mistakes);
  script.SetNumber("n_remain_now", static_cast<double>(flow_.currentQueue.size()));
  script.SetNumber("n_remain_first",
                   static_cast<double>(flow_.astate == PassFirst ? flow_.currentQueue.size() : flow_.restQueue.size()));
  script.SetNumber("n_mistake_now", flow_.now.mistakes);
  script.SetNumber("n_correct_now", flow_.now.corrects);
  script.SetNumber("n_mistake_remain", static_cast<double>(flow_.mistakeQueue.size()));
  script.SetBoolean("show_hint", hintShown_);
  const auto* bar = limitBar();
  script.SetBoolean("limitprogressbar_show", !bar->isHidden());
  script.SetNumber("limitprogressbar_range", 1000);
  script.SetNumber("limitprogressbar_pos", bar->value());
  const int mode = setup_.mode;
  if (const char* name = modeName(mode)) script.SetString("mode", name);
  script.SetBoolean("mode_input", mode == ModeJe || mode == ModeEj || mode == ModeSpeedReply);
  script.SetBoolean("mode_select", isChoiceMode(mode));
  const char* pass = flow_.tstate == TurnInit  ? "init"
                     : flow_.tstate == TurnEnd ? "end"
                                               : answerPassName(flow_.astate);
  if (pass) script.SetString("astate", pass);
  if (const char* turn = turnStateName(flow_.tstate)) script.SetString("tstate", turn);
  lua_pop(state, 1);
}

QSize CTransDlg::skinDialogSize() {
  SkinLockHolder hold(skinLock());
  if (!lua_) return {};
  LuaScript script(lua_.get());
  // The window's back buffer must be possible to make: a larger size is cut.
  const auto side = [&](const char* name) { return std::min(truncateToInt(script.GetGlobalNumber(name)), kLargestWindowSide); };
  return QSize(side("DlgWidth_n"), side("DlgHeight_n"));
}

void CTransDlg::ApplySkin() {
  SkinLockHolder hold(skinLock());
  LuaScript script(lua_.get());
  const StudySettings settings = host_.settings();
  setWindowTitle("resizing... [1/3]");
  // The skin's drawing and its controls' places are made for one size: the window keeps it.
  const QSize skinSize = skinDialogSize();
  setFixedSize(skinSize.isEmpty() ? size() : skinSize);
  setWindowTitle("resizing... [2/3]");
  for (int i = 0; i < 12; ++i) showControl(ctl::FirstFunc + i, false);
  setWindowTitle("resizing... [3/3]");
  for (int id : {ctl::MistakeDisplay, ctl::QuestionText}) control(id)->setGeometry(0, -100, 10, 10);

  setWindowTitle("applying skin design...");
  const std::wstring skinColour = lua_ ? Utf8ToWideString(script.GetGlobalString("BackgroundColor")) : L"";
  if (!userVars_.backgroundColor.empty()) {
    backgroundColor = parseHexColor(userVars_.backgroundColor);
  } else if (!skinColour.empty()) {
    backgroundColor = parseHexColor(skinColour);
  } else {
    backgroundColor = settings.backgroundColor;
  }
  // The window's texts let its colour show through; with the system's colour chosen and a skin that
  // names none, they keep the system's face instead. Either way a text takes its colour from what
  // lies under it: the face's own text colour, or one that stands out from the window's colour.
  const bool systemFace = settings.useOsDefaultBackgroundColor && skinColour.empty();
  const QColor textColour = platform::toQColor(systemFace ? platform::getSysColor(platform::ColorBtnText)
                                                          : platform::plainTextOn(backgroundColor));
  for (QLabel* label : findChildren<QLabel*>()) {
    label->setAutoFillBackground(systemFace);
    QPalette palette = label->palette();
    palette.setColor(QPalette::Window, platform::toQColor(platform::getSysColor(platform::ColorBtnFace)));
    palette.setColor(QPalette::WindowText, textColour);
    label->setPalette(palette);
  }

  setWindowTitle("loading images...");
  // The user's image as the options page accepted it: a bare name lies beside the skin.
  QString imagePath = skinFilePath(settings.skinPath, QString::fromStdWString(userVars_.backgroundImage));
  if (imagePath.isEmpty() && lua_) {
    const QString file = QString::fromStdWString(Utf8ToWideString(script.GetGlobalString("BackgroundImageFile")));
    if (!file.isEmpty()) imagePath = skinFolderFilePath(settings.skinPath, file);
  }
  backgroundImage_ = imagePath.isEmpty() ? QImage() : QImage(imagePath).convertToFormat(QImage::Format_RGB32);
  loadPronunciationFiles(settings);

  if (startedRound_ && flow_.currentId >= 0) DisplayQuestion();
  if (lua_) callSkin("OnInit", false);
  updateAnimationTimer();

  setWindowTitle("window resetting...");
  if (fonts[7]) {
    for (int i = 0; i < 12; ++i) control(ctl::FirstFunc + i)->setFont(fonts[7]->qfont());
  }
  if (fonts[6]) {
    control(ctl::HintText)->setFont(fonts[6]->qfont());
  } else if (fonts[5]) {
    control(ctl::HintText)->setFont(fonts[5]->qfont());
  }
  setWindowTitle(QString::fromStdWString(setup_.title + L" - Kelvara"));
  repaintWindow();
}

void CTransDlg::LoadSkinScript() {
  // A box of the loading skin runs an event loop: no paint or tick may call into the state
  // before the skin's main chunk is through.
  ++callbackDepth_;
  InitSkinScript(*this);
  --callbackDepth_;
}

void CTransDlg::ReloadSkin() {
  // The boxes of a skin that fails to load, and the chooser offered for one that is missing, are
  // read with the question's time limits held.
  whilePaused([this] {
    setWindowTitle("loading skin files...");
    platform::trace("load skin\n");
    reportedScriptErrors_.clear();
    LoadSkinScript();
    platform::trace("loaded\n");
    ApplySkin();
  });
}

void CTransDlg::FillSkinMenu(QMenu& menu) {
  skinFiles_.clear();
  const QDir folder(skinFolderOf(skinPath()));
  const QStringList names = folder.entryList({"*.lua"}, QDir::Files, QDir::Name);
  for (int i = 0; i < names.size(); ++i) {
    skinFiles_.push_back(folder.filePath(names[i]).toStdWString());
    QAction* item = menu.addAction(QString("&%1: %2").arg(i).arg(names[i]));
    item->setData(kFirstSkinCommand + i);
  }
}

void CTransDlg::contextMenuEvent(QContextMenuEvent* event) {
  // The skin commands of the window menu, and the version box.
  QMenu menu(this);
  menu.addAction(QString::fromStdWString(L"スキンの再読込(&R)\tF5"))->setData(kReloadSkinCommand);
  QMenu* skins = menu.addMenu(QString::fromStdWString(L"スキンの変更(&S)"));
  skins->addAction(QString::fromStdWString(L"ファイル選択... (&C)"))->setData(kChooseSkinCommand);
  FillSkinMenu(*skins);
  menu.addSeparator();
  menu.addAction(QString::fromStdWString(L"バージョン情報(&A)..."))->setData(kAboutCommand);
  QAction* chosen = whilePaused([&] { return menu.exec(event->globalPos()); });
  if (chosen && chosen->data().isValid()) OnCommand(chosen->data().toInt());
  afterSideCommand();
}

bool CTransDlg::ChooseSkinFile(int id) {
  if (id >= kFirstSkinCommand && id - kFirstSkinCommand < static_cast<int>(skinFiles_.size())) {
    const std::wstring path = skinFiles_[static_cast<size_t>(id - kFirstSkinCommand)];
    host_.setSkinPath(path);
    platform::trace("%ls\n", path.c_str());
    ReloadSkin();
    if (!host_.settings().keepLastReplyWindowPos) {
      if (const QSize skinSize = skinDialogSize(); !skinSize.isEmpty()) centreOnDesktop(skinSize.width(), skinSize.height());
    }
    return true;
  }
  if (id == kReloadSkinCommand) {
    ReloadSkin();
    return true;
  }
  if (id != kChooseSkinCommand) return false;
  const std::optional<std::wstring> chosen = whilePaused([this] { return askForSkinFile(); });
  if (!chosen) return true;
  host_.setSkinPath(*chosen);
  ReloadSkin();
  return true;
}

std::optional<std::wstring> CTransDlg::askForSkinFile() {
  platform::FileDialogRequest request;
  request.title = L"スキンファイルを指定してください。";
  request.initialPath = skinPath();
  request.filters = {{L"Skin Files(*.lua)", L"*.lua"}};
  const std::optional<std::wstring> chosen = platform::chooseFile(this, request);
  if (!chosen) return std::nullopt;
  SkinInfo info;
  info.Load(*chosen);
  if (!info.scriptStop.empty()) {
    platform::messageBox(this, Utf8ToWideString(info.scriptStop), L"ScriptError");
    return std::nullopt;
  }
  if (info.DesignName.empty()) {
    platform::messageBox(this, L"スキンファイルではありません", L"Kelvara");
    return std::nullopt;
  }
  return chosen;
}

void CTransDlg::repaintWindow() {
  renderPending_ = true;
  update();
}

void CTransDlg::resizeEvent(QResizeEvent* event) {
  QDialog::resizeEvent(event);
  renderPending_ = true;
}

void CTransDlg::renderSkin() {
  SkinLockHolder hold(skinLock());
  if (backBuffer_.size() != size()) backBuffer_ = QImage(size(), QImage::Format_RGB32);
  backBuffer_.fill(platform::toQColor(backgroundColor));
  platform::Dc dc(backBuffer_);
  if (!backgroundImage_.isNull()) {
    platform::Dc image(backgroundImage_);
    dc.bitBlt(0, 0, backgroundImage_.width(), backgroundImage_.height(), image, 0, 0, platform::SrcCopy);
  }
  if (!lua_) return;
  dc.setBkColor(backgroundColor);
  dc.setBkMode(platform::Transparent);
  paintDc = &dc;
  callSkin("OnUpdate", true);
  paintDc = nullptr;
  updateAnimationTimer();  // OnUpdate may have defined OnTimer
}

void CTransDlg::callSkin(const char* callback, bool reportErrors) {
  lua_State* state = lua_.get();
  CallbackScope scope(state, callbackDepth_);
  PushScriptState(LuaScript(state));
  if (CallScriptGlobal(state, callback) != 0 && (reportErrors || scriptStopMessage(state)))
    reportScriptError(describeLuaValue(state, -1));
}

void CTransDlg::reportScriptError(const std::string& message) {
  if (scriptErrorOpen_ || !reportedScriptErrors_.insert(message).second) return;
  scriptErrorOpen_ = true;
  // Shown after the paint: a box inside it would paint the window again from within.
  QMetaObject::invokeMethod(
      this,
      [this, message] {
        whilePaused([&] { platform::messageBox(this, Utf8ToWideString(message), L"ScriptError"); });
        scriptErrorOpen_ = false;
      },
      Qt::QueuedConnection);
}

void CTransDlg::paintEvent(QPaintEvent*) {
  if (renderPending_ && callbackDepth_ == 0) {
    renderPending_ = false;
    renderSkin();
  }
  QPainter painter(this);
  if (flashInverted_) {
    QImage inverted = backBuffer_;
    inverted.invertPixels();
    painter.drawImage(0, 0, inverted);
  } else {
    painter.drawImage(0, 0, backBuffer_);
  }
}

void CTransDlg::updateAnimationTimer() {
  // Every tick wakes the program up: a skin that animates nothing gets none.
  bool wanted = animating_ && lua_;
  if (wanted) {
    SkinLockHolder hold(skinLock());
    wanted = HasScriptFunction(lua_.get(), "OnTimer");
  }
  if (!wanted)
    animation_.stop();
  else if (!animation_.isActive())
    animation_.start();
}

void CTransDlg::OnAnimationTick() {
  // Nothing runs the skin while one of its callbacks, a box or a menu of the window is open.
  if (callbackDepth_ > 0 || !lua_ || scriptErrorOpen_) return;
  if (QWidget* modal = QApplication::activeModalWidget(); modal && modal != this) return;
  SkinLockHolder hold(skinLock());
  const int64_t now = platform::tickCountMs();
  if (animationStartTick_ < 0) animationStartTick_ = now;
  if (now - animationStartTick_ <= kAnimationMs) return;
  callSkin("OnTimer", false);
}

}  // namespace study
