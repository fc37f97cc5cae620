// Which bytes a Java program reads as the characters the user typed.
#pragma once

#include <string>

// The line as the standard input of a program on a JDK of this feature
// version (8, 17, 21; 0 when unknown) decodes it: JDK 18 and later read it as
// UTF-8, their default charset (JEP 400); older ones in the ANSI code page,
// Shift_JIS (MS932) on a Japanese system.
std::string ProgramInputBytes(const std::wstring& line, unsigned long jdkFeature);
