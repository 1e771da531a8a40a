#pragma once

#include <stdexcept>
#include <string>

// Every failure of the database engine arrives as this one exception.
class CEngineException : public std::runtime_error {
public:
    explicit CEngineException(const std::string& what) : std::runtime_error(what) {}
};
