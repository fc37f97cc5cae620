// The options that start javac's JVM quickly, by JDK version and vendor.
#include "java/javac_launch.h"

#include <vector>

#include "common/dbcs_text.h"

namespace {

// The version from which each part of the launch is known to work: the JVM
// refuses to start on an option it does not know.
constexpr unsigned long kFirstTunedVersion = 8;
constexpr unsigned long kFirstArchiveVersion = 13;

// What the user's own -J options already decide.
struct UserChoices {
  bool compiler = false;
  bool collector = false;
  bool archive = false;
};

// The words of an argument text, split at blanks outside double quotes, with
// the quotes taken out.
std::vector<std::string> Words(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  bool quoted = false;
  bool any = false;
  for (std::size_t i = 0; i <= text.size();) {
    const std::size_t length = i < text.size() ? CharLengthAt(text, i) : 1;
    const char c = i < text.size() ? text[i] : ' ';
    if (length == 1 && c == '"') {
      quoted = !quoted;
      any = true;
    } else if (length == 1 && (c == ' ' || c == '\t') && !quoted) {
      if (any) words.push_back(word);
      word.clear();
      any = false;
    } else {
      word.append(text, i, length);
      any = true;
    }
    i += length;
  }
  return words;
}

// What one JVM option (without its -J) decides.
void NoteOption(const std::string& option, UserChoices& choices) {
  if (StartsWith(option, "-XX:TieredStopAtLevel") || EndsWith(option, "TieredCompilation"))
    choices.compiler = true;
  if ((StartsWith(option, "-XX:+Use") || StartsWith(option, "-XX:-Use")) && EndsWith(option, "GC"))
    choices.collector = true;
  if (StartsWith(option, "-XX:SharedArchiveFile") ||
      StartsWith(option, "-XX:ArchiveClassesAtExit") ||
      EndsWith(option, "AutoCreateSharedArchive") || StartsWith(option, "-Xshare"))
    choices.archive = true;
}

UserChoices ChoicesIn(const std::string& userArguments, const std::string& jvmOptions) {
  UserChoices choices;
  for (const std::string& word : Words(userArguments))
    if (StartsWith(word, "-J")) NoteOption(word.substr(2), choices);
  for (const std::string& word : Words(jvmOptions)) NoteOption(word, choices);
  return choices;
}

std::string ArchiveOption(const char* option, const std::string& path) {
  const std::string word = std::string(option) + path;
  return NeedsQuotes(path) ? "\"" + word + "\"" : word;
}

// text with its single-byte capitals made small.
std::string LowerCase(std::string text) {
  for (std::size_t i = 0; i < text.size(); i += CharLengthAt(text, i))
    if (text[i] >= 'A' && text[i] <= 'Z') text[i] = static_cast<char>(text[i] - 'A' + 'a');
  return text;
}

// Whether a release file's value (ASCII) holds word, in small letters,
// ignoring case.
bool ContainsNoCase(const std::string& text, const char* word) {
  return LowerCase(text).find(word) != std::string::npos;
}

}  // namespace

unsigned long ReleaseFeatureVersion(const JdkRelease& release) {
  const auto version = release.find("JAVA_VERSION");
  if (version == release.end()) return 0;
  const std::vector<unsigned long> numbers = VersionNumbers(version->second);
  return numbers.empty() ? 0 : numbers.front();
}

bool IsHotSpot(const JdkRelease& release) {
  for (const auto& entry : release)
    if (ContainsNoCase(entry.second, "j9")) return false;  // OpenJ9, IBM J9
  const auto variant = release.find("JVM_VARIANT");
  return variant == release.end() || ContainsNoCase(variant->second, "hotspot");
}

ArchiveSupport ArchiveSupportOf(const JdkRelease& release) {
  const unsigned long version = ReleaseFeatureVersion(release);
  if (version < kFirstArchiveVersion || !IsHotSpot(release)) return ArchiveSupport::None;
  return ArchiveSupport::WrittenAtExit;
}

JavacLaunch ChooseJavacLaunch(const JdkRelease& release, const std::string& userArguments,
                              const std::string& jvmOptions, const ArchivePlace& place) {
  JavacLaunch launch;
  if (ReleaseFeatureVersion(release) < kFirstTunedVersion || !IsHotSpot(release)) return launch;
  const UserChoices user = ChoicesIn(userArguments, jvmOptions);
  launch.quickCompiler = !user.compiler;
  launch.serialCollector = !user.collector;
  const ArchiveSupport support = ArchiveSupportOf(release);
  if (support == ArchiveSupport::None || user.archive || !place.base) return launch;
  if (place.exists)
    launch.archive = JavacArchive::Read;
  else if (place.writable)
    launch.archive = JavacArchive::WriteAtExit;
  return launch;
}

std::string JavacLaunchOptions(const JavacLaunch& launch, const std::string& archivePath) {
  std::vector<std::string> words;
  if (launch.quickCompiler) words.push_back("-J-XX:TieredStopAtLevel=1");
  if (launch.serialCollector) words.push_back("-J-XX:+UseSerialGC");
  switch (launch.archive) {
    case JavacArchive::None:
      break;
    case JavacArchive::WriteAtExit:
      words.push_back(ArchiveOption("-J-XX:ArchiveClassesAtExit=", archivePath));
      break;
    case JavacArchive::Read:
      words.push_back(ArchiveOption("-J-XX:SharedArchiveFile=", archivePath));
      break;
  }
  if (launch.archive != JavacArchive::None) {
    // An archive the JVM cannot use (another JDK's, a damaged one) is passed
    // over; without its log the JVM would say so in javac's output.
    words.push_back("-J-Xlog:cds=off");
    words.push_back("-J-Xlog:cds+dynamic=off");
  }
  std::string options;
  for (const std::string& word : words) options += (options.empty() ? "" : " ") + word;
  return options;
}

std::string ArchiveBaseName(const std::string& version, const std::string& jdkFolder) {
  std::string name = "javac-";
  for (char c : version.substr(0, 40)) {
    const bool plain = (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                       c == '.' || c == '+' || c == '-';
    name += plain ? c : '_';
  }
  // FNV-1a of the folder, folded: folder names ignore case.
  unsigned long hash = 2166136261UL;
  for (char c : LowerCase(jdkFolder))
    hash = ((hash ^ static_cast<unsigned char>(c)) * 16777619UL) & 0xFFFFFFFFUL;
  std::string digits(8, '0');
  for (int i = 7; i >= 0; --i, hash >>= 4) digits[i] = "0123456789abcdef"[hash & 0xF];
  return name + "-" + digits;
}
