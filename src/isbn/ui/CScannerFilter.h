#pragma once

#include "isbn/ScannerBurst.h"
#include "isbn/ui/XcbKeys.h"

#include <QAbstractNativeEventFilter>
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
class CScannerFilter : public QObject, public QAbstractNativeEventFilter {
    Q_OBJECT
public:
    explicit CScannerFilter(QObject* parent = nullptr);
    ~CScannerFilter() override;

    // Starts and stops watching the whole program's keys; keys held back go through on stop.
    void Install();
    void Remove();
    // Whether keys are held back now (tests wait for them to go through).
    static bool Holding();
    // Keys typed into a window a modal dialog blocks, which Qt would drop unseen.
    bool nativeEventFilter(const QByteArray& eventType, void* message, qintptr* result) override;

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
    // Acts on the verdict for a key pressed at `time` (the X server's milliseconds; 0 when the
    // key has none, as one a test sends), which goes to `target` if it is let through.
    bool Act(char key, ulong time, QObject* target, const QKeyEvent* event);
    // No key for a while: the keys held back are let through, unless keys the program could
    // not take in time (it was busy) come now.
    void Paused();

    ScannerBurst m_burst;
    std::vector<HeldKey> m_held;
    QElapsedTimer m_clock;
    QTimer m_pause;
    QTimer m_settle;
    qint64 m_lastKey = 0;   // the last key's time, by the clock the keys come with
    qint64 m_lastTaken = 0; // when the program took it, by m_clock
    std::unique_ptr<XcbKeys> m_native;
    bool m_installed = false;
    bool m_releasing = false;
};
