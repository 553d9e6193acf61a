// The program without a window: the same models, started as "SIMULER" would start them, the
// sentences sent to standard output, files and links, in real time or as fast as the CPU allows.
// Its command line is in HeadlessOptions.h, its outputs of lines in LineOutput.h, its links in
// HeadlessLinks.h; a replay's timing is app::ReplayPlayer's.
#pragma once

#include <filesystem>

#include "main/HeadlessOptions.h"

namespace corvel::headless {

// Runs until the duration has passed, a stop signal arrives (SIGINT, SIGTERM, SIGHUP: code 0;
// SIGQUIT: 131) or the simulated clock reaches app::kLastInstant; returns the exit code (1 when
// an output could not be written, reported on standard error as it happened).
int Run(const Options& options, const std::filesystem::path& programFolder);

}  // namespace corvel::headless
