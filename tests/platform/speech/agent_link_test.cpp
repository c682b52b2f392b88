#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <memory>
#include <thread>

#include "fake_agent_server.h"
#include "platform/speech/agent_link.h"
#include "platform/files/folders.h"
#include "patience.h"
#include "test_env.h"

using namespace platform;

TEST(AgentLink, CommandsArriveInOrderAsUtf16WithTheirNul) {
  EXPECT_FALSE(FindAgentSpeakerWindow());
  EXPECT_TRUE(sendAgentCommand(AgentWindow{agentSocketPath()}, AgentQuit, L"", 0));  // gone: no hang, no error
  FakeAgentServer server(agentSocketPath());
  const std::optional<AgentWindow> agent = FindAgentSpeakerWindow();
  ASSERT_TRUE(agent);
  sendAgentCommand(*agent, AgentAttach, L"", 0x1234567890ull);
  sendAgentCommand(*agent, AgentSpeak, L"日本語 \U0001D11E word", 7);

  const std::vector<FakeAgentServer::Message> messages = server.messages();
  ASSERT_EQ(messages.size(), 2u);  // the probe of FindAgentSpeakerWindow carries no message
  EXPECT_EQ(messages[0].command, AgentAttach);
  EXPECT_EQ(messages[0].sender, 0x1234567890ull);
  EXPECT_EQ(messages[0].byteCount, 2u);
  EXPECT_TRUE(messages[0].terminated);
  EXPECT_EQ(messages[1].command, AgentSpeak);
  EXPECT_EQ(messages[1].sender, 7u);
  EXPECT_EQ(messages[1].text, u"日本語 \U0001D11E word");
  EXPECT_EQ(messages[1].byteCount, (messages[1].text.size() + 1) * 2);  // the surrogate pair counts two
}

TEST(AgentLink, EnsureStartsKatFromTheProgramFolderAndPollsForIt) {
  auto folderWithKat = [](const char* name, bool withKat) {
    const QString folder = QString::fromStdString(testenv::processDir()) + "/" + name;
    QDir().mkpath(folder);
    QFile kat(folder + "/kat");
    if (withKat && kat.open(QIODevice::WriteOnly)) {
      kat.write("#!/bin/sh\nexit 0\n");
      kat.close();
      kat.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    return folder.toStdWString();
  };
  {
    ProgramFolderOverride folder(folderWithKat("none", false));
    {
      FakeAgentServer running(agentSocketPath());
      EXPECT_TRUE(EnsureAgentSpeaker());  // nothing to start, nothing started
    }
    EXPECT_FALSE(EnsureAgentSpeaker());
  }
  const std::wstring katFolder = folderWithKat("kat", true);
  ProgramFolderOverride folder(katFolder);
  EXPECT_FALSE(EnsureAgentSpeaker());  // started, never reachable
  // The agent becomes reachable once it has been started, while the program looks for it: the
  // start is seen as the kernel opening `kat` to run it, which is done before the looking begins.
  const int watch = inotify_init1(IN_CLOEXEC);
  ASSERT_GE(watch, 0);
  ASSERT_GE(inotify_add_watch(watch, (QString::fromStdWString(katFolder) + "/kat").toLocal8Bit().constData(), IN_OPEN), 0);
  std::unique_ptr<FakeAgentServer> late;
  bool started = false;
  std::thread starter([&] {
    pollfd opened{watch, POLLIN, 0};
    started = ::poll(&opened, 1, testwait::kPatienceMs) == 1;
    late = std::make_unique<FakeAgentServer>(agentSocketPath());
  });
  EXPECT_TRUE(EnsureAgentSpeaker());  // reachable a while after the start
  starter.join();
  ::close(watch);
  EXPECT_TRUE(started);
}
