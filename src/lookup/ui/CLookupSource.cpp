#include "lookup/ui/CLookupSource.h"

#include <QCryptographicHash>

CLookupSource::CLookupSource(LookupSource source, LookupEnvironment environment, QObject* parent)
    : QObject(parent), m_source(std::move(source)), m_environment(std::move(environment)) {}

QString CLookupSource::LibraryFolder() const {
    const QByteArray hash = QCryptographicHash::hash(QByteArray::fromStdString(m_source.address),
                                                     QCryptographicHash::Sha1);
    return QStringLiteral("sources/") + QString::fromLatin1(KindWord(m_source.kind).data()) + '-' +
           QString::fromLatin1(hash.toHex().left(12));
}
