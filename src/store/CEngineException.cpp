#include "store/CEngineException.h"

#include <sqlite3.h>

namespace {

EngineFailure FailureOfCode(int code) {
    switch (code & 0xFF) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return EngineFailure::Busy;
    case SQLITE_READONLY:
        return EngineFailure::ReadOnly;
    case SQLITE_FULL:
        return EngineFailure::DiskFull;
    case SQLITE_IOERR:
        return EngineFailure::InputOutput;
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
        return EngineFailure::NotFound;
    case SQLITE_NOTADB:
    case SQLITE_CORRUPT:
        return EngineFailure::NotACatalogue;
    case SQLITE_CONSTRAINT:
        return EngineFailure::Refused;
    default:
        return EngineFailure::Other;
    }
}

} // namespace

std::string CEngineException::Reason() const {
    switch (m_failure) {
    case EngineFailure::NotACatalogue:
        return "not a catalogue that can be opened";
    case EngineFailure::NotRegularFile:
        return "not a regular file";
    case EngineFailure::Busy:
        return "the catalogue is being written by another program; try again";
    case EngineFailure::ReadOnly:
        return "the catalogue is read-only";
    case EngineFailure::DiskFull:
        return "the disk is full";
    case EngineFailure::Refused:
        return "the catalogue refused the value";
    default:
        return what();
    }
}

CEngineException CEngineException::FromEngine(sqlite3* db, const std::string& context) {
    if (db == nullptr) {
        return CEngineException(context);
    }
    return CEngineException(context + ": " + sqlite3_errmsg(db),
                            FailureOfCode(sqlite3_extended_errcode(db)));
}
