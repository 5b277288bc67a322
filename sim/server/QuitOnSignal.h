#pragma once

// Makes SIGTERM and SIGINT end the event loop, so that the board takes its sockets down as it exits.
void quitApplicationOnSignals();
