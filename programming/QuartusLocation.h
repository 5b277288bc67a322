#pragma once

#include <string>

namespace qbv::programming {

// The vendor tool chain's install directory, used exactly as read; empty when none is recorded.
std::string FindQuartusDirectory();

// The programmer inside an install directory: in the first of the system's folders for it that holds it,
// else where the first would hold it. Nothing is trimmed from the directory: one that already ends with a
// separator gives two in a row.
std::string programmerPath(const std::string& installDirectory);
// Every place it is looked for there, in order, as words: "C:\q\bin\quartus_pgm.exe or
// C:\q\bin64\quartus_pgm.exe".
std::string programmerPlaces(const std::string& installDirectory);

// Why the programmer under the install directory must not be run, as a sentence naming the folder and what
// named it: the install directory, or the folder the programmer lies in, may not be trusted
// (platform::folderDistrust). Empty when it may be run.
std::string programmerDistrust(const std::string& installDirectory, const std::string& namedBy);

} // namespace qbv::programming
