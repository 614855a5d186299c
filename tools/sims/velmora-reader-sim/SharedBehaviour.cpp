// Compiled from the programmer simulator's folder: the two simulators share
// their pseudo-terminal, control FIFO, log, signal and tag-file plumbing.
#include "../velmora-programmer-sim/Behaviour.cpp"
