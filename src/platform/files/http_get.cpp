#include "platform/files/http_get.h"

#include <curl/curl.h>

#include <cstring>
#include <memory>

#include "platform/files/loaded_library.h"
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

// Loaded by the first request (most runs make none): with the TLS and authentication libraries
// under it, the HTTP library costs a start several milliseconds.
struct CurlLibrary {
  decltype(&curl_global_init) globalInit = nullptr;
  decltype(&curl_easy_init) easyInit = nullptr;
  decltype(&curl_easy_cleanup) easyCleanup = nullptr;
  decltype(&curl_easy_setopt) easySetopt = nullptr;
  decltype(&curl_easy_perform) easyPerform = nullptr;
  decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
  decltype(&curl_slist_append) slistAppend = nullptr;
  decltype(&curl_slist_free_all) slistFreeAll = nullptr;
};

// Null when the library cannot be loaded; loaded and initialised once for the whole run.
const CurlLibrary* curlLibrary() {
  static const CurlLibrary* const loaded = []() -> const CurlLibrary* {
    void* library = loadLibrary("libcurl.so.4");
    if (!library) return nullptr;
    static CurlLibrary curl;
    const bool complete =
        resolveFunction(library, "curl_global_init", curl.globalInit) &&
        resolveFunction(library, "curl_easy_init", curl.easyInit) &&
        resolveFunction(library, "curl_easy_cleanup", curl.easyCleanup) &&
        resolveFunction(library, "curl_easy_setopt", curl.easySetopt) &&
        resolveFunction(library, "curl_easy_perform", curl.easyPerform) &&
        resolveFunction(library, "curl_easy_getinfo", curl.easyGetinfo) &&
        resolveFunction(library, "curl_slist_append", curl.slistAppend) &&
        resolveFunction(library, "curl_slist_free_all", curl.slistFreeAll);
    if (!complete || curl.globalInit(CURL_GLOBAL_DEFAULT) != CURLE_OK) return nullptr;
    return &curl;
  }();
  return loaded;
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
  HttpTextReply reply;
  const CurlLibrary* const library = curlLibrary();
  if (!library) {
    reply.failure = HttpFailure::Connect;
    return reply;
  }
  const CurlLibrary& lib = *library;
  const std::unique_ptr<CURL, decltype(lib.easyCleanup)> curl(lib.easyInit(), lib.easyCleanup);
  if (!curl) {
    reply.failure = HttpFailure::Connect;
    return reply;
  }
  const std::unique_ptr<curl_slist, decltype(lib.slistFreeAll)> headers(lib.slistAppend(nullptr, "Accept: text/*"),
                                                                        lib.slistFreeAll);
  Transfer transfer;
  transfer.maxBody = limits.maxBodyBytes;
  const std::string target = url + "?" + encodeRequestQuery(query);
  CURL* handle = curl.get();
  lib.easySetopt(handle, CURLOPT_URL, target.c_str());
  lib.easySetopt(handle, CURLOPT_HTTPGET, 1L);
  lib.easySetopt(handle, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
  lib.easySetopt(handle, CURLOPT_USERAGENT, agent.c_str());
  lib.easySetopt(handle, CURLOPT_HTTPHEADER, headers.get());
  lib.easySetopt(handle, CURLOPT_FOLLOWLOCATION, 0L);
  lib.easySetopt(handle, CURLOPT_NOSIGNAL, 1L);
  lib.easySetopt(handle, CURLOPT_CONNECTTIMEOUT, static_cast<long>(limits.connectSeconds));
  lib.easySetopt(handle, CURLOPT_LOW_SPEED_LIMIT, 1L);
  lib.easySetopt(handle, CURLOPT_LOW_SPEED_TIME, static_cast<long>(limits.silenceSeconds));
  lib.easySetopt(handle, CURLOPT_WRITEFUNCTION, collectBody);
  lib.easySetopt(handle, CURLOPT_WRITEDATA, &transfer);
  lib.easySetopt(handle, CURLOPT_PREREQFUNCTION, noteConnected);
  lib.easySetopt(handle, CURLOPT_PREREQDATA, &transfer);

  const CURLcode result = lib.easyPerform(handle);
  lib.easyGetinfo(handle, CURLINFO_RESPONSE_CODE, &reply.status);
  long requestBytes = 0;
  lib.easyGetinfo(handle, CURLINFO_REQUEST_SIZE, &requestBytes);
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
