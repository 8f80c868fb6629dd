#pragma once

#include <QUndoCommand>
#include <QtGlobal>
#include <functional>
#include <memory>

namespace vistrel {

// A step that says how much memory it holds (the frames and pictures it keeps
// while they are out of the document), so that the history can be bounded by
// memory rather than by a count of steps.
class IStepSize {
public:
    virtual ~IStepSize() = default;
    virtual qsizetype HeldBytes() const = 0;
};

// What the document's history holds for each step: the step itself behind a
// proxy that calls before() first whenever the step is done or undone, and
// keeps the history's running total of held bytes up to date. While the
// history is rebuilt (quiet), the proxy changes nothing and merges with nothing.
class TStepProxy : public QUndoCommand {
public:
    struct TShared {
        std::function<void()> before;
        qsizetype bytes = 0;
        bool quiet = false;
    };

    TStepProxy(TShared& shared, std::unique_ptr<QUndoCommand> step);
    ~TStepProxy() override;

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand* other) override;

    qsizetype Bytes() const { return m_bytes; }
    // Hands the step over to a new proxy when the history is rebuilt.
    std::unique_ptr<QUndoCommand> TakeStep();

private:
    void Measure();

    TShared& m_shared;
    std::unique_ptr<QUndoCommand> m_step;
    qsizetype m_bytes = 0;
};

} // namespace vistrel
