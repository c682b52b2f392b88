// The dictionary look-up against a fake dictionary program serving the link.
#include <gtest/gtest.h>

#include "platform/folders.h"
#include "platform/registry_store.h"
#include "platform/text.h"
#include "skin_test_support.h"
#include "study/dictionary_link.h"

#include <sys/stat.h>

#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <mutex>
#include <thread>

using namespace study;
using skintest::BoxRecorder;

namespace {

// Serves the link on its own thread (the client waits synchronously) and records the requests.
class FakeDictionaryProgram {
 public:
  // Starts serving once the file exists (empty: at once).
  explicit FakeDictionaryProgram(std::string waitForFile = "") {
    thread_ = std::thread([this, waitForFile] { serve(waitForFile); });
    while (!ready_) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  ~FakeDictionaryProgram() {
    stop_ = true;
    thread_.join();
  }
  std::vector<std::string> requests() {
    std::scoped_lock hold(lock_);
    return requests_;
  }

 private:
  void serve(const std::string& waitForFile) {
    ready_ = true;
    while (!waitForFile.empty() && !std::filesystem::exists(waitForFile) && !stop_)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::mkdir(platform::runtimeFolder().c_str(), 0700);
    QLocalServer server;
    QLocalServer::removeServer(QString::fromStdString(dictionaryServicePath("PDICW")));
    if (!server.listen(QString::fromStdString(dictionaryServicePath("PDICW")))) return;
    while (!stop_) {
      if (!server.waitForNewConnection(20)) continue;
      std::unique_ptr<QLocalSocket> client(server.nextPendingConnection());
      while (!stop_ && client->state() == QLocalSocket::ConnectedState) {
        if (client->bytesAvailable() == 0 && !client->waitForReadyRead(20)) continue;
        handle(*client);
      }
    }
  }

  static std::string readField(QLocalSocket& client) {
    const uint32_t length = qFromLittleEndian<quint32>(readBytes(client, 4).data());
    return readBytes(client, length);
  }
  static std::string readBytes(QLocalSocket& client, qint64 count) {
    while (client.bytesAvailable() < count && client.waitForReadyRead(1000)) {
    }
    return client.read(count).toStdString();
  }

  void handle(QLocalSocket& client) {
    const std::string kind = readBytes(client, 1);
    std::string request;
    char answer = 1;
    if (kind == "\x01") {
      const std::string topic = readField(client);
      request = "connect " + topic;
      answer = topic == "Simulate";
    } else {
      request = "poke " + readField(client);
      request += " " + std::to_string(qFromLittleEndian<quint32>(readBytes(client, 4).data()));
      request += " " + readField(client);
    }
    {
      std::scoped_lock hold(lock_);
      requests_.push_back(request);
    }
    client.write(&answer, 1);
    client.waitForBytesWritten(1000);
  }

  std::thread thread_;
  std::atomic<bool> ready_{false};
  std::atomic<bool> stop_{false};
  std::mutex lock_;
  std::vector<std::string> requests_;
};

// Registers a stand-in program (a script that notes how it was started) in a folder with blanks.
std::string registerProgram(const std::string& folder) {
  const std::string programFolder = folder + "/my dictionary";
  std::filesystem::create_directories(programFolder);
  const std::string record = folder + "/started.txt";
  const std::string program = skintest::writeFile(
      programFolder, "dictionary program", "#!/bin/sh\necho \"$0|$#|$(pwd)\" > '" + record + "'\n");
  ::chmod(program.c_str(), 0755);
  platform::RegistryKey key;
  EXPECT_TRUE(key.open(platform::RegistryRoot::LocalMachine, kPdicAppPathKey, true));
  EXPECT_TRUE(key.setValue(L"", platform::RegistryValue::fromString(platform::fromUtf8(program))));
  return record;
}

void unregisterProgram() {
  platform::RegistryKey software;
  software.open(platform::RegistryRoot::LocalMachine, L"SOFTWARE", true);
  software.deleteSubKey(L"PDIC");
}

}  // namespace

TEST(DictionaryLink, ARunningProgramGetsOnePokeAndNothingIsStarted) {
  const std::string record = registerProgram(skintest::freshFolder());
  FakeDictionaryProgram program;
  BoxRecorder boxes;
  LookUpInPdic(L"辞書 word", nullptr);
  EXPECT_EQ(program.requests(),
            (std::vector<std::string>{"connect Simulate", std::string("poke InputWord 1 \x8E\xAB\x8F\x91 word") + '\0'}));
  EXPECT_TRUE(boxes.boxes.empty());
  EXPECT_FALSE(std::filesystem::exists(record));
  unregisterProgram();
}

TEST(DictionaryLink, AProgramThatIsNotRunningIsStartedFromItsWholePath) {
  const std::string folder = skintest::freshFolder();
  const std::string record = registerProgram(folder);
  FakeDictionaryProgram program(record);  // serves once the program has been started
  BoxRecorder boxes;
  LookUpInPdic(L"apple", nullptr);
  EXPECT_EQ(skintest::readFile(record),
            folder + "/my dictionary/dictionary program|0|" + folder + "/my dictionary\n");
  EXPECT_EQ(program.requests(), (std::vector<std::string>{"connect Simulate", std::string("poke InputWord 1 apple") + '\0'}));
  EXPECT_TRUE(boxes.boxes.empty());
  unregisterProgram();
}

TEST(DictionaryLink, MissingOrFailingProgramsAreReported) {
  {
    BoxRecorder boxes;
    LookUpInPdic(L"apple", nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"PDIC がインストールされていません");
  }
  {
    // Started, but it never serves the link.
    const std::string record = registerProgram(skintest::freshFolder());
    BoxRecorder boxes;
    LookUpInPdic(L"apple", nullptr);
    ASSERT_EQ(boxes.boxes.size(), 1u);
    EXPECT_EQ(boxes.boxes[0].text, L"PDIC の起動に失敗しました");
    EXPECT_TRUE(std::filesystem::exists(record));
    unregisterProgram();
  }
}
