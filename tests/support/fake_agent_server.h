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
  // A connection that closes before a whole message is a probe that only looked. Fields are
  // little-endian, as on this machine.
  static bool read(int fd, Message& message) {
    uint8_t header[16];
    if (::recv(fd, header, sizeof header, MSG_WAITALL) != sizeof header) return false;
    std::memcpy(&message.sender, header, 8);
    std::memcpy(&message.command, header + 8, 4);
    std::memcpy(&message.byteCount, header + 12, 4);
    std::u16string body((message.byteCount + 1) / 2, u'\0');
    if (::recv(fd, body.data(), message.byteCount, MSG_WAITALL) != static_cast<ssize_t>(message.byteCount)) return false;
    message.terminated = !body.empty() && body.back() == u'\0';
    message.text = body.substr(0, message.terminated ? body.size() - 1 : body.size());
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
