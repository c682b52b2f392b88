// Diagnostic trace lines for developers; never shown to the user.
// Every line is written narrow, in UTF-8: failures (traceError) always, to stderr; the rest only
// while KELVARA_TRACE=1 is in the environment, to stdout.
#pragma once

#include <cstdarg>
#include <string>

namespace platform {

// printf-style formatting into a buffer that grows as needed: nothing is ever cut.
// Wide formats follow glibc: "%ls" for a wide string, "%s" for a narrow one.
std::string formatv(const char* format, va_list args);
std::string format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::wstring formatv(const wchar_t* format, va_list args);
std::wstring format(const wchar_t* format, ...);

void trace(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Output that is meant for whoever reads the program's console (a skin author's print), not a
// trace: always written, to stdout, in line with the trace lines.
void writeConsole(const std::string& text);
void traceError(const char* format, ...) __attribute__((format(printf, 1, 2)));
void trace(const wchar_t* format, ...);
void traceError(const wchar_t* format, ...);

// While it lives, the calling thread's failure lines are kept back instead of written: for a read
// tried again and again while another program holds the file, whose failures are worth a line only
// when they turn out to last. What is kept is dropped with it unless written.
class HeldErrorTraces {
 public:
  HeldErrorTraces();
  ~HeldErrorTraces();
  HeldErrorTraces(const HeldErrorTraces&) = delete;
  HeldErrorTraces& operator=(const HeldErrorTraces&) = delete;
  // Writes the lines kept so far.
  void write();

 private:
  std::string* outer_;
  std::string lines_;
};

}  // namespace platform
