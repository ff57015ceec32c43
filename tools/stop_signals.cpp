#include "stop_signals.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t caught = 0;

extern "C" void remember(int signal)
{
    caught = signal;
}

}  // namespace

void catchStopSignals()
{
    struct sigaction action = {};
    action.sa_handler = remember;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND;  // the next one takes its default course
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

int stopSignal()
{
    return caught;
}
