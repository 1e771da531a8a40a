#pragma once

#include <QColor>
#include <QDialog>
#include <QString>
#include <QWidget>

struct AppSettings;
class QCheckBox;
class QLineEdit;
class QSpinBox;

// The open-at-start page: whether and which catalogue to open when the program starts, and
// whether a second click on the sorted header reverses the order.
class CPropOpenDlg : public QWidget {
    Q_OBJECT
public:
    explicit CPropOpenDlg(QWidget* parent = nullptr);

    // Fields to controls and back.
    void UpdateControls();
    void UpdateData();

    int m_nOpenAtStart = 0;
    QString m_strPath;
    int m_nReverseSort = 0;

private slots:
    void OnOpenAtStartClicked();
    void OnBrowse();

private:
    QCheckBox* m_pCheck;
    QLineEdit* m_pPath;
    QCheckBox* m_pReverseSort;
};

// An area painted in one colour, always the current one.
class CColorSwatch : public QWidget {
    Q_OBJECT
public:
    explicit CColorSwatch(QWidget* parent = nullptr);
    void SetColor(const QColor& color);
    QColor Color() const { return m_color; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_color;
};

// The colours page: the list's background and text colours.
class CPropColorsDlg : public QWidget {
    Q_OBJECT
public:
    explicit CPropColorsDlg(QWidget* parent = nullptr);

    void PaintSwatches();

    int m_nBgRed = 0, m_nBgGreen = 0, m_nBgBlue = 0;
    int m_nFgRed = 0, m_nFgGreen = 0, m_nFgBlue = 0;

private slots:
    void OnBackground();
    void OnForeground();

private:
    CColorSwatch* m_pBackground;
    CColorSwatch* m_pForeground;
};

// The backups page: whether a catalogue is copied on its first opening of a day, where the copies
// go, and how many stay.
class CPropBackupsDlg : public QWidget {
    Q_OBJECT
public:
    explicit CPropBackupsDlg(QWidget* parent = nullptr);

    void Load(const AppSettings& settings);
    void Store(AppSettings& settings) const;

private slots:
    void OnBrowse();

private:
    QCheckBox* m_pOn;
    QLineEdit* m_pFolder;
    QSpinBox* m_pDaily;
    QSpinBox* m_pMonthly;
};

// "Shelfwarden Options": the three pages, OK and Cancel.
class COptionsSheet : public QDialog {
    Q_OBJECT
public:
    explicit COptionsSheet(QWidget* parent = nullptr);

    void accept() override;

    CPropOpenDlg* m_pOpenPage;
    CPropColorsDlg* m_pColorsPage;
    CPropBackupsDlg* m_pBackupsPage;
};
