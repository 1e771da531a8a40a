#pragma once

#include "lookup/ui/CWebSource.h"

// Google Books, asked with the user's key, which its terms want.
class CGoogleBooksSource : public CWebSource {
    Q_OBJECT
public:
    CGoogleBooksSource(LookupSource source, LookupEnvironment environment, QObject* parent);
    void Ask(const QString& isbn13) override;

private:
    // Tells what `json` says of the book; false when it cannot be read.
    bool Tell(const QString& isbn13, const QByteArray& json);
};
