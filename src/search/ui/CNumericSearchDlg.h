#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QRadioButton;

// A single value or an inclusive range of one number column.
class CNumericSearchDlg : public QDialog {
    Q_OBJECT
public:
    explicit CNumericSearchDlg(QWidget* parent = nullptr);

    int exec() override;
    void accept() override;

    int m_nMax = 0;
    int m_nMin = 0;
    int m_nValue = 0;
    int m_nSearchKind = -1;

private slots:
    void OnSingleValue();
    void OnValueRange();

private:
    void UpdateControls();

    QRadioButton* m_pSingle;
    QRadioButton* m_pRange;
    QLineEdit* m_pValue;
    QLineEdit* m_pMin;
    QLineEdit* m_pMax;
    QLabel* m_pValueLabel;
    QLabel* m_pMinLabel;
    QLabel* m_pMaxLabel;
};
