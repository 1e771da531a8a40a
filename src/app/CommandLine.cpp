#include "CommandLine.h"

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
        } else if (!optionsEnded && arg.startsWith(QLatin1Char('-')) && arg.size() > 1) {
            result.action = Action::Error;
            result.error = QStringLiteral("unknown option: %1").arg(arg);
            return result;
        } else if (result.catalogue.isEmpty()) {
            result.catalogue = arg;
        } else {
            result.action = Action::Error;
            result.error = QStringLiteral("only one catalogue can be opened: %1").arg(arg);
            return result;
        }
    }
    return result;
}

QString CommandLine::Usage() {
    return QStringLiteral("Usage: shelfwarden [options] [catalogue]\n"
                          "A desktop catalogue of a private book collection.\n"
                          "\n"
                          "  catalogue        a catalogue file (.mdb) to open at start\n"
                          "  --help, -h       show this help and exit\n"
                          "  --version        show the version and exit\n");
}

QString CommandLine::Version() {
    return QStringLiteral("Shelfwarden " SHELFWARDEN_VERSION "\n");
}
