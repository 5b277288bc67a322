#pragma once

#include <QObject>
#include <QString>
#include <deque>

// What happened, one timestamped line each, for the log window: connection outcomes, board commands,
// key changes, programming steps, web links. Only the latest kCapacity lines are kept, in memory; the
// program writes no file of its own.
class EventLog : public QObject {
    Q_OBJECT
public:
    static constexpr size_t kCapacity = 10000;

    using QObject::QObject;

    void add(const QString& text);
    const std::deque<QString>& lines() const { return lines_; }
    // Writes every kept line to the file; false, with the reason, when it cannot.
    bool save(const QString& path, QString& error) const;

signals:
    void added(const QString& line);

private:
    std::deque<QString> lines_;
};
