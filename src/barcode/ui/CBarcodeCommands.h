#pragma once

#include "barcode/BookLabel.h"

#include <QObject>
#include <vector>

class CShelfwardenView;

// The commands of books' codes: File > "Tipareste etichete...".
class CBarcodeCommands : public QObject {
    Q_OBJECT
public:
    explicit CBarcodeCommands(CShelfwardenView* view);

public slots:
    // Labels for the selected books, or all listed ones when at most one is selected.
    void OnPrintLabels();

private:
    std::vector<BookLabel> ChosenLabels() const;

    CShelfwardenView* m_pView;
};
