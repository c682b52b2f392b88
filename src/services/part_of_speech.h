// Part-of-speech codes that question texts may hold ("%no", "%ve", ...): expanded to bracketed
// Japanese tags for display, or removed.
#pragma once

#include <string>

std::wstring expandPartOfSpeech(const std::wstring& text);
// True when something was replaced / removed.
bool expandPartOfSpeechInPlace(std::wstring& text);
bool StripPartOfSpeechCodes(std::wstring& text);

