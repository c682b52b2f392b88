#include "platform/files/local_link.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <functional>
#include <thread>

namespace platform {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kRetryPause{5};

// Waits until the socket is ready for `events` or the deadline passes; false then, or on an error.
bool waitFor(int socket, short events, Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd entry{socket, events, 0};
    const int ready = ::poll(&entry, 1, static_cast<int>(left));
    if (ready > 0) return (entry.revents & events) != 0;
    if (ready < 0 && errno != EINTR) return false;
  }
}

// Moves `size` bytes by repeated calls of `step` (given the bytes moved so far), waiting for the
// socket between them; false when the peer closes, fails or does not keep the deadline.
bool moveAll(int socket, short events, Clock::time_point deadline, qint64 size,
             const std::function<ssize_t(qint64)>& step) {
  for (qint64 done = 0; done < size;) {
    const ssize_t moved = step(done);
    if (moved > 0) {
      done += moved;
    } else if (moved < 0 && errno == EINTR) {
      continue;
    } else if (!(moved < 0 && errno == EAGAIN) || !waitFor(socket, events, deadline)) {
      return false;
    }
  }
  return true;
}

}  // namespace

bool LocalLink::connect(const std::string& path, int timeoutMs) {
  close();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  // A path the address cannot hold would reach another server, or none.
  if (path.empty() || path.size() >= sizeof(address.sun_path)) return false;
  std::memcpy(address.sun_path, path.c_str(), path.size() + 1);
  socket_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
  if (socket_ < 0) return false;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    if (::connect(socket_, reinterpret_cast<const sockaddr*>(&address), sizeof(address)) == 0) return true;
    if (errno == EINTR) continue;
    // A server whose queue is full takes the connection once it has accepted the earlier ones.
    if (errno != EAGAIN || Clock::now() + kRetryPause >= deadline) break;
    std::this_thread::sleep_for(kRetryPause);
  }
  close();
  return false;
}

std::optional<QByteArray> LocalLink::exchange(const QByteArray& message, qint64 answerSize, int timeoutMs) {
  if (socket_ < 0) return std::nullopt;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  // A peer gone away is an answer that does not come, not a signal that ends the program.
  const bool sent = moveAll(socket_, POLLOUT, deadline, message.size(), [&](qint64 done) {
    return ::send(socket_, message.constData() + done, static_cast<size_t>(message.size() - done), MSG_NOSIGNAL);
  });
  QByteArray answer(static_cast<qsizetype>(answerSize), '\0');
  const bool received = sent && moveAll(socket_, POLLIN, deadline, answerSize, [&](qint64 done) {
    return ::recv(socket_, answer.data() + done, static_cast<size_t>(answerSize - done), 0);
  });
  if (!received) return std::nullopt;
  return answer;
}

void LocalLink::close() {
  if (socket_ < 0) return;
  ::close(socket_);
  socket_ = -1;
}

}  // namespace platform
