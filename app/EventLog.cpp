#include "app/EventLog.h"

#include <QDateTime>
#include <QSaveFile>

void EventLog::add(const QString& text) {
    const QString line =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz ")) + text;
    lines_.push_back(line);
    if (lines_.size() > kCapacity)
        lines_.pop_front();
    emit added(line);
}

bool EventLog::save(const QString& path, QString& error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        error = file.errorString();
        return false;
    }
    for (const QString& line : lines_)
        file.write(line.toUtf8() + '\n');
    if (!file.commit()) {
        error = file.errorString();
        return false;
    }
    return true;
}
