// Small pieces of text the system hands out: environment variables, whole
// files and code-page conversions. Shared by the program, its helper programs
// and its tests.
#pragma once

#include <windows.h>

#include <string>

// The variable's value; empty when it is not set.
std::string EnvironmentValue(const std::string& name);

// Everything that can still be read from file.
std::string ReadAllFrom(HANDLE file);

// The file's bytes; empty when it cannot be opened.
std::string ReadWholeFile(const std::string& path);

std::wstring ToWide(const std::string& text, UINT codePage);
std::string FromWide(const std::wstring& wide, UINT codePage);

// text in code page from, converted to code page to.
std::string Recode(const std::string& text, UINT from, UINT to);
