// How long one search for the installed JDKs takes (the setting, PATH,
// JAVA_HOME, the registry, the program folders): runs search again after a
// minute or when a JDK has gone, so it must stay cheap. Run by
// scripts/bench.sh:
//
//   bench_jdk_search [rounds]
//
// Prints the median and the slowest of the rounds after one warm-up; exit
// code 0 when the median is under 20 ms.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "bench_timing.h"
#include "java/jdk_finder.h"

namespace {

constexpr double kTargetMs = 20.0;

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 25;
  if (rounds < 15) rounds = 15;
  SearchJdks(std::string());
  std::vector<double> times;
  std::size_t found = 0;
  for (int i = 0; i < rounds; ++i) {
    const double start = Now();
    const JdkSearch search = SearchJdks(std::string());
    times.push_back((Now() - start) * 1000.0);
    found = search.found.size() + (search.onPath ? 1 : 0);
  }
  const double median = Median(times);
  std::printf("J1 JDK search (%zu JDKs found), %d rounds: median %.2f ms, slowest %.2f ms "
              "(target < %.0f ms) %s\n",
              found, rounds, median, *std::max_element(times.begin(), times.end()), kTargetMs,
              median < kTargetMs ? "ok" : "TOO SLOW");
  std::fflush(stdout);
  // No static destructors: nothing of this program's settings is saved.
  std::_Exit(median < kTargetMs ? 0 : 1);
}
