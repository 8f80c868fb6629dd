#pragma once

#include "recoveryStore.h"
#include "unitAnimation.h"

#include <QByteArray>
#include <QFile>
#include <optional>

namespace vistrel::testing {

// Sets (or, given nothing, unsets) an environment variable while it lives.
class ScopedVariable {
public:
    ScopedVariable(const char* name, const std::optional<QString>& value)
        : m_name(name), m_old(qgetenv(name)), m_wasSet(qEnvironmentVariableIsSet(name)) {
        if (value)
            qputenv(name, QFile::encodeName(*value));
        else
            qunsetenv(name);
    }
    ~ScopedVariable() {
        if (m_wasSet)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }
    ScopedVariable(const ScopedVariable&) = delete;
    ScopedVariable& operator=(const ScopedVariable&) = delete;

private:
    const char* m_name;
    QByteArray m_old;
    bool m_wasSet;
};

// Leaves a document in the store as a Vistrel that stopped would: written, its
// lock let go. Returns its ID.
inline QString LeaveDocument(TRecoveryStore& store, const TAnimation& animation,
                             const TRecoveryInfo& info) {
    const std::unique_ptr<TRecoverySlot> slot = store.Create();
    if (!slot || !slot->Write(RecoveryFileBytes(animation, info)))
        return {};
    return slot->Id();
}

} // namespace vistrel::testing
