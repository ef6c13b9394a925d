#pragma once

// Input movies are mapped rather than read (see ZuMappedFile). If another program
// shortens such a file while fmredit works on it, the system raises SIGBUS where the lost
// bytes are touched. The guard turns that into a one-line error and the failure exit
// code instead of a crash. Outputs are written to temporary files renamed into place
// only at the end, so no output is left half-written; the temporary file may remain.
void InstallInputChangedGuard();
