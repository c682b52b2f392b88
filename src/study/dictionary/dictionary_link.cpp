#include "study/dictionary/dictionary_link.h"

#include "platform/byte_order.h"
#include "platform/files/folders.h"
#include "platform/files/local_link.h"
#include "platform/windows/notifier.h"
#include "platform/files/process.h"
#include "platform/settings/registry_store.h"
#include "platform/text.h"
#include "platform/trace.h"
#include "services/shell_files.h"

#include <QByteArray>
#include <QThread>


namespace study {
namespace {

constexpr int kConnectTimeoutMs = 1000;
constexpr int kPokeTimeoutMs = 9999;
// How long a started program may take before it serves the link.
constexpr int kStartTimeoutMs = 3000;
constexpr unsigned long kStartPollMs = 100;
// What the original link reports when no conversation could be established.
constexpr unsigned kNoConversationEstablished = 0x400A;
constexpr uint32_t kTextClipboardFormat = 1;

enum RequestKind : char { ConnectRequest = 1, PokeRequest = 2 };

void appendField(QByteArray& message, const std::string& bytes) {
  platform::appendLittleEndian<quint32>(message, static_cast<quint32>(bytes.size()));
  message.append(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::optional<std::wstring> registeredProgramPath() {
  platform::RegistryKey key;
  if (!key.open(platform::RegistryRoot::LocalMachine, kPdicAppPathKey, false)) return std::nullopt;
  const std::optional<platform::RegistryValue> value = key.value(L"");
  if (!value || value->type != platform::RegistryType::String || value->text.empty()) return std::nullopt;
  return value->text;
}

// The path is the program itself: quoted whole, so blanks in it never split it into arguments.
bool startProgram(const std::wstring& path) {
  if (path.find(L'"') != std::wstring::npos) return false;
  return platform::startProcess(L"\"" + path + L"\"", PathParts(path).GetFolder()).has_value();
}

bool connectWithin(PdicDdeClient& client, int timeoutMs) {
  QElapsedTimer clock;
  clock.start();
  for (;;) {
    if (client.Connect("PDICW", "Simulate", true)) return true;
    if (clock.elapsed() >= timeoutMs) return false;
    QThread::msleep(kStartPollMs);
  }
}

}  // namespace

std::string dictionaryServicePath(const std::string& service) {
  const std::optional<std::string> folder = platform::privateRuntimeFolder();
  return folder ? *folder + "/" + service : std::string();
}

PdicDdeClient::PdicDdeClient() = default;
PdicDdeClient::~PdicDdeClient() { Disconnect(); }

bool PdicDdeClient::Connect(const std::string& service, const std::string& topic, bool quiet) {
  Disconnect();
  link_ = std::make_unique<platform::LocalLink>();
  QByteArray message(1, ConnectRequest);
  appendField(message, topic);
  if (link_->connect(dictionaryServicePath(service), kConnectTimeoutMs) &&
      request(message, kConnectTimeoutMs))
    return true;
  if (!quiet) platform::trace("error code : 0x%X\n", kNoConversationEstablished);
  Disconnect();
  return false;
}

bool PdicDdeClient::Poke(const std::string& item, const std::string& ansiText) {
  if (!link_) return false;
  QByteArray message(1, PokeRequest);
  appendField(message, item);
  platform::appendLittleEndian<quint32>(message, kTextClipboardFormat);
  appendField(message, ansiText + '\0');
  return request(message, kPokeTimeoutMs);
}

void PdicDdeClient::Disconnect() {
  link_.reset();
}

bool PdicDdeClient::request(const QByteArray& message, int timeoutMs) {
  const std::optional<QByteArray> answer = link_->exchange(message, 1, timeoutMs);
  return answer && answer->at(0) == 1;
}

void LookUpInPdic(const std::wstring& word, QWidget* owner) {
  PdicDdeClient client;
  if (!client.Connect("PDICW", "Simulate")) {
    platform::trace("DDE を初期化できません\n");
    platform::trace("PDIC を起動します\n");
    const std::optional<std::wstring> path = registeredProgramPath();
    if (!path) {
      platform::messageBox(owner, L"PDIC がインストールされていません", L"Kelvara", platform::MbOk);
      return;
    }
    if (!startProgram(*path) || !connectWithin(client, kStartTimeoutMs)) {
      platform::messageBox(owner, L"PDIC の起動に失敗しました", L"Kelvara", platform::MbOk);
      return;
    }
  }
  client.Poke("InputWord", platform::toCp932(word));
  client.Disconnect();
}

}  // namespace study
