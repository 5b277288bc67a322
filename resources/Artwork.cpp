#include "resources/Artwork.h"

#include <QFile>

namespace qbv::artwork {

bool artworkPresent() {
    for (const char* name : {kBoard, kLedOn, kPioOn, kPressed, kExitGlyph, kIconPng, kIconIco}) {
        if (!QFile::exists(QString::fromLatin1(name)))
            return false;
    }
    return true;
}

} // namespace qbv::artwork
