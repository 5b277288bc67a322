// A bare Qt window showing the board's picture and nothing else: what the panel's start-up and memory are
// measured against.

#include "resources/Artwork.h"

#include <QApplication>
#include <QLabel>
#include <QPixmap>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QLabel window;
    window.setPixmap(QPixmap::fromImage(QImage(QString::fromLatin1(qbv::artwork::kBoard))));
    window.show();
    return application.exec();
}
