// What a command's tools need before they run on a source: the JDK they come
// from, the folder they run in, and what javac and java are given there.
#pragma once

#include <optional>
#include <string>

#include "java/jdk_finder.h"
#include "tools/tool_run.h"

struct RunPlan {
  // The JDK the tools come from.
  Jdk jdk;
  // The folder the tools run in, with its trailing backslash: the package
  // root for a source in a package, else the source's own folder.
  std::string folder;
  // What javac is given there: Name.java, or a\b\Name.java from the root.
  std::string sourceFile;
  // What java is given there: Name, or a.b.Name.
  std::string className;
  // The tools' environment: the program's own with PATH led by the JDK's bin
  // folder, so that javac, java and appletviewer all come from that JDK.
  std::wstring environment;
  // What javac is told of the sources' encoding, and the lines the result
  // gets after it ran (see ToolCall).
  std::string javacEncoding;
  std::string encodingNote;
  // The package the source declares, as ANSI text; empty for none.
  std::string package;
};

// What the runs need: javac alone, which works in the source's own folder
// whatever its package says; javac or java; or appletviewer too, and then
// all of them take a JDK that still has it.
enum class ToolsNeeded { Jdk, JdkWithAppletviewer, JavacAlone };

// Plans the runs on source. False, with the text that tells the user why in
// refusal, when nothing may run: no JDK (with appletviewer) is found, or a
// class is to run whose folders do not match its package.
bool PlanRun(const std::string& source, ToolsNeeded needed, RunPlan& plan, std::string& refusal);

// javac and java as planned; and a tool on a file in the file's own folder
// (the applet page) with the plan's JDK.
ToolCall JavacCall(const RunPlan& plan);
ToolCall JavaCall(const RunPlan& plan);
ToolCall CallWithJdk(const RunPlan& plan, const std::string& path);

// The JDK the runs use: the JdkFolder setting's, the one PATH finds, or the
// newest installed. Searched once for the program's life; none when there is
// none.
std::optional<Jdk> ChosenJdk();

// What the settings show for a JdkFolder value: the folder and version of the
// JDK the runs would use, or that none is found.
std::string JdkDescription(const std::string& settingFolder);

// The environment the tools of jdk run with, as RunPlan::environment.
std::wstring ToolEnvironment(const Jdk& jdk);

// Starts the interpreter for the next run ahead of it (see
// tools/waiting_interpreter.h): with the environment the last run took, or,
// before any run, the one the JDK the runs would use needs.
void PrepareInterpreterForNextRun();

// An environment block (NUL-terminated strings, then one more NUL) with
// folder and a semicolon put in front of its PATH; only PATH changes.
std::wstring EnvironmentWithPathFirst(const std::wstring& block, const std::wstring& folder);
