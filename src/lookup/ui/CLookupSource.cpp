#include "lookup/ui/CLookupSource.h"

CLookupSource::CLookupSource(LookupSource source, LookupEnvironment environment, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_environment(std::move(environment)) {}
