#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `shelfwarden [catalogue]`, `--help`, `--version`,
// `--export CATALOGUE FILE.csv`, `--import FILE.csv CATALOGUE`.
struct CommandLine {
    enum class Action { Run, Help, Version, Export, Import, Error };
    Action action = Action::Run;
    QString catalogue;
    QString csv;
    QString error;

    static CommandLine Parse(const QStringList& arguments);
    static QString Usage();
    static QString Version();
};
