#include "cliRecover.h"

#include "cliCommands.h"
#include "recoveryStore.h"
#include "unitAnimation.h"

#include <ostream>

namespace vistrel::cli {

namespace {

// A name on a tab-separated line: a tab, a line break or a backslash in it is
// written as \t, \n or \\, so every document stays one line of four fields.
std::string Field(const QString& text) {
    std::string field;
    for (const char c : Local(text)) {
        if (c == '\t')
            field += "\\t";
        else if (c == '\n')
            field += "\\n";
        else if (c == '\\')
            field += "\\\\";
        else
            field += c;
    }
    return field;
}

int List(const TRecoveryStore& store, std::ostream& out, std::ostream& err) {
    for (const TRecoveryEntry& entry : store.List()) {
        if (!entry.Readable) {
            err << "Skipped recovery file " << Local(entry.Id) << ": " << Local(entry.Reason)
                << '\n';
            continue;
        }
        out << Local(entry.Id) << '\t' << Field(entry.Info.DisplayName()) << '\t'
            << entry.FrameCount << '\t'
            << Local(entry.Info.LastChange.toLocalTime().toString(Qt::ISODate)) << '\n';
    }
    return Success;
}

int RecoverOne(TRecoveryStore& store, const QString& id, const QString& target, std::ostream& out,
               std::ostream& err) {
    if (!CheckOutputName(target, err))
        return Failure;
    QString reason;
    const std::unique_ptr<TRecoverySlot> slot = store.Claim(id, &reason);
    TAnimation animation;
    TRecoveryInfo info;
    if (!slot || !LoadRecoveryFile(slot->FilePath(), animation, info, &reason)) {
        err << "Unable to recover " << Local(id) << ": " << Local(reason) << '\n';
        return Failure;
    }
    if (SaveAnimation(animation, target, out, err) != Success)
        return Failure;
    // The work is safe in the new file.
    if (!slot->Remove())
        err << "The recovery file " << Local(slot->FilePath()) << " could not be removed\n";
    return Success;
}

} // namespace

int Recover(const QStringList& arguments, std::ostream& out, std::ostream& err) {
    TRecoveryStore store;
    if (arguments.size() < 2)
        return List(store, out, err);
    return RecoverOne(store, arguments[0], arguments[1], out, err);
}

} // namespace vistrel::cli
