// Draws the window's pictures and the program's icons into a folder: the build runs it, so no drawn
// binary lives in the repository. With --preview FOLDER it also writes the board picture as PNG, plain
// with the layout's rectangles outlined, and as the window shows it, to look at.

#include "BoardPicture.h"
#include "Dib.h"
#include "Icon.h"
#include "Overlays.h"
#include "Preview.h"

#include "resources/Artwork.h"

#include <QDir>
#include <QGuiApplication>
#include <QImageWriter>
#include <QStringList>

#include <cstdio>

namespace {

using namespace qbv::artgen;

bool writePng(const QString& path, const QImage& picture) {
    // Qt writes no time or gamma chunk unless asked, so the same picture always gives the same bytes.
    QImageWriter writer(path, "png");
    return writer.write(picture);
}

// The desktop's icon theme: icon_16.png ... icon_256.png and icon.svg.
bool writeThemeIcons(const QDir& folder) {
    for (const int size : kThemeIconSizes) {
        if (!writePng(folder.filePath(QString("icon_%1.png").arg(size)), iconPicture(size)))
            return false;
    }
    return writeFile(folder.filePath("icon.svg"), iconSvg());
}

bool writeArtwork(const QDir& folder) {
    const IndexedIcon icon = indexedIcon();
    const QImage board = boardPicture();
    using namespace qbv::artwork;
    const auto file = [&folder](const char* resource) {
        return folder.filePath(QString::fromLatin1(fileName(resource)));
    };
    return writeFile(file(kBoard), encodeBmp24(board)) &&
           writeFile(file(kLedOn), encodeBmp4(ledOnPicture())) &&
           writeFile(file(kPioOn), encodeBmp4(pioOnPicture())) &&
           writeFile(file(kPressed), encodeBmp4(pressedPicture())) &&
           writeFile(file(kExitGlyph), encodeBmp4(exitGlyphPicture())) &&
           writeFile(file(kIconIco), encodeIco4(icon.indexed, icon.transparent)) &&
           writePng(file(kIconPng), indexedIconPicture(icon)) && writeThemeIcons(folder);
}

bool writePreview(const QDir& folder) {
    const QImage board = boardPicture();
    return QDir().mkpath(folder.path()) && writePng(folder.filePath("board.png"), board) &&
           writePng(folder.filePath("board_outlined.png"), outlinedPreview(board)) &&
           writePng(folder.filePath("board_window.png"), windowPreview(board)) &&
           writePng(folder.filePath("pin-map.png"), pinMapPreview(board));
}

int usage() {
    std::fprintf(stderr, "usage: qbv_artgen OUTPUT_FOLDER [--preview PREVIEW_FOLDER]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication application(argc, argv);
    QStringList arguments = QGuiApplication::arguments();
    arguments.removeFirst();
    if (arguments.size() != 1 && !(arguments.size() == 3 && arguments[1] == "--preview"))
        return usage();

    const QDir folder(arguments[0]);
    if (!QDir().mkpath(folder.path()) || !writeArtwork(folder)) {
        std::fprintf(stderr, "qbv_artgen: cannot write the pictures into %s\n", qPrintable(folder.path()));
        return 1;
    }
    if (arguments.size() == 3 && !writePreview(QDir(arguments[2]))) {
        std::fprintf(stderr, "qbv_artgen: cannot write the preview %s\n", qPrintable(arguments[2]));
        return 1;
    }
    return 0;
}
