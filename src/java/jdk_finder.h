// Finding the installed JDKs and choosing the one the tool runs use. The
// version order and the choice are pure functions; the probes of the setting,
// PATH, JAVA_HOME, the registry and the program folders stay thin, behind
// SearchJdks.
#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

// What a JDK's "release" file says: its KEY="value" lines, quotes removed
// (JAVA_VERSION, IMPLEMENTOR, JVM_VARIANT, ...).
using JdkRelease = std::map<std::string, std::string>;
JdkRelease ParseJdkRelease(const std::string& text);

// The numbers in a version text, in order, with the old "1." in front
// dropped: 1.8.0_202 gives 8 0 202, 21.0.5+11 gives 21 0 5 11.
std::vector<unsigned long> VersionNumbers(const std::string& text);

// Negative, zero or positive as version a is older than, the same as or
// newer than b, number by number (8 < 11 < 17 < 21); a missing number is 0.
int CompareJdkVersions(const std::string& a, const std::string& b);

// A folder's or registry key's name from its first digit on ("jdk-21.0.5"
// gives "21.0.5"); empty without a digit.
std::string VersionFromName(const std::string& name);

struct Jdk {
  std::string folder;  // the JDK's folder, without a trailing backslash
  std::string bin;     // the folder its javac.exe stands in
  // The release file's JAVA_VERSION, else from the name it was found under.
  std::string version;
  JdkRelease release;
  bool hasAppletviewer = false;
  // Its javac is the one PATH finds: runs take PATH as it is.
  bool onPath = false;
};

struct JdkSearch {
  std::optional<Jdk> setting;  // the JdkFolder setting's, when it holds bin\javac.exe
  std::optional<Jdk> onPath;   // the JDK of the javac.exe that PATH finds
  std::vector<Jdk> found;      // JAVA_HOME, the registry, the program folders: newest first
};

// The candidates newest first; a folder found twice stays where it was
// first found, and of equal versions the first found comes first.
std::vector<Jdk> NewestFirst(std::vector<Jdk> candidates);

// The JDK the runs use: the setting's, else PATH's, else the newest found.
// Null when there is none.
const Jdk* PickRunJdk(const JdkSearch& search);

// The JDK an applet's runs use: the run JDK when it has appletviewer, else
// the newest JDK that has it. Null when none has.
const Jdk* PickAppletJdk(const JdkSearch& search);

// The JDK in folder when folder holds bin\javac.exe (or is such a bin folder
// itself); its version is taken from name when its release file gives none
// (by default from the folder's own name).
std::optional<Jdk> JdkIn(const std::string& folder, const std::string& name = std::string());

// Looks at the machine: the setting's folder, PATH, JAVA_HOME, the registry
// (HKLM then HKCU, 64-bit and 32-bit views), the vendors' program folders.
JdkSearch SearchJdks(const std::string& settingFolder);

// How long a search is kept: a JDK installed meanwhile is seen after this.
constexpr unsigned long kJdkSearchLifetimeMs = 60 * 1000;

// SearchJdks, with everything but the setting's folder kept for up to
// maxAgeMs; searched again sooner while it finds nothing, when a JDK it found
// has lost its bin\javac.exe (an update replaced its folder), and after
// ForgetFoundJdks.
JdkSearch FoundJdks(const std::string& settingFolder,
                    unsigned long maxAgeMs = kJdkSearchLifetimeMs);
void ForgetFoundJdks();
