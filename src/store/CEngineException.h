#pragma once

#include <stdexcept>
#include <string>

struct sqlite3;

// What kind of failure the engine met, so that the user can be told what to do about it.
enum class EngineFailure {
    Other,
    NotFound,       // no such file or folder, or it may not be read
    NotACatalogue,  // not a database file, or a damaged one
    NotRegularFile, // a folder, a FIFO, a device
    Busy,           // another program holds the file's lock
    ReadOnly,
    DiskFull,
    InputOutput,   // the system refused a read or a write
    ForeignSchema, // the file holds a trigger or view the program did not make
    Refused,       // a value broke one of the table's rules
};

// Every failure of the database engine arrives as this one exception.
class CEngineException : public std::runtime_error {
public:
    explicit CEngineException(const std::string& what, EngineFailure failure = EngineFailure::Other,
                              int systemError = 0)
        : std::runtime_error(what), m_failure(failure), m_systemError(systemError) {}

    // The connection's last error, with its kind.
    static CEngineException FromEngine(sqlite3* db, const std::string& context);

    EngineFailure Failure() const { return m_failure; }
    // The system's error number when the system refused a file, else 0.
    int SystemError() const { return m_systemError; }
    // What failed, in words for the user.
    std::string Reason() const;

private:
    EngineFailure m_failure;
    int m_systemError;
};
