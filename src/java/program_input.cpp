// The bytes of a program's standard input.
#include "java/program_input.h"

#include <windows.h>

#include "common/system_text.h"

namespace {

constexpr unsigned long kFirstUtf8Jdk = 18;

}  // namespace

std::string ProgramInputBytes(const std::wstring& line, unsigned long jdkFeature) {
  return FromWide(line, jdkFeature >= kFirstUtf8Jdk ? CP_UTF8 : CP_ACP);
}
