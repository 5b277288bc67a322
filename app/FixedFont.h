#pragma once

#include <QFont>

// A font of fixed pitch, so that text in columns lines up: the system's own where it is one (under Wine it
// is not), else a known one that is there, else the first of fixed pitch the system has.
QFont fixedPitchFont();
