#pragma once

// Ctrl-C (SIGINT) and SIGTERM ask a long run to stop at the next tick instead of killing it
// mid-row. A second one kills as usual, should finishing hang.
void catchStopSignals();

// The signal that asked to stop, or 0.
int stopSignal();
