// Timing pieces shared by the benchmark programs: the clock, medians, sides
// that take turns, and a child run with its output on a pipe.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "common/win_handle.h"

// Seconds on the performance counter.
inline double Now() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER counter;
  QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The median of the values; 0 for none.
inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  std::size_t middle = values.size() / 2;
  return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Runs commandLine in folder with standard output and error on one pipe and
// an empty standard input; reads the pipe to its end. The number of bytes
// read, or -1 when the child could not be started. With createTimes, notes
// how long CreateProcess took, in milliseconds.
inline long long RunWithPipe(const std::string& commandLine, const std::string& folder,
                             std::vector<double>* createTimes = nullptr) {
  SECURITY_ATTRIBUTES inheritable = InheritableAttributes();
  UniqueHandle outputRead, outputWrite, inputRead, inputWrite;
  if (!CreatePipe(outputRead.Receive(), outputWrite.Receive(), &inheritable, 0) ||
      !CreatePipe(inputRead.Receive(), inputWrite.Receive(), &inheritable, 0))
    return -1;
  SetHandleInformation(outputRead.Get(), HANDLE_FLAG_INHERIT, 0);
  inputWrite.Reset();

  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW | STARTF_USESTDHANDLES;
  startup.wShowWindow = SW_HIDE;
  startup.hStdInput = inputRead.Get();
  startup.hStdOutput = outputWrite.Get();
  startup.hStdError = outputWrite.Get();
  std::string mutableCommand = commandLine;
  PROCESS_INFORMATION info = {};
  const double creating = Now();
  if (!CreateProcessA(nullptr, &mutableCommand[0], nullptr, nullptr, TRUE, 0, nullptr,
                      folder.c_str(), &startup, &info))
    return -1;
  if (createTimes) createTimes->push_back((Now() - creating) * 1000);
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  outputWrite.Reset();
  inputRead.Reset();

  long long total = 0;
  char chunk[65536];
  DWORD read = 0;
  while (ReadFile(outputRead.Get(), chunk, sizeof chunk, &read, nullptr) && read > 0) total += read;
  WaitForSingleObject(process.Get(), INFINITE);
  return total;
}

// One side of a comparison: a run that says whether it delivered, and the
// seconds each timed run took.
struct Side {
  Side(const char* name, std::function<bool()> run) : name(name), run(std::move(run)) {}
  const char* name;
  std::function<bool()> run;
  std::vector<double> seconds;
  bool ok = true;
};

// A run that times itself, leaving out its own preparing and tidying up,
// stores its seconds here; otherwise the whole run is timed.
inline double MeasuredByRun = -1;

// Warm-up rounds, then `rounds` rounds in which every side runs once, in turn.
inline void TakeTurns(int rounds, const std::vector<Side*>& sides, int warmUpRounds = 2) {
  for (int warmUp = 0; warmUp < warmUpRounds; ++warmUp)
    for (Side* side : sides) side->ok = side->run() && side->ok;
  for (int round = 0; round < rounds; ++round) {
    for (Side* side : sides) {
      MeasuredByRun = -1;
      double start = Now();
      side->ok = side->run() && side->ok;
      const double whole = Now() - start;
      side->seconds.push_back(MeasuredByRun >= 0 ? MeasuredByRun : whole);
    }
  }
}

inline void PrintSide(const Side& side) {
  std::printf(
      "  %-50s median %8.1f ms  (fastest %.1f ms)%s\n", side.name, Median(side.seconds) * 1000,
      side.seconds.empty() ? 0.0
                           : *std::min_element(side.seconds.begin(), side.seconds.end()) * 1000,
      side.ok ? "" : "  FAILED");
}

inline void PrintRatio(const char* label, const Side& a, const Side& b, const char* target) {
  std::vector<double> pairRatios;
  for (std::size_t i = 0; i < a.seconds.size() && i < b.seconds.size(); ++i)
    pairRatios.push_back(a.seconds[i] / b.seconds[i]);
  std::printf("%-4s %5.2f   (median of the pairs' ratios %.2f)%s%s\n", label,
              Median(a.seconds) / Median(b.seconds), Median(pairRatios), *target ? "  target " : "",
              target);
}
