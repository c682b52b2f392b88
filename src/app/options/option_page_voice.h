// The voice page of the options: recorded voice files, the text-to-speech voice with its rate,
// volume and output format, or the agent speech program with its engine and pitch. Changes to the
// voice and the agent take effect at once; the settings are stored by the dialog's OK.
#pragma once

#include <string>
#include <vector>

#include "app/options/option_page.h"

class KlvApp;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QSlider;

// One engine of the agent's language file: shown by name, chosen by number and text.
struct AgentEngine {
  std::wstring name;
  std::wstring text;
  unsigned number = 0;
};

// Groups of three lines (name, engine text, number in hexadecimal); a group whose number does not
// read is skipped, and reading stops at the end of the file or inside a group.
std::vector<AgentEngine> readAgentEngines(const std::wstring& file);

class COptionpageVoice : public OptionPage {
  Q_OBJECT

 public:
  COptionpageVoice(KlvApp& app, QWidget* parent);

  void load(const AppSettings& settings, bool defaults) override;
  void store(AppSettings& settings) override;
  bool takesDefaults() const override { return false; }

  const std::vector<AgentEngine>& agentEngines() const { return engines_; }

 private:
  QSlider* addSlider(int id, int low, int high, const QRect& rect);
  void updateStates();
  void onUseVoice();
  void onUseAgent();
  void onFormat();
  void onVoice();
  void onEngine();
  void onSlider(int id, int position);
  void onTest();
  // Sends the command to the agent when it runs (no sender window).
  static void toAgent(uint32_t command, const std::wstring& text);
  static std::wstring engineId(const AgentEngine& engine);

  KlvApp& app_;
  bool speechAvailable_;
  std::wstring voiceDescription_;
  std::vector<AgentEngine> engines_;
  bool loading_ = false;
  QCheckBox* useWav_;
  QCheckBox* useVoice_;
  QComboBox* voices_;
  QSlider* rate_;
  QSlider* volume_;
  QComboBox* formats_;
  QCheckBox* useAgent_;
  QComboBox* agentEngines_;
  QSlider* pitch_;
  QLineEdit* pitchText_;
  QSlider* agentVolume_;
  QLineEdit* agentVolumeText_;
  QLineEdit* testText_;
  QCheckBox* clipboardCopy_;
};
