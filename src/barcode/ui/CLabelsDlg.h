#pragma once

#include "barcode/BookLabel.h"
#include "barcode/LabelSheet.h"

#include <QDialog>
#include <vector>

class CBookDatabase;
class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPagedPaintDevice;
class QSpinBox;

// File > "Tipareste etichete...": the sheet (3 x 7 or 3 x 8 on A4, or rows, columns, margins and
// gaps in millimetres), the label to start from on a half-used sheet, and the labels printed,
// previewed or written to a PDF as the list is.
class CLabelsDlg : public QDialog {
    Q_OBJECT
public:
    // `db` is the open catalogue, which a PDF may not overwrite.
    CLabelsDlg(std::vector<BookLabel> labels, const CBookDatabase& db, QWidget* parent = nullptr);

    LabelSheet Sheet() const;
    int StartAt() const;

private:
    void OnPreset(int preset);
    // A field changed by hand: the sheet is no longer a preset one.
    void OnEdited();
    void ShowSheet(const LabelSheet& sheet);
    // The size of a label, or what makes the sheet unusable; the last label to start from.
    void ShowLabelSize();
    // Tells what makes the sheet unusable; false then.
    bool SheetUsable();
    bool Paint(QPagedPaintDevice& printer) const;
    void OnPrint();
    void OnPreview();
    void OnPdf();

    std::vector<BookLabel> m_labels;
    const CBookDatabase& m_db;
    QComboBox* m_pPreset;
    QSpinBox* m_pRows;
    QSpinBox* m_pColumns;
    QDoubleSpinBox* m_pTop;
    QDoubleSpinBox* m_pBottom;
    QDoubleSpinBox* m_pLeft;
    QDoubleSpinBox* m_pRight;
    QDoubleSpinBox* m_pColumnGap;
    QDoubleSpinBox* m_pRowGap;
    QSpinBox* m_pStart;
    QLabel* m_pSize;
    bool m_showing = false; // the fields are being filled from a preset
};
