#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `shelfwarden [catalogue]`, `--help`, `--version`,
// `--export CATALOGUE FILE.csv`, `--import FILE.csv CATALOGUE`, `--backup CATALOGUE`.
struct CommandLine {
    enum class Action { Run, Help, Version, Export, Import, Backup, Error };
    Action action = Action::Run;
    QString catalogue;
    QString csv;
    // Positions of the transfer's or backup's paths among the arguments, so that the caller can use
    // the bytes given, whatever their encoding.
    qsizetype catalogueArgument = 0;
    qsizetype csvArgument = 0;
    QString error;

    static CommandLine Parse(const QStringList& arguments);
    static QString Usage();
    static QString Version();
};
