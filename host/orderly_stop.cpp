#include "host/orderly_stop.h"

#include <csignal>

namespace vantor {
namespace {

// The status a shell reports for a process ended by signal n is 128 + n.
constexpr int kSignalStatusBase = 128;
constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t stopSignal = 0;

void NoteStopSignal(int signalNumber) { stopSignal = signalNumber; }

}  // namespace

void InstallStopHandlers() {
  struct sigaction action = {};
  action.sa_handler = NoteStopSignal;
  sigemptyset(&action.sa_mask);
  for (const int signalNumber : kStopSignals) sigaction(signalNumber, &action, nullptr);
}

int StopSignal() { return stopSignal; }

int StopExitStatus() { return stopSignal == 0 ? 0 : kSignalStatusBase + stopSignal; }

void ClearStopRequest() { stopSignal = 0; }

}  // namespace vantor
