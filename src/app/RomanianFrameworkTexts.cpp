#include "app/RomanianFrameworkTexts.h"

#include <QHash>

namespace {

// The framework's English texts, as its dialogs ask for them, and their Romanian.
const QHash<QByteArray, const char*>& Table() {
    static const QHash<QByteArray, const char*> table = {
        // Buttons of message boxes and dialogs.
        {"OK", "OK"},
        {"Save", "Salveaza"},
        {"Save All", "Salveaza tot"},
        {"Open", "Deschide"},
        {"&Yes", "&Da"},
        {"Yes to &All", "Da la &toate"},
        {"&No", "&Nu"},
        {"N&o to All", "N&u la toate"},
        {"Abort", "Abandoneaza"},
        {"Retry", "Reincearca"},
        {"Ignore", "Ignora"},
        {"Close", "Inchide"},
        {"Cancel", "Renunta"},
        {"Discard", "Nu salva"},
        {"Help", "Ajutor"},
        {"Apply", "Aplica"},
        {"Reset", "Reseteaza"},
        {"Restore Defaults", "Valorile initiale"},
        {"Show Details...", "Arata detaliile..."},
        {"Hide Details...", "Ascunde detaliile..."},
        // The context menu of text fields.
        {"&Undo", "&Anuleaza"},
        {"&Redo", "&Reface"},
        {"Cu&t", "&Taie"},
        {"&Copy", "&Copiaza"},
        {"&Paste", "&Lipeste"},
        {"Delete", "Sterge"},
        {"Select All", "Selecteaza tot"},
        {"Insert Unicode control character", "Insereaza un caracter de control Unicode"},
        // The file chooser.
        {"Look in:", "Cauta in:"},
        {"File &name:", "&Nume fisier:"},
        {"Files of type:", "Fisiere de tipul:"},
        {"&Open", "&Deschide"},
        {"&Save", "&Salveaza"},
        {"&Choose", "&Alege"},
        {"Save As", "Salveaza ca"},
        {"Find Directory", "Alege dosarul"},
        {"Directory:", "Dosar:"},
        {"All Files (*)", "Toate fisierele (*)"},
        {"Back", "Inapoi"},
        {"Forward", "Inainte"},
        {"Parent Directory", "Dosarul parinte"},
        {"Create New Folder", "Dosar nou"},
        {"List View", "Lista"},
        {"Detail View", "Detalii"},
        {"Go back", "Inapoi"},
        {"Go forward", "Inainte"},
        {"Go to the parent directory", "Dosarul parinte"},
        {"Create a New Folder", "Creeaza un dosar nou"},
        {"Change to list view mode", "Arata ca lista"},
        {"Change to detail view mode", "Arata cu detalii"},
        {"Sidebar", "Locuri"},
        {"List of places and bookmarks", "Locuri si semne de carte"},
        {"Files", "Fisiere"},
        {"New Folder", "Dosar nou"},
        {"&New Folder", "Dosar &nou"},
        {"&Rename", "&Redenumeste"},
        {"&Delete", "&Sterge"},
        {"Show &hidden files", "Arata fisierele &ascunse"},
        {"Recent Places", "Locuri recente"},
        {"Name", "Nume"},
        {"Size", "Marime"},
        {"Type", "Tip"},
        {"Kind", "Tip"},
        {"Date Modified", "Data modificarii"},
        {"Computer", "Calculator"},
        {"My Computer", "Calculatorul meu"},
        {"Folder", "Dosar"},
        {"File", "Fisier"},
        {"%1 already exists.\nDo you want to replace it?", "%1 exista deja.\nIl inlocuiti?"},
        {"Are you sure you want to delete '%1'?", "Sigur stergeti '%1'?"},
        {"%1\nFile not found.\nPlease verify the correct file name was given.",
         "%1\nFisierul nu exista.\nVerificati numele fisierului."},
        // The colour chooser.
        {"Select Color", "Alege culoarea"},
        {"&Basic colors", "Culori de &baza"},
        {"&Custom colors", "Culori &proprii"},
        {"&Add to Custom Colors", "&Adauga la culorile proprii"},
        {"&Pick Screen Color", "&Ia o culoare de pe ecran"},
        {"Hu&e:", "&Nuanta:"},
        {"&Sat:", "&Saturatie:"},
        {"&Val:", "&Valoare:"},
        {"&Red:", "&Rosu:"},
        {"&Green:", "&Verde:"},
        {"Bl&ue:", "&Albastru:"},
        {"A&lpha channel:", "&Transparenta:"},
        {"&HTML:", "&HTML:"},
    };
    return table;
}

} // namespace

QString RomanianFrameworkTexts::translate(const char*, const char* sourceText, const char*,
                                          int) const {
    const auto found = Table().constFind(QByteArray(sourceText));
    return found == Table().constEnd() ? QString() : QString::fromUtf8(*found);
}
