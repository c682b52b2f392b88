// A one-shot HTTP server on 127.0.0.1 in its own thread (the client under test blocks the GUI
// thread): it takes one connection, keeps the request's head and answers with the bytes given,
// or stays silent until it is destroyed.
#pragma once

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <mutex>
#include <string>
#include <thread>

class HttpTestServer {
 public:
  // silent: read the request, answer nothing.
  explicit HttpTestServer(std::string response, bool silent = false)
      : response_(std::move(response)), silent_(silent) {
    listener_ = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    listen(listener_, 1);
    socklen_t length = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~HttpTestServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }
  HttpTestServer(const HttpTestServer&) = delete;
  HttpTestServer& operator=(const HttpTestServer&) = delete;

  std::string url() const { return "http://127.0.0.1:" + std::to_string(port_); }
  // The request's line and headers as they came, "" when none came.
  std::string request() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return request_;
  }

 private:
  bool readable(int fd) {
    pollfd entry{fd, POLLIN, 0};
    while (!stop_)
      if (poll(&entry, 1, 20) > 0) return true;
    return false;
  }

  void serve() {
    if (!readable(listener_)) return;
    const int connection = accept(listener_, nullptr, nullptr);
    std::string head;
    char buffer[4096];
    while (head.find("\r\n\r\n") == std::string::npos && readable(connection)) {
      const ssize_t got = recv(connection, buffer, sizeof buffer, 0);
      if (got <= 0) break;
      head.append(buffer, static_cast<size_t>(got));
    }
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      request_ = head;
    }
    if (silent_) {
      while (!stop_) std::this_thread::sleep_for(std::chrono::milliseconds(20));
    } else {
      send(connection, response_.data(), response_.size(), MSG_NOSIGNAL);
    }
    close(connection);
  }

  std::string response_;
  bool silent_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string request_;
  std::thread thread_;
};

// A complete reply with the status line given and the body.
inline std::string httpReply(const std::string& status, const std::string& body) {
  return "HTTP/1.1 " + status + "\r\nContent-Type: text/plain\r\nContent-Length: " + std::to_string(body.size()) +
         "\r\nConnection: close\r\n\r\n" + body;
}
