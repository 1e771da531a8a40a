#include "app/CommandLine.h"

#include "transfer/TextEncoding.h"

CommandLine CommandLine::Parse(const QStringList& arguments) {
    CommandLine result;
    bool optionsEnded = false;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (!optionsEnded && arg == QLatin1String("--")) {
            optionsEnded = true;
        } else if (!optionsEnded &&
                   (arg == QLatin1String("--help") || arg == QLatin1String("-h"))) {
            result.action = Action::Help;
            return result;
        } else if (!optionsEnded && arg == QLatin1String("--version")) {
            result.action = Action::Version;
            return result;
        } else if (!optionsEnded &&
                   (arg == QLatin1String("--export") || arg == QLatin1String("--import"))) {
            const bool exporting = arg == QLatin1String("--export");
            if (i + 2 >= arguments.size()) {
                result.action = Action::Error;
                result.error = exporting
                                   ? QStringLiteral("--export needs a catalogue and a CSV file")
                                   : QStringLiteral("--import needs a CSV file and a catalogue");
                return result;
            }
            result.action = exporting ? Action::Export : Action::Import;
            result.catalogueArgument = exporting ? i + 1 : i + 2;
            result.csvArgument = exporting ? i + 2 : i + 1;
            result.catalogue = arguments[result.catalogueArgument];
            result.csv = arguments[result.csvArgument];
            result.ReadTransferOptions(arguments, i + 3);
            return result;
        } else if (!optionsEnded && arg == QLatin1String("--backup")) {
            result.action = Action::Backup;
            result.catalogueArgument = i + 1;
            if (i + 2 != arguments.size()) {
                result.action = Action::Error;
                result.error = QStringLiteral("--backup needs one catalogue");
                return result;
            }
            result.catalogue = arguments[i + 1];
            return result;
        } else if (!optionsEnded && arg == QLatin1String("--complete")) {
            result.action = Action::Complete;
            result.catalogueArgument = i + 1;
            result.completeAll = i + 3 == arguments.size() && arguments[i + 2] == "--all";
            if (i + 2 != arguments.size() && !result.completeAll) {
                result.action = Action::Error;
                result.error = QStringLiteral("--complete needs one catalogue, and --all after it");
                return result;
            }
            result.catalogue = arguments[i + 1];
            return result;
        } else if (!optionsEnded && arg == QLatin1String("--lookup")) {
            result.isbns = arguments.mid(i + 1);
            result.action = Action::Lookup;
            if (result.isbns.isEmpty()) {
                result.action = Action::Error;
                result.error = QStringLiteral("--lookup needs at least one ISBN");
            }
            return result;
        } else if (!optionsEnded && arg == QLatin1String("--read-barcodes")) {
            result.images = arguments.mid(i + 1);
            result.action = Action::ReadBarcodes;
            if (result.images.isEmpty()) {
                result.action = Action::Error;
                result.error = QStringLiteral("--read-barcodes needs at least one image");
            }
            return result;
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            result.action = Action::Error;
            result.error = QStringLiteral("unknown option: %1").arg(arg);
            return result;
        } else if (result.catalogue.isEmpty()) {
            result.catalogue = arg;
            result.catalogueArgument = i;
        } else {
            result.action = Action::Error;
            result.error = QStringLiteral("only one catalogue can be opened: %1").arg(arg);
            return result;
        }
    }
    return result;
}

void CommandLine::ReadTransferOptions(const QStringList& arguments, qsizetype first) {
    const bool importing = action == Action::Import;
    for (qsizetype i = first; i < arguments.size(); ++i) {
        const QString& arg = arguments[i];
        if (importing && arg == QLatin1String("--rejects") && i + 1 < arguments.size()) {
            rejectsArgument = ++i;
            rejects = arguments[i];
        } else if (importing && arg == QLatin1String("--skip-duplicates")) {
            skipDuplicates = true;
        } else if (importing && arg == QLatin1String("--delimiter") && i + 1 < arguments.size()) {
            const QString name = arguments[++i];
            delimiter = name == QLatin1String("tab") ? '\t'
                        : name.size() == 1 && QStringLiteral(",;\t").contains(name)
                            ? name[0].toLatin1()
                            : '\0';
            if (delimiter == '\0') {
                action = Action::Error;
                error = QStringLiteral("--delimiter takes , ; or tab: %1").arg(name);
                return;
            }
        } else if (importing && arg == QLatin1String("--encoding") && i + 1 < arguments.size()) {
            encoding = arguments[++i];
            if (!FindTextEncoding(encoding.toStdString())) {
                action = Action::Error;
                error = QStringLiteral("--encoding takes UTF-8, Windows-1250 or Windows-1252: %1")
                            .arg(encoding);
                return;
            }
        } else if (!importing && arg == QLatin1String("--safe-cells")) {
            safeCells = true;
        } else {
            action = Action::Error;
            error = arg == QLatin1String("--rejects") ? QStringLiteral("--rejects needs a CSV file")
                    : arg == QLatin1String("--delimiter")
                        ? QStringLiteral("--delimiter needs , ; or tab")
                    : arg == QLatin1String("--encoding")
                        ? QStringLiteral("--encoding needs a name")
                        : QStringLiteral("unexpected argument: %1").arg(arg);
            return;
        }
    }
}

QString CommandLine::Usage() {
    return QStringLiteral(
        "Usage: shelfwarden [options] [catalogue]\n"
        "A desktop catalogue of a private book collection.\n"
        "\n"
        "  catalogue        a catalogue file (.mdb) to open at start\n"
        "  --export CATALOGUE FILE.csv [--safe-cells]\n"
        "                   write every book of CATALOGUE, ordered by title, as\n"
        "                   CSV with the list's thirteen columns; --safe-cells puts\n"
        "                   an apostrophe before a text beginning with = + - @ so\n"
        "                   that a spreadsheet does not run it as a formula\n"
        "  --import FILE.csv CATALOGUE [--rejects REJECTS.csv] [--skip-duplicates]\n"
        "           [--delimiter , | ; | tab] [--encoding UTF-8 | Windows-1250 | Windows-1252]\n"
        "                   add the books of FILE.csv to CATALOGUE, making it when\n"
        "                   it does not exist; columns are read by their header\n"
        "                   (the export's, a reading site's library export, or a\n"
        "                   spreadsheet's names in Romanian or English); the\n"
        "                   delimiter is guessed from the first line, the encoding\n"
        "                   is UTF-8 unless named; an empty cell stays unknown;\n"
        "                   all or nothing, unless --rejects is given: then the\n"
        "                   rows that cannot be stored are written to REJECTS.csv\n"
        "                   with their line and reason, and the others stored;\n"
        "                   --skip-duplicates leaves out a book whose title and\n"
        "                   author are already in the catalogue\n"
        "  --backup CATALOGUE\n"
        "                   make a backup of CATALOGUE now, in the backups folder\n"
        "                   of the settings, and print its path\n"
        "  --lookup ISBN...\n"
        "                   look the books up in the sources of the settings and\n"
        "                   print a line per ISBN: ISBN-13, the sources that\n"
        "                   answered (or -), title, authors, publisher, year,\n"
        "                   pages, separated by tabs; exit status 1 when a book\n"
        "                   was not found, 2 for a wrong ISBN\n"
        "  --complete CATALOGUE [--all]\n"
        "                   look up every book of CATALOGUE that has an ISBN and fill\n"
        "                   only its empty fields, never replacing a value; print\n"
        "                   the books asked, found, not found and failed and the\n"
        "                   fields filled; --all also searches the books without\n"
        "                   an ISBN by title and author and takes an exact match\n"
        "  --read-barcodes IMAGE...\n"
        "                   read the barcodes of each image (JPEG, PNG, ...) and\n"
        "                   print a line per image: its name, then the ISBN-13s\n"
        "                   found, separated by tabs, or - for none; exit status\n"
        "                   1 when an image held no ISBN\n"
        "  --help, -h       show this help and exit\n"
        "  --version        show the version and exit\n"
        "\n"
        "Errors go to standard error, with exit status 1 for a failed transfer or\n"
        "backup and 2 for a wrong command line.\n");
}

QString CommandLine::Version() {
    return QStringLiteral("Shelfwarden " SHELFWARDEN_VERSION "\n");
}
