#pragma once

// The texts the program shows, written out once for every test that expects them.
namespace shown {
inline constexpr const char* kNoCatalogue = "Nici o baza de date nu este deschisa!";
inline constexpr const char* kSelectFailed = "Nu se pot selecta inregistrarile!";
inline constexpr const char* kCannotOpenMissing =
    "Nu se poate deschide baza de date\nfisierul sau dosarul nu exista";
inline constexpr const char* kCannotOpenNotACatalogue =
    "Nu se poate deschide baza de date\nfisierul nu este un catalog sau este deteriorat";
inline constexpr const char* kCannotCreateOverAFile =
    "Nu se poate crea o nou baza de date!\nfisierul exista deja";
inline constexpr const char* kCannotCreateNoFolder =
    "Nu se poate crea o nou baza de date!\nfisierul sau dosarul nu exista";
inline constexpr const char* kCannotCreateTable = "Nu se poate crea tabela!";
inline constexpr const char* kCannotInsert = "Nu se poate adauga o noua inregistrare!";
inline constexpr const char* kCannotUpdate = "Nu se poate modifica inregistrarea!";
inline constexpr const char* kCannotDelete = "Nu se pota sterge inregistrarea!";
inline constexpr const char* kNoType = "Nu exista definit nici un tip!";
inline constexpr const char* kNoState = "Nu exista definita nici o stare!";
inline constexpr const char* kNoSuchTitle = "Nu exista nici o inregistrare cu acest titlu!";
inline constexpr const char* kNotInteger = "Please enter an integer.";
inline constexpr const char* kOutOfRange = "Please enter an integer between -32768 and 32767.";
inline constexpr const char* kNoTitle = "Trebuie specificat un titlu!";
inline constexpr const char* kRatingClash =
    "Nu exista concordanta intre calificativ si stare citire carte!";
inline constexpr const char* kTypeExists = "Tipul specificat exista deja!";
inline constexpr const char* kTextTooLong = "Introduceti cel mult 255 de caractere.";
inline constexpr const char* kNotAWholeNumber = "Introduceti un numar intreg.";
inline constexpr const char* kNoBorrower = "Trebuie specificat cui se imprumuta cartea!";
inline constexpr const char* kNotLent = "Cartea nu este imprumutata!";
inline constexpr const char* kBeforeLent = "Data nu poate fi inaintea imprumutului!";
inline constexpr const char* kLoansUnusable =
    "Imprumuturile nu pot fi folosite: tabela loans este deteriorata sau are alta forma!";
inline constexpr const char* kMdbFilter = "Microsoft Access Database (*.mdb)";
} // namespace shown
