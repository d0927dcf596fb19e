#pragma once

#include <functional>

// Switches that make a store step fail, around the real backend of every connection opened once
// they are installed (TestDatabase installs them; any switch here does too). A statement is one
// prepared by the program (Statement, Connection::execute); opening a connection (its password
// check and index repair) and begin are not counted.
namespace faults {
// Wraps the backend of every connection opened from now on; idempotent.
void install();
void reset();
void failStatement(int n); // 1-based count of statements since reset(); 0 turns it off
void failCommit(bool on);
int statementsRun();
int commitsRun();
// How long a desk waits for another desk's write (0: the program's own wait); for new connections.
void setBusyWait(int ms);
// Called with 0 once a connection has opened, and with the statement's number just before each
// counted statement runs (another desk can act there); empty turns it off.
void beforeEachStep(std::function<void(int)> hook);
} // namespace faults
