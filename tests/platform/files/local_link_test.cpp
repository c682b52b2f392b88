// Requests over a local socket, against a server of plain sockets as the other programs run them.
#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <functional>
#include <future>
#include <string>
#include <thread>

#include "platform/files/local_link.h"
#include "patience.h"
#include "test_env.h"

namespace {

// Listens at the path and serves one connection with `serve` in a thread of its own.
class OneShotServer {
 public:
  OneShotServer(const std::string& path, std::function<void(int)> serve) : path_(path) {
    ::unlink(path.c_str());
    listener_ = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::strncpy(address.sun_path, path.c_str(), sizeof(address.sun_path) - 1);
    EXPECT_EQ(::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
    EXPECT_EQ(::listen(listener_, 1), 0);
    thread_ = std::thread([this, serve = std::move(serve)] {
      const int client = ::accept(listener_, nullptr, nullptr);
      if (client < 0) return;
      serve(client);
      ::close(client);
    });
  }
  ~OneShotServer() {
    waitServed();
    ::close(listener_);
    ::unlink(path_.c_str());
  }

  // Returns once the connection has been served and closed.
  void waitServed() {
    if (thread_.joinable()) thread_.join();
  }

 private:
  std::string path_;
  int listener_ = -1;
  std::thread thread_;
};

std::string readExactly(int socket, size_t size) {
  std::string bytes(size, '\0');
  for (size_t got = 0; got < size;) {
    const ssize_t n = ::read(socket, bytes.data() + got, size - got);
    if (n <= 0) return bytes.substr(0, got);
    got += static_cast<size_t>(n);
  }
  return bytes;
}

}  // namespace

TEST(LocalLink, AnAnswerInPiecesArrivesWholeAndAPeerThatHangsUpIsNoAnswer) {
  const std::string path = testenv::processDir() + "/link";
  {
    std::string received;
    OneShotServer server(path, [&](int client) {
      received = readExactly(client, 5);
      ASSERT_EQ(::write(client, "\1\2", 2), 2);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
      ASSERT_EQ(::write(client, "\3\4", 2), 2);
    });
    platform::LocalLink link;
    ASSERT_TRUE(link.connect(path, 1000));
    const std::optional<QByteArray> answer = link.exchange(QByteArray("hello"), 4, 2000);
    ASSERT_TRUE(answer);
    EXPECT_EQ(*answer, QByteArray("\1\2\3\4", 4));
    link.close();
    EXPECT_EQ(received, "hello");
  }
  {
    // Gone before it reads a large message: the write fails, and the program is not signalled away.
    OneShotServer server(path, [](int) {});
    platform::LocalLink link;
    ASSERT_TRUE(link.connect(path, 1000));
    server.waitServed();
    EXPECT_FALSE(link.exchange(QByteArray(1 << 20, 'x'), 4, 2000));
  }
  {
    // Connected and silent: the exchange gives up at its own deadline. The peer answers only
    // when the exchange has not ended long after it, so a deadline overrun gets its answer; a
    // busy machine that is slow to end an exchange that has kept its deadline never does.
    std::promise<void> givenUp;
    OneShotServer server(path, [ended = givenUp.get_future().share()](int client) {
      if (ended.wait_for(testwait::kPatience) == std::future_status::timeout) ASSERT_EQ(::write(client, "late", 4), 4);
    });
    platform::LocalLink link;
    ASSERT_TRUE(link.connect(path, 1000));
    EXPECT_FALSE(link.exchange(QByteArray("hello"), 4, 20));
    givenUp.set_value();
  }
  platform::LocalLink nobody;
  EXPECT_FALSE(nobody.connect(path, 100));
  EXPECT_FALSE(nobody.connect(path + std::string(200, 'x'), 100));  // more than an address holds
}
