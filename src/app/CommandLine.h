#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `shelfwarden [catalogue]`, `--help`, `--version`.
struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    QString catalogue;
    QString error;

    static CommandLine Parse(const QStringList& arguments);
    static QString Usage();
    static QString Version();
};
