// How javac's own virtual machine is started: most of a small compile is the
// JVM starting up, so on a HotSpot JDK whose version the release file gives,
// javac runs with the quick compiler alone, the serial collector and a
// class-data archive of its own classes. Pure functions; the archive's file
// is looked after in tools/fast_javac.
#pragma once

#include <string>

#include "java/jdk_finder.h"

// What is done with the class-data archive on this run.
enum class JavacArchive {
  None,
  // Written when javac ends, for the runs after it. Each run writes a file
  // of its own that is then renamed into place, so that two compiles at once
  // never write the same file (the JVM's own upkeep of the archive on JDK 19
  // and later writes it in place).
  WriteAtExit,
  // Read (the JVM quietly passes over one it cannot use).
  Read,
};

struct JavacLaunch {
  bool quickCompiler = false;    // -XX:TieredStopAtLevel=1
  bool serialCollector = false;  // -XX:+UseSerialGC
  JavacArchive archive = JavacArchive::None;
};

// Where the archive stands: whether the JDK has the base archive of its own
// classes that javac's archive is laid on (without it the JVM refuses to
// start with an archive option, or warns), whether a usable archive is there,
// and whether its folder can be written.
struct ArchivePlace {
  bool base = false;
  bool exists = false;
  bool writable = false;
};

// The JDK's feature version (8, 17, 21) from its release file's
// JAVA_VERSION; 0 when the file gives none.
unsigned long ReleaseFeatureVersion(const JdkRelease& release);

// Whether the release file names a HotSpot JVM: not J9 (OpenJ9, IBM's),
// nor any other JVM_VARIANT.
bool IsHotSpot(const JdkRelease& release);

// The archive a JDK's JVM can keep of javac's classes: none (not HotSpot,
// unknown or older than 13), or one written when javac ends (13 and later).
enum class ArchiveSupport { None, WrittenAtExit };
ArchiveSupport ArchiveSupportOf(const JdkRelease& release);

// The launch for javac on this JDK given the user's own arguments and the
// JVM options the environment gives every JVM (JAVA_TOOL_OPTIONS,
// _JAVA_OPTIONS): nothing for a JDK that is not HotSpot, an unknown version
// or one older than 8; an option the user gives (-J-XX:TieredStopAtLevel, a
// -J-XX:+Use...GC, an archive or -J-Xshare option, or the same without -J in
// the environment) leaves that part out: the JVM refuses two collectors.
JavacLaunch ChooseJavacLaunch(const JdkRelease& release, const std::string& userArguments,
                              const std::string& jvmOptions, const ArchivePlace& place);

// The options that go right after "javac", separated by blanks; the
// archive's path is quoted when it holds a blank. The archive's log is
// silenced, so that javac prints what it would print alone.
std::string JavacLaunchOptions(const JavacLaunch& launch, const std::string& archivePath);

// The archive's file name without its extension, after the JDK's version and
// folder: "javac-17.0.15-" and eight hex digits of the folder's name.
std::string ArchiveBaseName(const std::string& version, const std::string& jdkFolder);
