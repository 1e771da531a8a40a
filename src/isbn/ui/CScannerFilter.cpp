#include "isbn/ui/CScannerFilter.h"

#include <QApplication>
#include <QWindow>

namespace {
int g_holding = 0; // keys held back by every filter, for Holding()
constexpr int kSettleMs = 20;

// The key as ScannerBurst knows it: a digit or X typed plainly, Enter, or 0 for the rest.
char KeyOf(const QKeyEvent& key) {
    const Qt::KeyboardModifiers other = key.modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier);
    if (other != Qt::NoModifier || key.isAutoRepeat()) {
        return 0;
    }
    if (key.key() == Qt::Key_Return || key.key() == Qt::Key_Enter) {
        return '\n';
    }
    const QString text = key.text();
    if (text.size() == 1 && (text[0].isDigit() || text[0] == 'X' || text[0] == 'x') &&
        text[0].unicode() < 128) {
        return static_cast<char>(text[0].unicode());
    }
    return 0;
}
} // namespace

CScannerFilter::CScannerFilter(QObject* parent) : QObject(parent) {
    m_clock.start();
    m_pause.setSingleShot(true);
    connect(&m_pause, &QTimer::timeout, this, &CScannerFilter::Paused);
    // Keys the program could not take while it was busy are waiting when it is free again; they
    // are given this long to come before what is held is let through.
    m_settle.setSingleShot(true);
    m_settle.setInterval(kSettleMs);
    connect(&m_settle, &QTimer::timeout, this,
            [this] { Release(m_burst.Pause(m_lastKey + ScannerBurst::kGapMs + 1)); });
}

void CScannerFilter::Paused() {
    const qint64 quiet = m_clock.elapsed() - m_lastTaken;
    if (quiet <= ScannerBurst::kGapMs) {
        m_pause.start(static_cast<int>(ScannerBurst::kGapMs - quiet) + 5);
    } else {
        m_settle.start();
    }
}

CScannerFilter::~CScannerFilter() {
    Remove();
}

void CScannerFilter::Install() {
    if (!m_installed) {
        qApp->installEventFilter(this);
        if (!m_native) {
            m_native = XcbKeys::OfThisDisplay();
        }
        if (m_native) {
            qApp->installNativeEventFilter(this);
        }
        m_installed = true;
    }
}

void CScannerFilter::Remove() {
    if (m_installed) {
        qApp->removeEventFilter(this);
        qApp->removeNativeEventFilter(this);
        m_installed = false;
    }
    Release(m_held.size());
}

bool CScannerFilter::Holding() {
    return g_holding > 0;
}

void CScannerFilter::Release(std::size_t count) {
    count = std::min(count, m_held.size());
    std::vector<HeldKey> going(std::make_move_iterator(m_held.begin()),
                               std::make_move_iterator(m_held.begin() + static_cast<long>(count)));
    m_held.erase(m_held.begin(), m_held.begin() + static_cast<long>(count));
    g_holding -= static_cast<int>(count);
    m_releasing = true;
    for (HeldKey& key : going) {
        if (key.target && key.event) {
            QCoreApplication::sendEvent(key.target, key.event.get());
        }
    }
    m_releasing = false;
}

bool CScannerFilter::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || m_releasing || !watched->isWidgetType()) {
        return QObject::eventFilter(watched, event);
    }
    const auto* key = static_cast<QKeyEvent*>(event);
    return Act(KeyOf(*key), key->timestamp(), watched, key) || QObject::eventFilter(watched, event);
}

bool CScannerFilter::nativeEventFilter(const QByteArray& eventType, void* message, qintptr*) {
    const auto press = m_native ? m_native->Read(eventType, message) : std::nullopt;
    QWindow* modal = QGuiApplication::modalWindow();
    if (!press || !modal) {
        return false;
    }
    for (QWindow* window : QGuiApplication::allWindows()) {
        if (window->handle() && window->winId() == press->window) {
            // Only what Qt would drop: the keys of a window the modal dialog blocks. What is let
            // through of them is dropped too, as Qt would.
            const bool blocked = window != modal && !modal->isAncestorOf(window);
            return blocked && Act(press->key, press->time, nullptr, nullptr);
        }
    }
    return false;
}

bool CScannerFilter::Act(char key, ulong time, QObject* target, const QKeyEvent* event) {
    // Keys are timed as they were typed, not as the program took them: a program busy for a
    // moment takes a scanner's keys late and all at once, and they are still one scan.
    m_lastTaken = m_clock.elapsed();
    m_lastKey = time != 0 ? static_cast<qint64>(time) : m_lastTaken;
    m_settle.stop();
    const ScannerBurst::Verdict verdict = m_burst.Key(key, m_lastKey);
    Release(verdict.release);
    switch (verdict.action) {
    case ScannerBurst::Action::Pass:
        return false;
    case ScannerBurst::Action::Hold:
        m_held.push_back({target, event ? std::make_unique<QKeyEvent>(
                                              event->type(), event->key(), event->modifiers(),
                                              event->text(), event->isAutoRepeat(), event->count())
                                        : nullptr});
        ++g_holding;
        m_pause.start(static_cast<int>(ScannerBurst::kGapMs) + 5);
        return true;
    case ScannerBurst::Action::Scan:
        g_holding -= static_cast<int>(m_held.size());
        m_held.clear();
        m_pause.stop();
        m_settle.stop();
        emit Scanned(QString::fromStdString(m_burst.TakeScan()));
        return true;
    }
    return true;
}
