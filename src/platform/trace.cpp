#include "platform/trace.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <mutex>

#include "platform/text.h"

namespace platform {

std::string formatv(const char* fmt, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int length = std::vsnprintf(nullptr, 0, fmt, copy);
  va_end(copy);
  if (length <= 0) return {};
  std::string out(static_cast<size_t>(length) + 1, '\0');
  std::vsnprintf(out.data(), out.size(), fmt, args);
  out.resize(length);
  return out;
}

std::string format(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::string out = formatv(fmt, args);
  va_end(args);
  return out;
}

std::wstring formatv(const wchar_t* fmt, va_list args) {
  // vswprintf cannot report the length it needs, and fails alike for a short buffer and for an
  // encoding error; a memory stream grows by itself and fails only for the latter.
  wchar_t* buffer = nullptr;
  size_t size = 0;
  FILE* stream = open_wmemstream(&buffer, &size);
  if (!stream) return {};
  const int written = std::vfwprintf(stream, fmt, args);
  std::fclose(stream);
  std::wstring out;
  if (written >= 0) out.assign(buffer, size);
  std::free(buffer);
  return out;
}

std::wstring format(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  std::wstring out = formatv(fmt, args);
  va_end(args);
  return out;
}

namespace {

std::mutex& outputLock() {
  static std::mutex lock;
  return lock;
}

// The lines of the innermost HeldErrorTraces of the thread, if any.
thread_local std::string* heldErrors = nullptr;

void write(FILE* stream, const std::string& text) {
  std::lock_guard guard(outputLock());
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

// A failure line goes to the innermost HeldErrorTraces, else to stderr.
void writeError(const std::string& text) {
  if (text.empty()) return;
  if (heldErrors)
    *heldErrors += text;
  else
    write(stderr, text);
}

// Read at every line rather than once, so a test (or a debugger) may turn it on and off.
bool traceWanted() {
  const char* value = std::getenv("KELVARA_TRACE");
  return value && value[0] == '1' && value[1] == '\0';
}

}  // namespace

void trace(const char* fmt, ...) {
  if (!traceWanted()) return;
  va_list args;
  va_start(args, fmt);
  write(stdout, formatv(fmt, args));
  va_end(args);
}

void writeConsole(const std::string& text) { write(stdout, text); }

void traceError(const char* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  writeError(formatv(fmt, args));
  va_end(args);
}

void trace(const wchar_t* fmt, ...) {
  if (!traceWanted()) return;
  va_list args;
  va_start(args, fmt);
  write(stdout, toUtf8(formatv(fmt, args)));
  va_end(args);
}

void traceError(const wchar_t* fmt, ...) {
  va_list args;
  va_start(args, fmt);
  writeError(toUtf8(formatv(fmt, args)));
  va_end(args);
}

HeldErrorTraces::HeldErrorTraces() : outer_(heldErrors) { heldErrors = &lines_; }

HeldErrorTraces::~HeldErrorTraces() { heldErrors = outer_; }

void HeldErrorTraces::write() {
  std::string* const held = heldErrors;
  heldErrors = outer_;
  writeError(lines_);
  lines_.clear();
  heldErrors = held;
}

}  // namespace platform
