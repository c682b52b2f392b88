// Which image shows a command, which commands menus show without one, how often commands are
// used, and the small command and key helpers that toolbars and menus share.
#pragma once

#include "platform/audio/audio_sink.h"
#include "platform/settings/archive.h"
#include "platform/drawing/gdi_dc.h"
#include "platform/settings/runtime_class.h"

#include <QEvent>
#include <functional>
#include <map>
#include <string>
#include <vector>

class QWidget;

class CommandManager : public platform::CObject {
 public:
  // Ids 0 and -1 are ignored; a command has an image in at most one of the two strips.
  void SetCmdImage(unsigned command, int image, bool userImage);
  int GetCmdImage(unsigned command, bool userImage) const;
  void ClearUserCmdImage(unsigned command);
  // FALSE puts the command on the list of menu items drawn without their image.
  void MarkCommand(unsigned command, bool withImage);
  bool IsMenuItemWithoutImage(unsigned command) const;

  std::map<unsigned, int> mapCommandImages;
  std::map<unsigned, int> mapUserCommandImages;
  std::vector<unsigned> lstCommandsWithoutImages;
};

// How often each command ran; decides which menu commands count as rarely used.
class CmdUsageCount : public platform::CObject {
 public:
  void AddCmd(unsigned command);
  bool Lookup(unsigned command, unsigned& count) const;
  bool HasEnoughInformation() const;
  bool IsFrequentlyUsed(unsigned command) const;
  void Serialize(platform::Archive& archive) override;
  unsigned Total() const { return total_; }

  static unsigned minimumTotal;
  static unsigned frequencyPercent;

 private:
  std::map<unsigned, unsigned> counts_;
  unsigned total_ = 0;
};

// Plays the menu sounds on a thread of its own: 1 a command was chosen, 2 a popup opened,
// -1 ends the thread until the library starts again (Restart).
namespace MenuSoundThread {
void Play(int sound);
void Restart();
// Whether menu sounds are played (bMenuSounds).
void Enable(bool on);
// Where sounds go ("MenuCommand" or "MenuPopup"); null plays nothing.
using Player = std::function<void(const char* alias)>;
void SetPlayer(Player player);
// Plays the desktop sound theme's "menu-click" and "menu-popup" into sinks of `openSink`; a
// theme without them stays silent. The library's start-up installs it with the system output.
void UseDesktopSounds(platform::SinkFactory openSink = platform::openSystemSink);
}  // namespace MenuSoundThread
void menuSoundPlay(int sound);

// Posts a mouse-leave event (mouseLeaveEvent()) to the widget once the cursor has left it,
// checked every 100 ms; tracking a widget already tracked adds nothing. False for a missing
// widget or without the leave flag (2).
bool TrackMouseLeave(QWidget* widget, unsigned flags = 2);
QEvent::Type mouseLeaveEvent();

// The character shortcut letters are compared with for a virtual key; 0 for a key that types no
// character (only letters, digits and the keypad's digits without Alt do).
unsigned TranslateShortcutChar(unsigned virtualKey);
// Turns letter translation through the keyboard layout on for A to Z: a letter key then stands
// for the upper-case form of what the layout types on it.
void SetTranslateShortcutLetters(bool on);

// What command checks and buttons need of the user-tools manager. None exists unless an
// application makes one, which then installs itself with setUserToolsLookup.
class UserToolsLookup {
 public:
  virtual ~UserToolsLookup() = default;
  // The command that opens the tools' set-up.
  virtual unsigned ToolsEntryCommand() const = 0;
  // The command lies in the manager's inclusive range of tool commands.
  virtual bool IsUserToolCmd(unsigned command) const = 0;
  // Draws the icon of the tool that runs `command` into `rect`; false when no tool does.
  virtual bool DrawToolIcon(unsigned command, platform::Dc* dc, const platform::Rect& rect) const = 0;
  virtual bool HasTool(unsigned command) const = 0;
};
void setUserToolsLookup(UserToolsLookup* tools);
UserToolsLookup* userToolsLookup();

// The frame a window belongs to: the library's override when one is set, else the window's
// top-level window, else the application's active window.
QWidget* GetTopFrame(QWidget* window);
// Null removes the override.
void setTopFrameOverride(QWidget* frame);
QWidget* topFrameOverride();

bool IsStandardCommand(unsigned command);
bool IsBasicCommand(unsigned command);
bool IsCommandPermitted(unsigned command);
