// A stand-in for the agent speech program: listens where the agent would, records each message
// as it arrives on the wire and answers it, on a thread of its own (the sender waits for the answer).
#pragma once

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

class FakeAgentServer {
 public:
  struct Message {
    uint64_t sender = 0;
    uint32_t command = 0;
    uint32_t byteCount = 0;
    std::u16string text;  // without the terminating NUL
    bool terminated = false;
  };

  explicit FakeAgentServer(const std::string& path) : path_(path) {
    ::unlink(path.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    listening_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(listener_, 8) == 0;
    thread_ = std::thread([this] { serve(); });
  }

  ~FakeAgentServer() {
    stop_ = true;
    thread_.join();
    ::close(listener_);
    ::unlink(path_.c_str());
  }

  bool listening() const { return listening_; }

  std::vector<Message> messages() const {
    std::lock_guard lock(mutex_);
    return messages_;
  }

 private:
  void serve() {
    while (!stop_) {
      pollfd ready{listener_, POLLIN, 0};
      if (::poll(&ready, 1, 20) <= 0) continue;
      const int connection = ::accept(listener_, nullptr, nullptr);
      if (connection < 0) continue;
      Message message;
      if (readMessage(connection, message)) {
        {
          std::lock_guard lock(mutex_);
          messages_.push_back(message);
        }
        const uint8_t answer[4] = {1, 0, 0, 0};
        [[maybe_unused]] ssize_t sent = ::write(connection, answer, sizeof answer);
      }
      ::close(connection);
    }
  }

  static bool readExactly(int fd, uint8_t* into, size_t count) {
    while (count > 0) {
      const ssize_t got = ::read(fd, into, count);
      if (got <= 0) return false;
      into += got;
      count -= static_cast<size_t>(got);
    }
    return true;
  }

  static uint64_t littleEndian(const uint8_t* bytes, int size) {
    uint64_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
  }

  static bool readMessage(int fd, Message& message) {
    uint8_t header[16];
    if (!readExactly(fd, header, sizeof header)) return false;  // a probe that only looked
    message.sender = littleEndian(header, 8);
    message.command = static_cast<uint32_t>(littleEndian(header + 8, 4));
    message.byteCount = static_cast<uint32_t>(littleEndian(header + 12, 4));
    std::vector<uint8_t> body(message.byteCount);
    if (!readExactly(fd, body.data(), body.size())) return false;
    for (size_t i = 0; i + 1 < body.size(); i += 2)
      message.text.push_back(static_cast<char16_t>(body[i] | body[i + 1] << 8));
    message.terminated = !message.text.empty() && message.text.back() == u'\0';
    if (message.terminated) message.text.pop_back();
    return true;
  }

  std::string path_;
  int listener_ = -1;
  bool listening_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<Message> messages_;
};
