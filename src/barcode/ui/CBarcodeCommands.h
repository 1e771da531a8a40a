#pragma once

#include "barcode/BookLabel.h"

#include <QObject>
#include <QString>
#include <functional>
#include <vector>

class CShelfwardenView;

// The commands of books' codes: File > "Tipareste etichete...", Records > "Inventar...", and a
// label's code scanned into the main window (the list, or the quick filter) finding its book.
class CBarcodeCommands : public QObject {
    Q_OBJECT
public:
    // `clearFilter` empties the quick filter, which may hide the book a code names.
    CBarcodeCommands(CShelfwardenView* view, std::function<void()> clearFilter);

    // A label's code ("SW0042"): selects its book and brings it into sight, or says that no
    // book has it; false, doing nothing, for any other text.
    bool ShowBookOfCode(const QString& text);

public slots:
    // Labels for the selected books, or all listed ones when at most one is selected.
    void OnPrintLabels();
    // Records > "Inventar...": a shelf check, taken up where it was left.
    void OnInventory();

protected:
    // Keys typed into the list: a code followed by Enter finds its book instead of opening the
    // selected one.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    std::vector<BookLabel> ChosenLabels() const;
    void Status(const QString& text) const;

    CShelfwardenView* m_pView;
    std::function<void()> m_clearFilter;
    QString m_typed; // what was typed into the list since its last other key
};
