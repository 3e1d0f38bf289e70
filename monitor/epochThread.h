#pragma once

namespace monitor {

// Starts the epoch thread unless it runs: it processes the epochs from
// `processedEpoch` up to the display's `currentEpoch` into the spectral sums.
void startEpochThread();

// The epoch thread's body (also run directly by tests and scripts).
void processPendingEpochs();

// Waits until no epoch thread runs.
void joinEpochThread();

}  // namespace monitor
