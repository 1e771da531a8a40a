#pragma once

// The catalogue's own messages, shown exactly as written.
namespace msg {
inline constexpr const char* kCannotCreateDatabase = "Nu se poate crea o nou baza de date!";
inline constexpr const char* kCannotCreateTable = "Nu se poate crea tabela!";
inline constexpr const char* kCannotOpenDatabase = "Nu se poate deschide baza de date";
inline constexpr const char* kCannotCloseDatabase = "Nu se poate inchide baza de date!";
inline constexpr const char* kCannotInsert = "Nu se poate adauga o noua inregistrare!";
inline constexpr const char* kCannotUpdate = "Nu se poate modifica inregistrarea!";
inline constexpr const char* kCannotDelete = "Nu se pota sterge inregistrarea!";
inline constexpr const char* kCannotSelect = "Nu se pot selecta inregistrarile!";
inline constexpr const char* kNoDatabaseOpen = "Nici o baza de date nu este deschisa!";
inline constexpr const char* kNoTypeDefined = "Nu exista definit nici un tip!";
inline constexpr const char* kNoStateDefined = "Nu exista definita nici o stare!";
inline constexpr const char* kNotAnInteger = "Please enter an integer.";
inline constexpr const char* kIntegerOutOfRange =
    "Please enter an integer between -32768 and 32767.";
inline constexpr const char* kTextTooLong = "Introduceti cel mult 255 de caractere.";
// For the fields beyond the book's own, whose integer check is ours.
inline constexpr const char* kNotAWholeNumber = "Introduceti un numar intreg.";
} // namespace msg
