// One synchronous HTTP/1.1 GET of a text document, as the ranking client sends it: the query goes
// on the wire in code page 932, the reply is read back from code page 932. Blocks the caller until
// the reply is read or a limit is reached. Proxies come from the environment (http_proxy and its
// kin); redirects are not followed.
#pragma once

#include <string>
#include <string_view>

namespace platform {

// Where a GET failed. Connect and send failures, and a refused status, mean the server's script
// never saw the request; a read failure means it did and its reply was lost.
enum class HttpFailure { None, Connect, Send, Status, Read };

struct HttpLimits {
  int connectSeconds = 30;
  int silenceSeconds = 30;           // a reply that sends nothing for this long is lost
  size_t maxBodyBytes = 1024 * 1024; // a longer body is not read
};

struct HttpTextReply {
  HttpFailure failure = HttpFailure::None;
  long status = 0;
  std::wstring body;
};

// The query in code page 932, with every byte that cannot stand in a request line written as
// %XX (space, controls, '"', '#', '%', '<', '>', '\', '^', '`', '{', '|', '}' and 0x80 up);
// "&", "=" and "+" stay as they are.
std::string encodeRequestQuery(std::wstring_view query);

// GETs url + "?" + the encoded query with "Accept: text/*" and the agent as User-Agent. Statuses
// 301, 302, 303 and 401 fail as Status; any other status is a reply, and an empty body fails as
// Read. The URL is never traced: it may carry a password.
HttpTextReply HttpGetText(const std::string& url, std::wstring_view query, const std::string& agent,
                          const HttpLimits& limits = {});

}  // namespace platform
