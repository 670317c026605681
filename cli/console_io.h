// The command line's own terminal: whether stderr is one, reading a secret
// without echo, and Ctrl-C raising a cancel flag.
#pragma once

#include <atomic>
#include <cstdio>
#include <string>

namespace quarnel {

bool StderrIsTerminal();
bool StdinIsTerminal();
// Whether stderr is a terminal that takes cursor moves (redrawing lines in
// place); on Windows this switches the console to take them.
bool StderrTakesCursorMoves();

// Shows `prompt` on stderr and reads one line from the terminal with echo
// off; the line end is dropped. False when there is no line to read.
bool ReadSecretLine(const char* prompt, std::string& line);
// One line from stdin, line end dropped. False at end of input with nothing read.
bool ReadStdinLine(std::string& line);
// Drops the line end ("\n", "\r\n") of a line read.
void DropLineEnd(std::string& line);

// Creates (or empties) a file only the user may read and write: traces hold
// the converter's secrets. Null when the system refuses.
std::FILE* CreatePrivateFile(const std::string& path);

// From now on Ctrl-C (and a termination request) raises `flag` instead of
// ending the program; a second Ctrl-C ends it at once.
void CancelOnInterrupt(std::atomic<bool>& flag);

}  // namespace quarnel
