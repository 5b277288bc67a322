#pragma once

#include <string>

// For the Windows files of this folder only. The program's strings are UTF-8; the system's wide (W) calls
// take UTF-16. Every path, command line and registry value crosses over here, so that a folder named in
// any script reaches the system whole, which the ANSI calls' code page cannot promise.
namespace qbv::platform {

std::wstring wide(const std::string& text);
std::string narrow(const std::wstring& text);

// The system's words for an error code, without the closing full stop and line break; "system error N"
// where it has none. Some of its sentences hold places for words it was not given ("Bad EXE format for
// %1."): each is filled with the subject, a file's name, say, or "it".
std::string systemMessage(unsigned long code, const std::string& subject = "it");

} // namespace qbv::platform
