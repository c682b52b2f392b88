#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>
#include <memory>
#include <thread>

#include "fake_agent_server.h"
#include "platform/speech/agent_link.h"
#include "platform/files/folders.h"
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
  ProgramFolderOverride folder(folderWithKat("kat", true));
  EXPECT_FALSE(EnsureAgentSpeaker());  // started, never reachable
  std::unique_ptr<FakeAgentServer> late;
  std::thread starter([&] {
    QThread::msleep(350);
    late = std::make_unique<FakeAgentServer>(agentSocketPath());
  });
  EXPECT_TRUE(EnsureAgentSpeaker());  // reachable a while after the start
  starter.join();
}
