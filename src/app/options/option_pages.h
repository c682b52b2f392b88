// The pages of the options dialog for the general, reply, mode and file settings. Controls are
// named after the settings they hold ("ignore-case"); a setting's use check is "use-..." or,
// for the sounds, "<sound>-use", with "<sound>-browse" and "<sound>-play" beside its path.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "app/options/option_page.h"
#include "platform/windows/file_dialog.h"

class CUxColorButton;
class KlvApp;
class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QSlider;
class SoundQueue;

class COptionpageGeneral : public OptionPage {
  Q_OBJECT

 public:
  COptionpageGeneral(KlvApp& app, QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;

 private:
  // The button's colour, the default standing for its automatic entry.
  int chosenBackground() const;

  KlvApp& app_;
  QRadioButton* randomOn_;
  QRadioButton* randomOff_;
  NumberEdit* questionCount_;
  QCheckBox* osBackground_;
  CUxColorButton* background_;
};

class COptionpageReply : public OptionPage {
  Q_OBJECT

 public:
  COptionpageReply(const AppSettings& settings, SoundQueue& sounds, QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  bool check() override;
  void store(AppSettings& settings) override;

 private:
  // One answer sound: its use check, path, browse and play buttons and its texts.
  struct Sound {
    QCheckBox* use;
    QLineEdit* path;
    const wchar_t* browseTitle;
    const wchar_t* missingMessage;
    const wchar_t* unplayableMessage;
  };
  Sound addSound(const char* name, const wchar_t* useText, int y, const wchar_t* browseTitle,
                 const wchar_t* missingMessage, const wchar_t* unplayableMessage);
  void browse(const Sound& sound);
  void play(const Sound& sound);
  bool checkSound(const Sound& sound);
  static void loadSound(const Sound& sound, const std::wstring& path);

  const AppSettings& settings_;
  SoundQueue& sounds_;
  Sound correct_;
  Sound incorrect_;
  NumberEdit* correctWait_;
  NumberEdit* incorrectWait_;
  QSlider* volume_;
  QComboBox* opacity_;
  QRadioButton* mistakesInOrder_;
  QRadioButton* mistakesAtRandom_;
  QCheckBox* alwaysShowHint_;
  QCheckBox* stopAfterAnswer_;
  QCheckBox* showPronounce_;
  QCheckBox* showPronounceByImage_;
  QCheckBox* keepWindowPos_;
  QCheckBox* alwaysOnTop_;
};

class COptionpageReplyInput : public OptionPage {
  Q_OBJECT

 public:
  explicit COptionpageReplyInput(QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;

 private:
  QCheckBox* ignoreCase_;
  QCheckBox* decideWithoutReturn_;
  QCheckBox* useStartLimit_;
  NumberEdit* startLimit_;
  QCheckBox* useReplyLimit_;
  NumberEdit* replyLimit_;
  QRadioButton* multiAll_;
  QRadioButton* multiCount_;
  NumberEdit* multiOkCount_;
  QCheckBox* judgeByHead_;
  QCheckBox* judgeBySub_;
  NumberEdit* subCount_;
};

class COptionpageReplySelect : public OptionPage {
  Q_OBJECT

 public:
  explicit COptionpageReplySelect(QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;

 private:
  // A limit of the four-choice modes: its use check and its number.
  struct Limit {
    QCheckBox* use;
    NumberEdit* value;
  };
  Limit addLimit(const char* useName, const wchar_t* useText, const char* name, int low, int high, int y);
  static void loadLimit(const Limit& limit, bool use, int value);
  static void storeLimit(const Limit& limit, BoolSetting& use, IntSetting& value);

  Limit showEj4_;
  Limit replyEj4_;
  Limit showJe4_;
  Limit replyJe4_;
  QCheckBox* selectionReturn_;
};

class COptionpageReplyCard : public OptionPage {
  Q_OBJECT

 public:
  explicit COptionpageReplyCard(QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;

 private:
  QCheckBox* showAnswer_;
};

class COptionpageFile : public OptionPage {
  Q_OBJECT

 public:
  explicit COptionpageFile(QWidget* parent);
  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;

 private:
  // A path of the settings, edited as text or chosen with its browse button.
  struct PathRow {
    StringSetting AppSettings::*setting;
    QLabel* label;
    QLineEdit* edit;
  };
  // The labels take the width the longest of them needs in the page's font; the fields the rest.
  void alignPathRows();
  // Its browse button calls browse with the row's edit.
  void addPathRow(StringSetting AppSettings::*setting, const char* name, const wchar_t* text, int y,
                  std::function<void(QLineEdit*)> browse);
  void browseDatabase(QLineEdit* edit);
  void browseFile(QLineEdit* edit, const wchar_t* title, const wchar_t* extension,
                  const std::vector<platform::FileFilter>& filters);
  void browseFolder(QLineEdit* edit);

  std::vector<PathRow> paths_;
  QCheckBox* makeBackup_;
};
