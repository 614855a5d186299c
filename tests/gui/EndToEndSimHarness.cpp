// The integration tests' simulator harness, built into the GUI tests as well:
// the end-to-end test starts both simulators exactly the way they do.
#include "../integration/ProgrammerSimHarness.cpp"
#include "../integration/ReaderSimProcess.cpp"
