#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>

// What the sqlite3 shell prints for `command` (or for the statements on its input), or its
// complaint.
inline QString Shell(const QString& file, const QString& command, const QByteArray& input = {}) {
    QProcess shell;
    shell.start("sqlite3", command.isEmpty() ? QStringList{file} : QStringList{file, command});
    shell.write(input);
    shell.closeWriteChannel();
    if (!shell.waitForFinished(30000) || shell.exitCode() != 0) {
        return "FAILED " + QString::fromUtf8(shell.readAllStandardError());
    }
    const QString errors = QString::fromUtf8(shell.readAllStandardError());
    return errors.isEmpty() ? QString::fromUtf8(shell.readAllStandardOutput()).trimmed()
                            : "FAILED " + errors;
}
