// The main of a benchmark program that opens windows: offscreen, in a private home folder, with
// every box answering itself. `prepare` runs once the application is up, before the benchmarks.
#pragma once

int runOffscreenBenchmarks(int argc, char** argv, void (*prepare)() = nullptr);
