// The link to the agent speech program `kat`. The agent listens on a local socket named after
// the mark it is known by, "KlvAgentSpeaker", in the user's runtime folder; finding the agent
// means reaching that socket.
//
// One message per connection, little-endian:
//   u64 sender      the sending window's id, 0 for none
//   u32 command     an AgentCommand
//   u32 byteCount   (UTF-16 units of the text + 1) x 2
//   byteCount bytes the text in UTF-16LE with its terminating NUL (a command without text sends
//                   the NUL alone)
// The agent answers each message with an i32 once it has handled it; the sender waits for that
// answer (so commands are handled in the order sent) but does not look at it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace platform {

enum AgentCommand : uint32_t {
  AgentSpeak = 0,     // the text to speak
  AgentAttach = 3,    // a study window opens and speaks through the agent; no text
  AgentQuit = 7,      // the program ends, or agent speech was switched off; no text
  AgentPitch = 100,   // decimal text
  AgentVolume = 101,  // decimal text
  AgentEngine = 102,  // "%x,%s": engine number in hexadecimal, a comma, the engine text
};

// A reachable agent (the stand-in for its window handle).
struct AgentWindow {
  std::string socketPath;
};

// The socket path the agent listens on for this user; empty when the runtime folder is not private.
std::string agentSocketPath();

// The agent when it is running and reachable now.
std::optional<AgentWindow> FindAgentSpeakerWindow();
// Delivers one command and waits for the agent to have handled it. An agent that has gone or
// hangs is not an error for the caller: always true.
bool sendAgentCommand(const AgentWindow& agent, uint32_t command, const std::wstring& text, uint64_t sender);
// Starts `kat` from the program folder, in that folder; true when it could be started.
bool LaunchAgentSpeaker();
// True when the agent runs; else starts it and looks for it up to 10 times, 100 ms apart.
bool EnsureAgentSpeaker();

}  // namespace platform
