// A stand-in for the outside dictionary program: it serves the look-up link and records what it
// is sent.
#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QtEndian>
#include <sys/stat.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/files/folders.h"
#include "study/dictionary/dictionary_link.h"

namespace skintest {

// Serves the link on its own thread (the client waits synchronously) and records the requests.
class FakeDictionaryProgram {
 public:
  // Starts serving once the file exists; without one, it serves once constructed, as a program
  // already running does.
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
    // A program started later is not there yet. One already running is: a look-up made as soon as
    // the constructor returns must find it listening, however late this thread gets the processor.
    if (!waitForFile.empty()) ready_ = true;
    while (!waitForFile.empty() && !std::filesystem::exists(waitForFile) && !stop_)
      std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::mkdir(platform::runtimeFolder().c_str(), 0700);
    QLocalServer server;
    QLocalServer::removeServer(QString::fromStdString(study::dictionaryServicePath("PDICW")));
    const bool listening = server.listen(QString::fromStdString(study::dictionaryServicePath("PDICW")));
    ready_ = true;
    if (!listening) return;
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

}  // namespace skintest
