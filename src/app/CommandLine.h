#pragma once

#include <QString>
#include <QStringList>

// What the command line asks for: `shelfwarden [catalogue]`, `--help`, `--version`,
// `--export CATALOGUE FILE.csv [--safe-cells]`,
// `--import FILE.csv CATALOGUE [--rejects REJECTS.csv] [--skip-duplicates] [--delimiter D]
// [--encoding NAME]`,
// `--backup CATALOGUE`, `--lookup ISBN...`, `--complete CATALOGUE [--all]`,
// `--read-barcodes IMAGE...`.
struct CommandLine {
    enum class Action {
        Run,
        Help,
        Version,
        Export,
        Import,
        Backup,
        Lookup,
        Complete,
        ReadBarcodes,
        Error
    };
    Action action = Action::Run;
    QString catalogue;
    QString csv;
    // Positions of the transfer's or backup's paths among the arguments, so that the caller can use
    // the bytes given, whatever their encoding.
    qsizetype catalogueArgument = 0;
    qsizetype csvArgument = 0;
    QString rejects;
    qsizetype rejectsArgument = 0; // 0 when no rejects file is asked for
    bool skipDuplicates = false;
    char delimiter = 0; // 0: guessed from the file
    QString encoding;   // empty: UTF-8
    bool safeCells = false;
    QStringList isbns;        // to look up
    bool completeAll = false; // --complete --all
    QStringList images;       // to read barcodes from

    QString error;

    static CommandLine Parse(const QStringList& arguments);
    static QString Usage();
    static QString Version();

private:
    // The options after a transfer's two paths, from argument `first` on.
    void ReadTransferOptions(const QStringList& arguments, qsizetype first);
};
