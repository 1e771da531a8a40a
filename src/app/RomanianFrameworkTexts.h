#pragma once

#include <QTranslator>

// The Romanian words of the framework's own dialogs, buttons and context menus: Qt ships no
// Romanian texts of its own, and the file chooser, the Yes/No buttons and the text fields' menus
// should speak the language of a Romanian desktop. Texts it does not know stay as they are.
class RomanianFrameworkTexts : public QTranslator {
public:
    using QTranslator::QTranslator;

    QString translate(const char* context, const char* sourceText,
                      const char* disambiguation = nullptr, int n = -1) const override;
    bool isEmpty() const override { return false; }
};
