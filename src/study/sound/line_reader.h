// Reads the small line-based text files of the voice set-up (the agent's engine list, the
// pronunciation symbol map). They come from older installations in code page 932 or are UTF-8;
// each line is decoded as UTF-8 when it is valid UTF-8, else as code page 932.
#pragma once

#include <cstddef>
#include <cstdio>

// Reads the next line into `buffer` (at most capacity - 1 characters, always terminated) without
// its line end. A longer line is not cut: its rest comes with the next call. Returns the buffer,
// or null at the end of the file. A UTF-8 byte-order mark at the start of the file is skipped.
wchar_t* readLineNoNewline(wchar_t* buffer, size_t capacity, std::FILE* file);

// Removes a final line feed and a carriage return before it; true when a line feed was removed.
bool StripLineEnd(wchar_t* text);
