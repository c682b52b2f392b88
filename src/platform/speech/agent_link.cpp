#include "platform/speech/agent_link.h"

#include <QByteArray>
#include <QThread>
#include <cstdlib>

#include "platform/byte_order.h"
#include "platform/files/folders.h"
#include "platform/files/local_link.h"
#include "platform/files/process.h"
#include "platform/text.h"
#include "platform/trace.h"

namespace platform {
namespace {

constexpr int kConnectTimeoutMs = 1000;
// The agent answers once it has taken the command, not after speaking; a longer wait means it hangs.
constexpr int kAnswerTimeoutMs = 3000;
constexpr int kLaunchPolls = 10;
constexpr unsigned long kLaunchPollIntervalMs = 100;

QByteArray encodeMessage(uint32_t command, const std::wstring& text, uint64_t sender) {
  std::u16string units = toUtf16(text);
  units.push_back(u'\0');
  QByteArray bytes;
  appendLittleEndian<quint64>(bytes, sender);
  appendLittleEndian<quint32>(bytes, command);
  appendLittleEndian<quint32>(bytes, static_cast<quint32>(units.size() * 2));
  for (char16_t unit : units) appendLittleEndian<quint16>(bytes, unit);
  return bytes;
}

}  // namespace

std::string agentSocketPath() {
  // Beside the program's lock files: private to the user, gone when the session ends.
  // No folder of our own: an empty name, which reaches no agent.
  const std::optional<std::string> folder = privateRuntimeFolder();
  return folder ? *folder + "/KlvAgentSpeaker" : std::string();
}

std::optional<AgentWindow> FindAgentSpeakerWindow() {
  AgentWindow agent{agentSocketPath()};
  LocalLink probe;
  if (!probe.connect(agent.socketPath, kConnectTimeoutMs)) return std::nullopt;
  return agent;
}

bool sendAgentCommand(const AgentWindow& agent, uint32_t command, const std::wstring& text, uint64_t sender) {
  LocalLink link;
  if (!link.connect(agent.socketPath, kConnectTimeoutMs)) {
    trace("agent: not reachable for command %u\n", command);
    return true;
  }
  // The 4-byte answer says the command has been handled before the next one is sent.
  if (!link.exchange(encodeMessage(command, text, sender), 4, kAnswerTimeoutMs))
    trace("agent: no answer to command %u\n", command);
  return true;
}

bool LaunchAgentSpeaker() {
  const std::wstring folder = programFolder();
  // The full path: a program of the same name elsewhere on the PATH must never be started.
  return startProcess(L"\"" + folder + L"/kat\"", folder).has_value();
}

bool EnsureAgentSpeaker() {
  if (FindAgentSpeakerWindow()) return true;
  if (!LaunchAgentSpeaker()) return false;
  for (int attempt = 0; attempt < kLaunchPolls; ++attempt) {
    QThread::msleep(kLaunchPollIntervalMs);
    if (FindAgentSpeakerWindow()) return true;
  }
  return false;
}

}  // namespace platform
