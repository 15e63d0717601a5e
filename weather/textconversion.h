// Narrow <-> wide text conversion (explicit Latin-1: byte value = code point) and splitting text into pieces
// at a delimiter, e.g. a downloaded report list at "\n" or a bridge payload "N:47.26|E:11.34" at ":" and "|".
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Converts a NUL-terminated Latin-1 text; a null pointer gives an empty string.
std::wstring CharToWString(const char* text);
// Converts every byte of a Latin-1 text, NUL bytes included.
std::wstring CharToWString(std::string_view text);

// Converts every character of a wide text as Latin-1, NUL characters included; code points above 255 become '?'.
std::string WStringToChar(std::wstring_view text);

// Converts a NUL-terminated wide text into `buffer` of `bufferSize` bytes as Latin-1 (code points above 255
// become '?'). Never writes past the buffer and always terminates it when bufferSize > 0.
// Returns false when the text had to be cut short (or no buffer was given).
bool WCharToChar(const wchar_t* text, char* buffer, std::size_t bufferSize);

// Append the pieces of `text` between delimiters to `pieces` (not cleared first). Two delimiters in a row give
// an empty piece; a trailing delimiter gives no empty last piece; an empty text gives no piece.
void SplitWString(const std::wstring& text, wchar_t delimiter, std::vector<std::wstring>& pieces);
void SplitString(const std::string& text, char delimiter, std::vector<std::string>& pieces);

// A blank between the groups of a report: a space, a tab, a line end, a vertical tab or form feed, or a wide
// character the C library counts as space.
bool IsBlank(wchar_t c);

// A piece of a report list that holds no report: blank (spaces, tabs, a carriage return), or a section marker
// such as the "[/METAR]" that a file with a doubled end marker carries among its reports (no report begins
// with "[").
bool IsNoReport(const std::wstring& piece);
