// Compile-only mode.
#include "app/compile_only.h"

#include <windows.h>

#include <cstring>

#include "java/compile_error.h"
#include "settings/app_settings.h"
#include "tools/path_ops.h"
#include "tools/run_origin.h"
#include "tools/run_plan.h"
#include "tools/tool_run.h"
#include "windows/progress_window.h"
#include "windows/result_window.h"

namespace {

const char kFailedText[] = "失敗しました";
const char kNoFileText[] = "コンパイルするファイルを指定してください。";
const char kMissingFileText[] = "コンパイルするファイルが見つかりません。\r\n";

void Tell(const std::string& text) { MessageBoxA(nullptr, text.c_str(), nullptr, MB_OK); }

}  // namespace

bool IsCompileOnly(const std::string& commandLine) { return commandLine.compare(0, 2, "-c") == 0; }

std::string CompileTarget(const std::string& commandLine) {
  std::string path = ArgumentPath(commandLine.size() > 3 ? commandLine.substr(3) : std::string());
  if (!path.empty()) ResolveLongName(path);
  return path;
}

int RunCompileOnly(const std::string& commandLine) {
  std::string path = CompileTarget(commandLine);
  if (path.empty()) {
    Tell(kNoFileText);
    return 0;
  }
  if (!IsExistingFile(path)) {
    Tell(kMissingFileText + path);
    return 0;
  }

  ResultText text;
  RunPlan plan;
  std::string refusal;
  if (!PlanRun(path, ToolsNeeded::JavacAlone, plan, refusal)) {
    text.Append(refusal);
    ShowResultWindowModal({path, std::string()});
    return 0;
  }
  // This compile takes none of the slots' argument strings. A compile that
  // takes long shows how long, and can be stopped, as on the strip.
  RunEnd end;
  ToolExit exit;
  {
    RunProgress progress;
    WatchRuns(&progress);
    end = RunTool("javac", JavacCall(plan), 0, ToolArguments::None, text, &exit);
    WatchRuns(nullptr);
  }
  if (end == RunEnd::NotStarted) {
    Tell(kFailedText);
    return 0;
  }
  if (end == RunEnd::Finished) {
    // What javac printed follows its own line.
    const char* lineEnd = std::strchr(text.Text(), '\n');
    const bool failed = exit.code != 0 ||
                        ReportsCompileError(lineEnd ? lineEnd + 1 : text.Text(), path, plan.folder);
    text.AppendLine(failed ? NotCompiledVerdict() : CompiledVerdict(exit.milliseconds));
  }
  ShowResultWindowModal({path, plan.folder});
  return 0;
}
