#pragma once

#include <QString>
#include <optional>

namespace vistrel {

class IDocumentLifecycleHost;
class TAnimation;
class TDocument;

// New, Open, Save, Save As and Close of the one document, with the questions
// they ask: save changes first, under which name, replace which file. Every
// way the document is replaced (New, Open, Reopen, a name on the command line,
// a recovered document) passes here, so each one halts the player, forgets the
// undo history and keeps the Reopen lists the same way.
class TDocumentLifecycle {
public:
    TDocumentLifecycle(TDocument& document, IDocumentLifecycleHost& host);
    TDocumentLifecycle(const TDocumentLifecycle&) = delete;
    TDocumentLifecycle& operator=(const TDocumentLifecycle&) = delete;

    // A new untitled document of one blank frame, numbered after the last one.
    void New();
    // Replaces the document with the file name, or with the file the user picks
    // when name is empty. A file that cannot be read leaves the document closed.
    void Open(const QString& name);
    // Writes the document as an LCD file, under a name the user picks when
    // askName is set or the document has none. False when nothing was written:
    // the dialog was cancelled, a replace refused, or the write failed.
    bool Save(bool askName);
    // Closes the document after the save question; false when the user kept it.
    bool Close();
    // Before the document goes: asks whether to save a modified one and
    // remembers its file among the recently opened. False when it must stay
    // (Cancel, or Yes and then no save).
    bool CloseQuery();
    // The save question alone: true when the document may go.
    bool PromptSaveChanges();
    // The open dialog, in the folder of the document's file.
    std::optional<QString> AskOpenName();

    // Replaces the document with one kept from a session that ended without
    // saving: recovered's frames move into it (recovered is left empty), under
    // fileName, or untitled with untitledNumber when fileName is empty. It
    // opens modified, as it was, and the recent lists are not touched. False
    // when the user kept the present document.
    bool OpenRecovered(TAnimation& recovered, const QString& fileName, int untitledNumber,
                       int currentFrame);

private:
    void RememberClosedDocument();
    QString AskSaveName();
    bool ConfirmReplace(const QString& fileName);
    void ShowError(const QString& text);

    TDocument& m_document;
    IDocumentLifecycleHost& m_host;
};

} // namespace vistrel
