// Planning a command's tool runs: the JDK, the package root, javac's file and
// java's class.
#include "tools/run_plan.h"

#include <windows.h>

#include <memory>

#include "common/dbcs_text.h"
#include "common/system_text.h"
#include "java/java_package.h"
#include "java/source_encoding.h"
#include "settings/app_settings.h"
#include "tools/path_ops.h"
#include "tools/waiting_interpreter.h"

namespace {

const char kNoJdkText[] =
    "javac が見つかりません。JDK をインストールするか、設定の「拡張設定」の"
    "「JDK フォルダ」に JDK のフォルダを指定してください。\r\n";
const char kNoAppletviewerText[] =
    "appletviewer が見つかりません。appletviewer は JDK 11 で削除されました。"
    "アプレットを表示するには、appletviewer のある JDK (JDK 8 など) を"
    "インストールしてください。\r\n";
const char kNotFoundText[] = "見つかりません";

std::string SettingFolder() { return FieldText(Settings.JdkFolder, sizeof Settings.JdkFolder); }

std::string CurrentEnvironment() {
  std::unique_ptr<char, decltype(&FreeEnvironmentStringsA)> strings(GetEnvironmentStringsA(),
                                                                    &FreeEnvironmentStringsA);
  if (!strings) return std::string();
  // The block ends with an empty string: two NULs in a row.
  const char* start = strings.get();
  const char* end = start;
  while (end[0] || end[1]) ++end;
  return std::string(start, end + 2);
}

// The package the source declares, as ANSI text like the folders' names.
std::string PackageOf(const std::string& source) {
  std::string bytes;
  bool whole = true;
  if (!ReadSourceSample(source, bytes, whole)) return std::string();
  const SourceEncoding encoding = DecideSourceEncoding(bytes, whole);
  const bool shiftJis = encoding == SourceEncoding::Windows31j;
  const std::string package = DeclaredPackage(bytes, shiftJis);
  if (package.empty() || encoding == SourceEncoding::Ascii) return package;
  return Recode(package, shiftJis ? 932 : CP_UTF8, CP_ACP);
}

std::string PackageMismatchText(const std::string& package, const std::string& folder) {
  return "パッケージ " + package + " のクラスは、フォルダ " + PackageFolders(package) +
         " の中に置いてください。今のフォルダ: " + folder + "\r\n";
}

std::optional<Jdk> RunJdkFor(const std::string& settingFolder) {
  const JdkSearch search = FoundJdks(settingFolder);
  const Jdk* jdk = PickRunJdk(search);
  return jdk ? std::optional<Jdk>(*jdk) : std::nullopt;
}

}  // namespace

bool PlanRun(const std::string& source, ToolsNeeded needed, RunPlan& plan, std::string& refusal) {
  const JdkSearch search = FoundJdks(SettingFolder());
  const Jdk* jdk =
      needed == ToolsNeeded::JdkWithAppletviewer ? PickAppletJdk(search) : PickRunJdk(search);
  if (!jdk) {
    // The user may install one before the next run.
    ForgetFoundJdks();
    refusal = PickRunJdk(search) ? kNoAppletviewerText : kNoJdkText;
    return false;
  }

  const std::string folder = DirectoryOf(source);
  const std::string package = PackageOf(source);
  const std::string root = PackageRoot(folder, package);
  if (!package.empty() && root.empty()) {
    refusal = PackageMismatchText(package, folder);
    return false;
  }
  std::string className = source;
  StripExtension(className);
  plan.jdk = *jdk;
  plan.folder = root;
  plan.sourceFile = source.substr(root.size());
  plan.className = QualifiedName(package, FileNameOf(className));
  plan.environment = ToolEnvironment(*jdk);
  return true;
}

ToolCall JavacCall(const RunPlan& plan) {
  return {plan.folder, plan.sourceFile, plan.environment, plan.jdk};
}

ToolCall JavaCall(const RunPlan& plan) {
  return {plan.folder, plan.className, plan.environment, plan.jdk};
}

ToolCall CallWithJdk(const RunPlan& plan, const std::string& path) {
  ToolCall call = CallOn(path);
  call.environment = plan.environment;
  call.jdk = plan.jdk;
  return call;
}

std::optional<Jdk> ChosenJdk() { return RunJdkFor(SettingFolder()); }

std::string ToolEnvironment(const Jdk& jdk) {
  return jdk.onPath ? std::string() : EnvironmentWithPathFirst(CurrentEnvironment(), jdk.bin);
}

void PrepareInterpreterForNextRun() {
  if (!RunEnvironmentKnown()) {
    const std::optional<Jdk> jdk = ChosenJdk();
    ExpectRunEnvironment(jdk ? ToolEnvironment(*jdk) : std::string());
  }
  PrepareInterpreter();
}

std::string JdkDescription(const std::string& settingFolder) {
  const std::optional<Jdk> jdk = RunJdkFor(settingFolder);
  if (!jdk) return kNotFoundText;
  return jdk->folder + (jdk->version.empty() ? std::string() : " (" + jdk->version + ")");
}

std::string EnvironmentWithPathFirst(const std::string& block, const std::string& folder) {
  std::string result;
  bool found = false;
  for (std::size_t start = 0; start < block.size();) {
    std::size_t end = block.find('\0', start);
    if (end == std::string::npos) end = block.size();
    if (end == start) break;
    std::string entry = block.substr(start, end - start);
    start = end + 1;
    if (!found && lstrcmpiA(entry.substr(0, 5).c_str(), "PATH=") == 0) {
      entry.insert(5, folder + ";");
      found = true;
    }
    result += entry;
    result += '\0';
  }
  if (!found) {
    result += "PATH=" + folder;
    result += '\0';
  }
  result += '\0';
  return result;
}
