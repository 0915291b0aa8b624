// The engine loop of a batch run, alone: each record of the data file read and handed to the
// engine, the flags cleared and every edit set run on it, with no message read back. The
// yardstick the run's other costs are measured against.
#pragma once

#include "bench/whole_run.h"
#include "desktop/run/engine_binding.h"

namespace vetra::bench {

// Seconds for the floor (runSets false: reading and VTx_UpdateRecord only) or the engine loop
// (runSets true), from the edits' translations or, with `reference`, their tokens.
double engineLoop(const desktop::RAVengine& engine, const WholeRunSetup& setup, bool runSets,
                  bool reference = false);

} // namespace vetra::bench
