#include "platform/http_get.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>
#include <mutex>

#include "platform/text.h"

namespace platform {

namespace {

bool standsInRequestLine(unsigned char c) {
  return c > 0x20 && c < 0x7F && !std::strchr("\"#%<>\\^`{|}", c);
}

struct Transfer {
  std::string body;
  size_t maxBody = 0;
  bool connected = false;
};

size_t collectBody(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  if (transfer->body.size() + bytes > transfer->maxBody) return 0;  // too long: the read fails
  transfer->body.append(data, bytes);
  return bytes;
}

int noteConnected(void* user, char*, char*, int, int) {
  static_cast<Transfer*>(user)->connected = true;
  return CURL_PREREQFUNC_OK;
}

void initialiseOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool isRefusedStatus(long status) { return status == 301 || status == 302 || status == 303 || status == 401; }

}  // namespace

std::string encodeRequestQuery(std::wstring_view query) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string encoded;
  for (unsigned char c : toCp932(query)) {
    if (standsInRequestLine(c)) {
      encoded += static_cast<char>(c);
    } else {
      encoded += '%';
      encoded += kHex[c >> 4];
      encoded += kHex[c & 0xF];
    }
  }
  return encoded;
}

HttpTextReply HttpGetText(const std::string& url, std::wstring_view query, const std::string& agent,
                          const HttpLimits& limits) {
  initialiseOnce();
  HttpTextReply reply;
  const std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    reply.failure = HttpFailure::Connect;
    return reply;
  }
  const std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)> headers(
      curl_slist_append(nullptr, "Accept: text/*"), curl_slist_free_all);
  Transfer transfer;
  transfer.maxBody = limits.maxBodyBytes;
  const std::string target = url + "?" + encodeRequestQuery(query);
  CURL* handle = curl.get();
  curl_easy_setopt(handle, CURLOPT_URL, target.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  curl_easy_setopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  curl_easy_setopt(handle, CURLOPT_USERAGENT, agent.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPHEADER, headers.get());
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectSeconds));
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  curl_easy_setopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.silenceSeconds));
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, collectBody);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, noteConnected);
  curl_easy_setopt(handle, CURLOPT_PREREQDATA, &transfer);

  const CURLcode result = curl_easy_perform(handle);
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &reply.status);
  long requestBytes = 0;
  curl_easy_getinfo(handle, CURLINFO_REQUEST_SIZE, &requestBytes);
  if (isRefusedStatus(reply.status)) {
    reply.failure = HttpFailure::Status;
  } else if (result != CURLE_OK) {
    reply.failure = !transfer.connected ? HttpFailure::Connect
                    : requestBytes == 0 ? HttpFailure::Send
                                        : HttpFailure::Read;
  } else if (transfer.body.empty()) {
    reply.failure = HttpFailure::Read;
  } else {
    reply.body = fromCp932(transfer.body);
  }
  return reply;
}

}  // namespace platform
