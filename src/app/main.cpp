#include "app/BarcodeJob.h"
#include "app/CShelfwardenApp.h"
#include "app/CommandLine.h"
#include "app/CommandLineJobs.h"
#include "app/CompleteJob.h"
#include "app/LookupJob.h"
#include "backup/ui/UserBackupSettings.h"
#include "shell/AppSettings.h"

#include <QApplication>
#include <csignal>
#include <cstdio>

int main(int argc, char* argv[]) {
    // Past a file size limit a write fails like one on a full disk and is told as such, instead
    // of the signal ending the program in the middle of it.
    std::signal(SIGXFSZ, SIG_IGN);
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    const CommandLine command = CommandLine::Parse(arguments);
    switch (command.action) {
    case CommandLine::Action::Help:
        std::fputs(CommandLine::Usage().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Version:
        std::fputs(CommandLine::Version().toLocal8Bit().constData(), stdout);
        return 0;
    case CommandLine::Action::Error:
        std::fprintf(stderr, "shelfwarden: %s\n%s", command.error.toLocal8Bit().constData(),
                     CommandLine::Usage().toLocal8Bit().constData());
        return 2;
    case CommandLine::Action::Export:
        return RunExport(argv[command.catalogueArgument], argv[command.csvArgument],
                         command.safeCells);
    case CommandLine::Action::Import: {
        ImportOptions options;
        options.skipDuplicates = command.skipDuplicates;
        options.delimiter = command.delimiter;
        options.encoding =
            FindTextEncoding(command.encoding.toStdString()).value_or(TextEncoding::Utf8);
        return RunImport(argv[command.csvArgument], argv[command.catalogueArgument],
                         command.rejectsArgument ? argv[command.rejectsArgument] : "", options);
    }
    case CommandLine::Action::Backup:
        LoadSettings();
        return RunBackup(argv[command.catalogueArgument], UserBackupSettings());
    case CommandLine::Action::Lookup:
        return RunLookup(command.isbns);
    case CommandLine::Action::Complete:
        return RunComplete(argv[command.catalogueArgument], command.completeAll);
    case CommandLine::Action::ReadBarcodes: {
        // Image formats are plugins, found through the application object.
        QCoreApplication core(argc, argv);
        return RunReadBarcodes(command.images);
    }
    case CommandLine::Action::Run:
        break;
    }
    QApplication application(argc, argv);
    CShelfwardenApp app;
    // The catalogue's name is the bytes given: a name that is not UTF-8 opens too.
    if (!app.InitInstance(command.catalogue.isEmpty() ? "" : argv[command.catalogueArgument])) {
        return 1;
    }
    return QApplication::exec();
}
