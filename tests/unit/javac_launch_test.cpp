// Which options start javac quickly, by the JDK's release file, the user's
// own arguments and the archive's place.
#include <gtest/gtest.h>

#include "java/javac_launch.h"
#include "test_support.h"

namespace {

const char kQuick[] = "-J-XX:TieredStopAtLevel=1 -J-XX:+UseSerialGC";
const char kSilent[] = " -J-Xlog:cds=off -J-Xlog:cds+dynamic=off";
const std::string kArchive = "C:\\cds\\a.jsa";

struct LaunchCase {
  const char* release;
  const char* arguments;
  bool exists;
  bool writable;
  std::string options;
  bool base = true;
  const char* environment = "";  // JAVA_TOOL_OPTIONS and _JAVA_OPTIONS
};

TEST(JavacLaunch, OptionsFollowTheJdkTheUsersOptionsAndTheArchive) {
  const std::string quick = kQuick;
  const std::string silent = kSilent;
  const LaunchCase cases[] = {
      // Older than 8, unknown, or not HotSpot: nothing.
      {"JAVA_VERSION=\"1.7.0_80\"", "", false, true, ""},
      {"IMPLEMENTOR=\"Oracle Corporation\"", "", false, true, ""},
      {"JAVA_VERSION=\"17.0.9\"\nJVM_VARIANT=\"Openj9\"", "", false, true, ""},
      {"JAVA_VERSION=\"11.0.2\"\nIMPLEMENTOR=\"Eclipse OpenJ9\"", "", false, true, ""},
      {"JAVA_VERSION=\"1.8.0\"\nJVM_VERSION=\"IBM J9 2.9\"", "", false, true, ""},
      // 8 to 12: no archive.
      {"JAVA_VERSION=\"1.8.0_202\"", "", false, true, quick},
      {"JAVA_VERSION=\"11.0.22\"\nJVM_VARIANT=\"Hotspot\"", "", true, true, quick},
      // 13 and later: written at the end while missing (under the run's own
      // name, then renamed into place), then read.
      {"JAVA_VERSION=\"13\"", "", false, true,
       quick + " -J-XX:ArchiveClassesAtExit=" + kArchive + silent},
      {"JAVA_VERSION=\"17.0.15\"", "", true, false,
       quick + " -J-XX:SharedArchiveFile=" + kArchive + silent},
      {"JAVA_VERSION=\"18.0.2\"", "", false, false, quick},
      {"JAVA_VERSION=\"19\"", "", false, true,
       quick + " -J-XX:ArchiveClassesAtExit=" + kArchive + silent},
      {"JAVA_VERSION=\"25.0.3\"", "", true, false,
       quick + " -J-XX:SharedArchiveFile=" + kArchive + silent},
      {"JAVA_VERSION=\"21.0.5\"", "", false, false, quick},
      // A JDK without the base archive of its own classes: no archive.
      {"JAVA_VERSION=\"17.0.15\"", "", true, true, quick, false},
      {"JAVA_VERSION=\"21\"", "", true, true, quick, false},
      // The user's own options for the same flags leave those out.
      {"JAVA_VERSION=\"17\"", "-g -J-XX:TieredStopAtLevel=4", true, true,
       "-J-XX:+UseSerialGC -J-XX:SharedArchiveFile=" + kArchive + silent},
      {"JAVA_VERSION=\"17\"", "\"-J-XX:+UseParallelGC\" -J-Xmx64m", true, true,
       "-J-XX:TieredStopAtLevel=1 -J-XX:SharedArchiveFile=" + kArchive + silent},
      {"JAVA_VERSION=\"21\"", "-J-Xshare:off", true, true, quick},
      {"JAVA_VERSION=\"17\"", "-J-XX:SharedArchiveFile=mine.jsa -encoding 表示", false, true,
       quick},
      // The same options for every JVM from the environment.
      {"JAVA_VERSION=\"17\"", "", true, true,
       "-J-XX:TieredStopAtLevel=1 -J-XX:SharedArchiveFile=" + kArchive + silent, true,
       "-Xmx1g -XX:+UseG1GC"},
      {"JAVA_VERSION=\"21\"", "", true, true, quick, true, "  -Xshare:off "},
      // Not -J options, nor inside a quoted argument's other words.
      {"JAVA_VERSION=\"8\"", "-d \"UseG1GC 表\" -XX:TieredStopAtLevel=4", false, true, quick},
  };
  for (const LaunchCase& c : cases) {
    const JavacLaunch launch = ChooseJavacLaunch(ParseJdkRelease(c.release), c.arguments,
                                                 c.environment, {c.base, c.exists, c.writable});
    EXPECT_EQ(JavacLaunchOptions(launch, kArchive), c.options)
        << c.release << " / " << Utf8(c.arguments);
  }
}

TEST(JavacLaunch, ArchivePathWithABlankIsQuotedWhole) {
  JavacLaunch launch;
  launch.archive = JavacArchive::Read;
  EXPECT_EQ(JavacLaunchOptions(launch, "C:\\Users\\山田 表\\a.jsa"),
            "\"-J-XX:SharedArchiveFile=C:\\Users\\山田 表\\a.jsa\"" + std::string(kSilent));
}

TEST(JavacLaunch, ArchiveIsNamedAfterTheVersionAndTheFolderInAnyCase) {
  const std::string name = ArchiveBaseName("17.0.15+6-Debian 1", "C:\\Java\\jdk-17");
  const std::string start = "javac-17.0.15+6-Debian_1-";
  EXPECT_EQ(name.substr(0, start.size()), start);
  EXPECT_EQ(name.size(), start.size() + 8);
  EXPECT_EQ(ArchiveBaseName("17.0.15+6-Debian 1", "c:\\JAVA\\JDK-17"), name);
  EXPECT_NE(ArchiveBaseName("17.0.15+6-Debian 1", "C:\\Java\\jdk-17b"), name);
}

}  // namespace
