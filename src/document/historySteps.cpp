#include "historySteps.h"

namespace vistrel {

namespace {

// What a step costs beyond what it says it holds: the objects themselves.
constexpr qsizetype StepOverhead = 2 * sizeof(QUndoCommand) + 64;

// What a step and its children hold.
qsizetype HeldBy(const QUndoCommand& step) {
    qsizetype bytes = StepOverhead;
    if (const auto* sized = dynamic_cast<const IStepSize*>(&step))
        bytes += sized->HeldBytes();
    for (int i = 0; i < step.childCount(); ++i)
        bytes += HeldBy(*step.child(i));
    return bytes;
}

} // namespace

TStepProxy::TStepProxy(TShared& shared, std::unique_ptr<QUndoCommand> step)
    : QUndoCommand(step->text()), m_shared(shared), m_step(std::move(step)) {
    Measure();
}

TStepProxy::~TStepProxy() {
    m_shared.bytes -= m_bytes;
}

void TStepProxy::Measure() {
    const qsizetype bytes = HeldBy(*m_step);
    m_shared.bytes += bytes - m_bytes;
    m_bytes = bytes;
}

void TStepProxy::redo() {
    if (m_shared.quiet)
        return;
    m_shared.before();
    m_step->redo();
    setObsolete(m_step->isObsolete());
    Measure();
}

void TStepProxy::undo() {
    if (m_shared.quiet)
        return;
    m_shared.before();
    m_step->undo();
    setObsolete(m_step->isObsolete());
    Measure();
}

int TStepProxy::id() const {
    return m_shared.quiet ? -1 : m_step->id();
}

bool TStepProxy::mergeWith(const QUndoCommand* other) {
    auto* next = static_cast<const TStepProxy*>(other);
    if (!m_step->mergeWith(next->m_step.get()))
        return false;
    setText(m_step->text());
    setObsolete(m_step->isObsolete());
    Measure();
    return true;
}

std::unique_ptr<QUndoCommand> TStepProxy::TakeStep() {
    m_shared.bytes -= m_bytes;
    m_bytes = 0;
    return std::move(m_step);
}

} // namespace vistrel
