#pragma once
// UTF-8 inside the programs, UTF-16 at the Win32 boundary.
#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
std::string WideToUtf8(const wchar_t* text, int length = -1);
// A printf-style UTF-8 text.
std::string FormatText(const char* format, ...);
