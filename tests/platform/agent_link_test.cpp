#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <memory>
#include <thread>

#include "fake_agent_server.h"
#include "platform/agent_link.h"
#include "platform/folders.h"
#include "test_env.h"

using namespace platform;

namespace {

std::wstring programFolderWithKat(const char* name, bool withKat) {
  const QString folder = QString::fromStdString(testenv::processDir()) + "/" + name;
  QDir().mkpath(folder);
  if (withKat) {
    QFile kat(folder + "/kat");
    kat.open(QIODevice::WriteOnly);
    kat.write("#!/bin/sh\nexit 0\n");
    kat.close();
    kat.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  }
  return folder.toStdWString();
}

}  // namespace

TEST(AgentLink, CommandsArriveInOrderAsUtf16WithTheirNul) {
  EXPECT_FALSE(FindAgentSpeakerWindow());
  FakeAgentServer server(agentSocketPath());
  ASSERT_TRUE(server.listening());
  const std::optional<AgentWindow> agent = FindAgentSpeakerWindow();
  ASSERT_TRUE(agent);

  sendAgentCommand(*agent, AgentAttach, L"", 0x1234567890ull);
  sendAgentCommand(*agent, AgentSpeak, L"日本語 \U0001D11E word", 0);
  sendAgentCommand(*agent, AgentEngine, L"409,{X}", 7);

  const std::vector<FakeAgentServer::Message> messages = server.messages();
  ASSERT_EQ(messages.size(), 3u);  // the probe of FindAgentSpeakerWindow carries no message
  EXPECT_EQ(messages[0].command, AgentAttach);
  EXPECT_EQ(messages[0].sender, 0x1234567890ull);
  EXPECT_EQ(messages[0].byteCount, 2u);
  EXPECT_TRUE(messages[0].terminated);
  EXPECT_EQ(messages[1].command, AgentSpeak);
  EXPECT_EQ(messages[1].text, u"日本語 \U0001D11E word");
  EXPECT_EQ(messages[1].byteCount, (messages[1].text.size() + 1) * 2);  // the surrogate pair counts two
  EXPECT_EQ(messages[2].command, AgentEngine);
  EXPECT_EQ(messages[2].sender, 7u);
  EXPECT_EQ(messages[2].text, u"409,{X}");
}

TEST(AgentLink, ASenderToAVanishedAgentGoesOn) {
  AgentWindow gone{agentSocketPath()};
  EXPECT_TRUE(sendAgentCommand(gone, AgentQuit, L"", 0));
}

TEST(AgentLink, EnsureStartsKatAndPollsForIt) {
  // Already running: nothing is started (there is no kat to start here).
  {
    ProgramFolderOverride folder(programFolderWithKat("none", false));
    {
      FakeAgentServer server(agentSocketPath());
      EXPECT_TRUE(EnsureAgentSpeaker());
    }
    EXPECT_FALSE(EnsureAgentSpeaker());
  }
  {
    ProgramFolderOverride folder(programFolderWithKat("silent", true));
    EXPECT_FALSE(EnsureAgentSpeaker());  // started, never reachable
  }

  // Reachable a while after the start: found by a later poll.
  std::unique_ptr<FakeAgentServer> late;
  std::thread starter([&] {
    QThread::msleep(350);
    late = std::make_unique<FakeAgentServer>(agentSocketPath());
  });
  ProgramFolderOverride folder(programFolderWithKat("late", true));
  EXPECT_TRUE(EnsureAgentSpeaker());
  starter.join();
}
