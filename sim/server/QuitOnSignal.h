#pragma once

#ifdef _WIN32
// The board's named pipes go with its process, however it ends: nothing to take down first.
inline void quitApplicationOnSignals() {}
#else
// Makes SIGTERM and SIGINT end the event loop, so that the board takes its sockets down as it exits.
void quitApplicationOnSignals();
#endif
