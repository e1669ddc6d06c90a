#pragma once
// How the exchange learns that the background job running it was stopped:
// the worker thread registers its job's keep-running flag and a wake
// descriptor, and every wait of SnmpData polls that descriptor beside the
// socket, so a stop ends even a long receive time-out at once.

namespace snmpengine {

// Registered by BackgroundCycle's worker for its own thread (null, -1 to
// clear). flag is read atomically; wakeFd becomes readable on a stop.
void SetWorkerStop(int* flag, int wakeFd);

// The registered flag is down.
bool WorkerStopped();
// The registered wake descriptor, or -1.
int WorkerWakeFd();

}  // namespace snmpengine
