#pragma once

#include <string>
#include <string_view>

namespace cronovolta {

// The English reason of a failed system call (an errno value) as the core writes it into
// its messages: "cannot write F: the disk is full". Fixed texts rather than the C
// library's, which follow the desktop's locale and could not be recognised again.
// An error number the table does not know reads "system error N".
std::string systemErrorReason(int err);

// The same reason in the organiser's language (0 Catalan, 1 Castilian), with what the
// organiser can do about it: "el disc és ple. Allibera espai al disc ...".
std::string localisedSystemReason(int err, int language);

// A message of the core with every file problem in it ("cannot read|write|delete|rename|
// create the folder PATH: REASON", clauses separated by "; ") put into the language, with
// what the organiser can do about it. Clauses it does not know stay as they are.
std::string localiseProblems(std::string_view text, int language);

// Why a serial port could not be opened.
enum class PortProblem {
    Unknown,
    Missing,      // no such device: the counter's cable or adapter is not plugged in
    NoPermission, // the user may not open it (on Linux: not in the "dialout" group)
    InUse,        // another program holds it
};

// The explanation that follows "No hi ha connexió pel port N.": the device and what to do.
std::string portProblemText(PortProblem problem, std::string_view device, int language);

} // namespace cronovolta
