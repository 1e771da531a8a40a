#pragma once

#include "isbn/ScannerBurst.h"

#include <QElapsedTimer>
#include <QKeyEvent>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <memory>
#include <vector>

class QWidget;

// While installed, watches every key the program gets, in any window, dialog or message box: a
// scanner's burst (see ScannerBurst) is taken out before anything sees it and handed on as
// Scanned; what a person types reaches its widget as before, a moment later.
class CScannerFilter : public QObject {
    Q_OBJECT
public:
    explicit CScannerFilter(QObject* parent = nullptr);
    ~CScannerFilter() override;

    // Starts and stops watching the whole program's keys; keys held back go through on stop.
    void Install();
    void Remove();
    // Whether keys are held back now (tests wait for them to go through).
    static bool Holding();

signals:
    void Scanned(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct HeldKey {
        QPointer<QObject> target;
        std::unique_ptr<QKeyEvent> event;
    };
    void Release(std::size_t count);

    ScannerBurst m_burst;
    std::vector<HeldKey> m_held;
    QElapsedTimer m_clock;
    QTimer m_pause;
    bool m_installed = false;
    bool m_releasing = false;
};
