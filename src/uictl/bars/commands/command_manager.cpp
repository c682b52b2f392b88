#include "uictl/bars/commands/command_manager.h"

#include "platform/audio/event_sound_player.h"
#include "platform/windows/keyboard_layout.h"
#include "uictl/bars/library_globals.h"

#include <QApplication>
#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

void CommandManager::SetCmdImage(unsigned command, int image, bool userImage) {
  if (command == 0 || command == 0xFFFFFFFFu) return;
  const auto& other = userImage ? mapCommandImages : mapUserCommandImages;
  if (auto it = other.find(command); it != other.end() && it->second >= 0) return;
  (userImage ? mapUserCommandImages : mapCommandImages)[command] = image;
}

int CommandManager::GetCmdImage(unsigned command, bool userImage) const {
  const auto& map = userImage ? mapUserCommandImages : mapCommandImages;
  auto it = map.find(command);
  return it == map.end() ? -1 : it->second;
}

void CommandManager::ClearUserCmdImage(unsigned command) { mapUserCommandImages.erase(command); }

void CommandManager::MarkCommand(unsigned command, bool withImage) {
  auto it = std::find(lstCommandsWithoutImages.begin(), lstCommandsWithoutImages.end(), command);
  if (withImage) {
    if (it != lstCommandsWithoutImages.end()) lstCommandsWithoutImages.erase(it);
  } else if (it == lstCommandsWithoutImages.end()) {
    lstCommandsWithoutImages.push_back(command);
  }
}

bool CommandManager::IsMenuItemWithoutImage(unsigned command) const {
  return std::find(lstCommandsWithoutImages.begin(), lstCommandsWithoutImages.end(), command) !=
         lstCommandsWithoutImages.end();
}

unsigned CmdUsageCount::minimumTotal = 0;
unsigned CmdUsageCount::frequencyPercent = 5;

void CmdUsageCount::AddCmd(unsigned command) {
  if (toolbarClassData().bCustomizeMode || command == 0 || command == 0xFFFFFFFFu) return;
  if (IsBasicCommand(command) || IsStandardCommand(command)) return;
  ++counts_[command];
  ++total_;
}

bool CmdUsageCount::Lookup(unsigned command, unsigned& count) const {
  auto it = counts_.find(command);
  if (it == counts_.end()) return false;
  count = it->second;
  return true;
}

bool CmdUsageCount::HasEnoughInformation() const { return total_ >= minimumTotal; }

bool CmdUsageCount::IsFrequentlyUsed(unsigned command) const {
  if (total_ == 0) return false;
  unsigned count = 0;
  Lookup(command, count);
  return count * 100u / total_ > frequencyPercent;
}

void CmdUsageCount::Serialize(platform::Archive& archive) {
  if (archive.IsStoring()) {
    archive.writeU32(total_);
    archive.writeCount(static_cast<uint32_t>(counts_.size()));
    for (const auto& [id, count] : counts_) {
      archive.writeU32(id);
      archive.writeU32(count);
    }
    return;
  }
  total_ = archive.readU32();
  const uint32_t n = archive.readCount();
  for (uint32_t i = 0; i < n; ++i) {
    const unsigned id = archive.readU32();
    counts_[id] = archive.readU32();
  }
}

namespace {

// The thread sleeps until a sound is asked for; a request not yet played gives way to a newer one.
std::mutex g_soundLock;
std::condition_variable g_soundAsked;
int g_pendingSound = 0;  // 0 nothing, 1 command, 2 popup, -1 stop
bool g_soundThreadStarted = false;
bool g_soundsEnded = false;
std::atomic<bool> g_menuSounds{true};
std::mutex g_playerLock;
MenuSoundThread::Player g_player;

void soundLoop() {
  std::unique_lock lock(g_soundLock);
  for (;;) {
    g_soundAsked.wait(lock, [] { return g_pendingSound != 0; });
    const int sound = std::exchange(g_pendingSound, 0);
    if (sound == -1) return;
    lock.unlock();
    {
      std::lock_guard guard(g_playerLock);
      if (g_player) g_player(sound == 1 ? "MenuCommand" : "MenuPopup");
    }
    lock.lock();
  }
}

}  // namespace

void MenuSoundThread::Play(int sound) {
  // The end is always delivered, sounds on or off.
  if (sound != -1 && !g_menuSounds) return;
  std::lock_guard lock(g_soundLock);
  if (g_soundsEnded) return;
  if (sound == -1) g_soundsEnded = true;
  if (!g_soundThreadStarted) {
    if (sound == -1) return;
    try {
      std::thread(soundLoop).detach();
    } catch (const std::system_error&) {
      return;
    }
    g_soundThreadStarted = true;
  }
  g_pendingSound = sound;
  g_soundAsked.notify_one();
}

void MenuSoundThread::Restart() {
  std::lock_guard lock(g_soundLock);
  g_soundsEnded = false;
  if (g_pendingSound == -1) {
    // The thread has not yet taken its end: it simply serves on.
    g_pendingSound = 0;
  } else {
    // The thread has returned, or returns without looking again: a later sound starts a new one.
    g_soundThreadStarted = false;
  }
}

void MenuSoundThread::UseDesktopSounds(platform::SinkFactory openSink) {
  // Shared by the copies of the player; the theme is read at the first sound, not here.
  auto sounds = std::make_shared<platform::EventSoundPlayer>(std::move(openSink));
  SetPlayer([sounds](const char* alias) {
    sounds->play(std::string_view(alias) == "MenuCommand" ? "menu-click" : "menu-popup");
  });
}

void MenuSoundThread::Enable(bool on) { g_menuSounds = on; }

void MenuSoundThread::SetPlayer(Player player) {
  std::lock_guard<std::mutex> guard(g_playerLock);
  g_player = std::move(player);
}

void menuSoundPlay(int sound) { MenuSoundThread::Play(sound); }

QEvent::Type mouseLeaveEvent() {
  static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
  return type;
}

bool TrackMouseLeave(QWidget* widget, unsigned flags) {
  if (!widget || !(flags & 2)) return false;
  // Callers track again on every move; one watch per widget posts one leave.
  static const QString watchName = QStringLiteral("kelvara-mouse-leave-watch");
  if (widget->findChild<QTimer*>(watchName, Qt::FindDirectChildrenOnly)) return true;
  auto* timer = new QTimer(widget);
  timer->setObjectName(watchName);
  timer->setInterval(100);
  QPointer<QWidget> target(widget);
  QObject::connect(timer, &QTimer::timeout, widget, [timer, target] {
    if (!target) return;
    const QPoint cursor = QCursor::pos();
    const QRect area(target->mapToGlobal(QPoint(0, 0)), target->size());
    if (area.contains(cursor) && QApplication::widgetAt(cursor) == target) return;
    timer->stop();
    timer->setObjectName(QString());
    timer->deleteLater();
    QCoreApplication::postEvent(target, new QEvent(mouseLeaveEvent()));
  });
  timer->start();
  return true;
}

namespace {
bool g_translateLetters = false;
}

void SetTranslateShortcutLetters(bool on) {
  g_translateLetters = on;
  if (on) platform::watchKeyboardLayout();
}

namespace {

// Function keys and the keypad's operators carry codes of letters, and Alt with a keypad digit
// enters a character code: none of them types a character that a shortcut letter could stand for.
bool typesCharacter(unsigned vk, bool alt) {
  return (vk >= 'A' && vk <= 'Z') || (vk >= '0' && vk <= '9') || (vk >= 0x60 && vk <= 0x69 && !alt);
}

}  // namespace

unsigned TranslateShortcutChar(unsigned vk) {
  const bool alt = QGuiApplication::queryKeyboardModifiers() & Qt::AltModifier;
  if (!typesCharacter(vk, alt)) return 0;
  if (vk >= 0x60 && vk <= 0x69) return '0' + (vk - 0x60);
  if (g_translateLetters && vk >= 'A' && vk <= 'Z') {
    // A key that types nothing under the layout (or not yet seen typing, where the layout is
    // learned) keeps its letter.
    const char32_t typed = platform::layoutCharacterOf(vk);
    return typed ? QChar::toUpper(typed) : vk;
  }
  // Letter and digit keys are named by their upper-case characters.
  return vk;
}

namespace {
UserToolsLookup* g_userTools = nullptr;
QPointer<QWidget> g_topFrameOverride;
}  // namespace

void setUserToolsLookup(UserToolsLookup* tools) { g_userTools = tools; }
UserToolsLookup* userToolsLookup() { return g_userTools; }

void setTopFrameOverride(QWidget* frame) { g_topFrameOverride = frame; }
QWidget* topFrameOverride() { return g_topFrameOverride; }

QWidget* GetTopFrame(QWidget* window) {
  if (g_topFrameOverride) return g_topFrameOverride;
  if (window) return window->window();
  return QApplication::activeWindow();
}

bool IsStandardCommand(unsigned command) {
  const int signedCommand = static_cast<int>(command);
  if ((command >= 0xE110 && command < 0xE120) || (command >= 0xF000 && command < 0xF1F0) ||
      (signedCommand >= 0xFF00) || (command >= 0xE210 && command < 0xE220))
    return true;
  return g_userTools && command == g_userTools->ToolsEntryCommand();
}

bool IsBasicCommand(unsigned command) {
  const auto& list = basicCommands();
  return std::find(list.begin(), list.end(), command) != list.end();
}

bool IsCommandPermitted(unsigned command) {
  const auto& list = forbiddenCommands();
  return std::find(list.begin(), list.end(), command) == list.end();
}
