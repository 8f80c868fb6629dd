#pragma once

#include "recoveryStore.h"

#include <QDialog>
#include <optional>
#include <vector>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace vistrel {

class TPrompts;

// "Recover Unsaved Work": the documents a Vistrel that stopped without saving
// left in the recovery folder, newest first, each with its name, its frames and
// the time of its last change. Recover (the default) takes the chosen one into
// the window; Discard deletes one after asking; closing the dialog keeps them
// all for the next start. A damaged or foreign file is listed with the reason it
// cannot be recovered, and goes only when the user discards it.
class TfrmRecover : public QDialog {
    Q_OBJECT
public:
    TfrmRecover(TRecoveryStore& store, TPrompts& prompts, QWidget* parent = nullptr);

    // Whether anything is left to offer.
    bool HasEntries() const { return !m_entries.empty(); }
    // The document to recover once the dialog was accepted.
    std::optional<TRecoveryEntry> Chosen() const;

    void btnDiscardClick();

    QTreeWidget* lstDocuments = nullptr;
    QPushButton* btnRecover = nullptr;
    QPushButton* btnDiscard = nullptr;
    QPushButton* btnLater = nullptr;

private:
    void Fill();
    void UpdateButtons();
    const TRecoveryEntry* Selected() const;

    TRecoveryStore& m_store;
    TPrompts& m_prompts;
    std::vector<TRecoveryEntry> m_entries;
};

} // namespace vistrel
