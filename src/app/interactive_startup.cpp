// Interactive start-up. This build offers the compile-only mode alone; the
// editor companion and the tool window are not part of it yet.
#include "app/interactive_startup.h"

namespace {

const char kCompileOnlyHint[] =
    "このバージョンではコンパイル専用モードだけが使えます。\r\n"
    "Pellaro.exe -c ファイル名.java のように起動してください。";

}  // namespace

int RunInteractiveStartup(std::string, bool, HANDLE) {
  MessageBoxA(nullptr, kCompileOnlyHint, nullptr, MB_OK);
  return 0;
}
