// Small text helpers shared by the shell.
#pragma once

#include <string>
#include <vector>

// printf-style formatting of wide text (glibc rules: "%ls" for a wide string). Nothing is cut;
// false only when formatting itself failed.
bool formatString(std::wstring& out, const wchar_t* format, ...);

// The text with every "'" doubled, for an SQL string literal.
std::wstring escapeSqlQuotes(const std::wstring& text);

// The leading decimal number as the C library reads one (blanks and a sign allowed; 0 for none),
// held to the range of an int.
int leadingNumber(const std::wstring& text);

// Splits comma-separated fields, where a comma inside a bracketed span does not separate: pairs
// holds opening and closing characters ("()''" for round brackets and single quotes). The
// brackets stay part of their field. False for an odd-length pairs or a span left open.
bool SplitBracketed(const std::wstring& text, std::vector<std::wstring>& fields, const std::wstring& pairs);
