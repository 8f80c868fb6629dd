#include "autosave.h"

#include <QMetaObject>

namespace vistrel {

TAutosave::TAutosave(Snapshot snapshot, Writer writer, QObject* parent)
    : QObject(parent), m_snapshot(std::move(snapshot)), m_writer(std::move(writer)) {
    m_pool.setMaxThreadCount(1);
    m_timer.setSingleShot(true);
    m_timer.setInterval(DefaultDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &TAutosave::TimeIsUp);
}

TAutosave::~TAutosave() {
    m_timer.stop();
    m_pool.waitForDone();
}

void TAutosave::DocumentChanged() {
    m_dirty = true;
    // Not restarted by later changes: a burst that never pauses is still
    // written every Delay.
    if (!m_timer.isActive())
        m_timer.start();
}

void TAutosave::TimeIsUp() {
    if (!m_dirty)
        return;
    // The bytes are taken when the worker is free, so they are the newest.
    if (m_queued > 0)
        m_writeWhenIdle = true;
    else
        StartWrite();
}

void TAutosave::StartWrite() {
    m_writeWhenIdle = false;
    m_dirty = false;
    const QByteArray bytes = m_snapshot();
    Queue([this, bytes] {
        QString reason;
        const bool written = m_writer(bytes, &reason);
        QMetaObject::invokeMethod(
            this, [this, written, reason] { emit writeFinished(written, reason); },
            Qt::QueuedConnection);
    });
}

void TAutosave::Queue(Task task) {
    ++m_queued;
    m_pool.start([this, task = std::move(task)] {
        task();
        --m_queued;
        QMetaObject::invokeMethod(this, &TAutosave::JobDone, Qt::QueuedConnection);
    });
}

void TAutosave::JobDone() {
    if (m_queued == 0 && m_writeWhenIdle && m_dirty)
        StartWrite();
}

void TAutosave::Flush() {
    if (m_dirty) {
        m_timer.stop();
        StartWrite();
    }
    m_pool.waitForDone();
}

void TAutosave::Discard(Task task) {
    m_timer.stop();
    m_dirty = false;
    m_writeWhenIdle = false;
    Queue(std::move(task));
}

} // namespace vistrel
