#include "store/UserReasons.h"

#include "store/CEngineException.h"

#include <cerrno>
#include <cstring>
#include <string>
#include <string_view>

namespace {

// The errors a user meets with files, in the order they are looked for in a system text.
constexpr int kKnownErrors[] = {ENOENT, EACCES,  EPERM,  ENOSPC,  EDQUOT, EFBIG, EROFS,
                                EBUSY,  ETXTBSY, EISDIR, ENOTDIR, EEXIST, EIO};

// Beyond the highest error number Linux gives.
constexpr int kLastErrorNumber = 134;

// The program's own English reasons, as the command line says them.
struct OwnReason {
    std::string_view english;
    const char* romanian;
};
constexpr OwnReason kOwnReasons[] = {
    {"not a regular file", "nu este un fisier obisnuit"},
    {"not a catalogue that can be opened", "fisierul nu este un catalog sau este deteriorat"},
    {"the catalogue is being written by another program; try again",
     "fisierul este blocat de alt program; incercati din nou"},
    {"the catalogue is read-only", "fisierul poate fi doar citit"},
    {"the disk is full", "discul este plin"},
    {"the catalogue refused the value", "catalogul nu primeste valoarea"},
    {"is the catalogue itself or one of its journal files",
     "este chiar catalogul sau un fisier al lui"},
    // The engine's own words for the same failures.
    {"database or disk is full", "discul este plin"},
    {"disk I/O error", "discul nu a putut fi citit sau scris"},
};

// The program's English reasons that go before a detail: a name, kept as it is, or the system's
// reason, said in Romanian in its turn.
struct LeadingReason {
    std::string_view english;
    const char* romanian;
    bool detailIsReason;
};
constexpr LeadingReason kLeadingReasons[] = {
    {"holds a trigger the program did not make: ",
     "fisierul are un trigger pe care programul nu l-a facut: ", false},
    {"holds a view in place of its table: ", "fisierul are o vedere in locul tabelei ", false},
    {"its folder cannot be written: ", "dosarul lui nu primeste fisiere: ", true},
};

// A value a rule of a table refused; one refused by an index of unique values (the user's own,
// perhaps) is named so, with the columns the engine gives.
std::string RefusedValueReason(const std::string& what) {
    constexpr std::string_view kUnique = "UNIQUE constraint failed: ";
    const std::size_t at = what.find(kUnique);
    if (at == std::string::npos) {
        return "catalogul nu primeste valoarea";
    }
    return "o alta inregistrare are deja aceeasi valoare in " + what.substr(at + kUnique.size()) +
           ", iar un index al catalogului cere valori unice";
}

} // namespace

std::string SystemReason(int errnum) {
    switch (errnum) {
    case ENOENT:
        return "fisierul sau dosarul nu exista";
    case EACCES:
        return "fisierul nu poate fi citit sau scris: lipseste dreptul de acces";
    case EPERM:
        return "operatia nu este permisa";
    case ENOSPC:
    case EDQUOT:
        return "discul este plin";
    case EFBIG:
        return "fisierul este mai mare decat poate primi discul";
    case EROFS:
        return "discul poate fi doar citit";
    case EBUSY:
    case ETXTBSY:
        return "fisierul este folosit de alt program";
    case EISDIR:
        return "este un dosar, nu un fisier";
    case ENOTDIR:
        return "o parte a caii nu este un dosar";
    case EEXIST:
        return "fisierul exista deja";
    case EIO:
        return "discul nu a putut fi citit sau scris";
    case ENAMETOOLONG:
        return "numele fisierului este prea lung";
    case ELOOP:
        return "calea are prea multe legaturi simbolice";
    case EMFILE:
    case ENFILE:
        return "sunt deschise prea multe fisiere";
    case ENOMEM:
        return "memoria nu ajunge";
    case EXDEV:
        return "fisierul nu poate fi mutat pe alt disc";
    case EAGAIN:
        return "resursa este ocupata; incercati din nou";
    case EINTR:
        return "operatia a fost intrerupta";
    case ENXIO:
    case ENODEV:
        return "dispozitivul nu exista";
    case ENOTEMPTY:
        return "dosarul nu este gol";
    case ESTALE:
    case ENOTCONN:
    case ETIMEDOUT:
    case EHOSTUNREACH:
    case ENETUNREACH:
    case ECONNREFUSED:
        return "discul din retea nu raspunde";
    case EINVAL:
        return "operatia nu se poate face cu acest fisier";
    default:
        // Every other error the system may give, said in general, its number kept for whoever
        // looks further.
        return "eroare a sistemului (" + std::to_string(errnum) + ")";
    }
}

std::string EngineReason(const CEngineException& failure) {
    if (failure.SystemError() != 0) {
        return SystemReason(failure.SystemError());
    }
    switch (failure.Failure()) {
    case EngineFailure::NotFound:
        return "fisierul nu exista sau nu poate fi citit";
    case EngineFailure::NotACatalogue:
        return "fisierul nu este un catalog sau este deteriorat";
    case EngineFailure::NotRegularFile:
        return "nu este un fisier obisnuit";
    case EngineFailure::Busy:
        return "fisierul este blocat de alt program; incercati din nou";
    case EngineFailure::ReadOnly:
        return "fisierul poate fi doar citit";
    case EngineFailure::DiskFull:
        return "discul este plin";
    case EngineFailure::InputOutput:
        return "discul nu a putut fi citit sau scris";
    case EngineFailure::ForeignSchema:
        return RomanianReason(failure.what());
    case EngineFailure::Refused:
        return RefusedValueReason(failure.what());
    case EngineFailure::Other:
        break;
    }
    return RomanianReason(failure.what());
}

std::string RomanianReason(const std::string& reason) {
    for (const LeadingReason& leading : kLeadingReasons) {
        const std::size_t at = reason.find(leading.english);
        if (at != std::string::npos) {
            const std::string detail = reason.substr(at + leading.english.size());
            return reason.substr(0, at) + leading.romanian +
                   (leading.detailIsReason ? RomanianReason(detail) : detail);
        }
    }
    // What comes before the reason (a file's name) stays.
    const auto replaced = [&reason](std::string_view english, const std::string& romanian) {
        return reason.substr(0, reason.size() - english.size()) + romanian;
    };
    for (int errnum : kKnownErrors) {
        const std::string_view system = std::strerror(errnum);
        if (std::string_view(reason).ends_with(system)) {
            return replaced(system, SystemReason(errnum));
        }
    }
    for (int errnum = 1; errnum < kLastErrorNumber; ++errnum) {
        const std::string_view system = std::strerror(errnum);
        if (!system.starts_with("Unknown error") && std::string_view(reason).ends_with(system)) {
            return replaced(system, SystemReason(errnum));
        }
    }
    for (const OwnReason& own : kOwnReasons) {
        if (std::string_view(reason).ends_with(own.english)) {
            return replaced(own.english, own.romanian);
        }
    }
    return reason;
}
