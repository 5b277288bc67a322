#include "app/FixedFont.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QStringList>

QFont fixedPitchFont() {
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    if (QFontInfo(font).fixedPitch())
        return font;
    const QStringList known = {QStringLiteral("Consolas"), QStringLiteral("Courier New"),
                               QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Liberation Mono")};
    const QStringList families = QFontDatabase::families();
    for (const QString& family : known + families) {
        if (families.contains(family) && QFontDatabase::isFixedPitch(family)) {
            font.setFamily(family);
            return font;
        }
    }
    return font;
}
