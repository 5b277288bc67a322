#pragma once

#include <QAccessible>
#include <QLatin1String>

// Screen readers read every widget of the kind through Face, an accessible interface made over it, rather
// than as a plain widget; the first widget of the kind to be made calls this for the whole program.
template <typename Kind, typename Face> void readAs() {
    static const bool installed = [] {
        QAccessible::installFactory([](const QString& className, QObject* object) -> QAccessibleInterface* {
            if (className != QLatin1String(Kind::staticMetaObject.className()))
                return nullptr;
            return new Face(static_cast<Kind*>(object));
        });
        return true;
    }();
    Q_UNUSED(installed);
}
