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
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof address.sun_path - 1);
    listening_ = ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
                 ::listen(listener_, 8) == 0;
    thread_ = std::thread([this] {
      for (pollfd ready{listener_, POLLIN, 0}; !stop_;) {
        if (::poll(&ready, 1, 20) <= 0) continue;
        const int connection = ::accept(listener_, nullptr, nullptr);
        if (Message message; connection >= 0 && read(connection, message)) {
          std::lock_guard lock(mutex_);
          messages_.push_back(message);
          [[maybe_unused]] ssize_t answered = ::write(connection, "\1\0\0\0", 4);
        }
        if (connection >= 0) ::close(connection);
      }
    });
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
  static bool readExactly(int fd, std::vector<uint8_t>& into, size_t count) {
    into.resize(count);
    for (size_t done = 0; done < count;) {
      const ssize_t got = ::read(fd, into.data() + done, count - done);
      if (got <= 0) return false;
      done += static_cast<size_t>(got);
    }
    return true;
  }
  static uint64_t littleEndian(const uint8_t* bytes, int size) {
    uint64_t value = 0;
    while (size-- > 0) value = value << 8 | bytes[size];
    return value;
  }
  // A connection that closes before a whole message is a probe that only looked.
  static bool read(int fd, Message& message) {
    std::vector<uint8_t> header, body;
    if (!readExactly(fd, header, 16)) return false;
    message.sender = littleEndian(header.data(), 8);
    message.command = static_cast<uint32_t>(littleEndian(header.data() + 8, 4));
    message.byteCount = static_cast<uint32_t>(littleEndian(header.data() + 12, 4));
    if (!readExactly(fd, body, message.byteCount)) return false;
    for (size_t i = 0; i + 1 < body.size(); i += 2) message.text.push_back(static_cast<char16_t>(littleEndian(&body[i], 2)));
    message.terminated = !message.text.empty() && message.text.back() == u'\0';
    if (message.terminated) message.text.pop_back();
    return true;
  }

  std::string path_;
  int listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
  bool listening_ = false;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  mutable std::mutex mutex_;
  std::vector<Message> messages_;
};
