#pragma once

#include "prompts.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

namespace vistrel::testing {

// Answers the program's questions from a script, and keeps a record of every
// question asked. A question the script does not expect fails the test and is
// answered as cancelled; so does an error message the test did not declare with
// ExpectError. When the prompts go, answers never asked for and declared errors
// never shown fail the test too: the script said the program would ask.
class TScriptedPrompts : public TPrompts {
public:
    TScriptedPrompts() = default;
    TScriptedPrompts(const TScriptedPrompts&) = delete;
    TScriptedPrompts& operator=(const TScriptedPrompts&) = delete;
    ~TScriptedPrompts() override;

    struct Message {
        QString text;
        QString caption;
        PromptIcon icon;
        PromptButtons buttons;
    };
    struct SaveRequest {
        QString title;
        QString fileName;
    };
    struct Input {
        QString caption;
        QString prompt;
        QString value;
    };

    // What to answer to the next question: a button for a message box (other than
    // an error, which only has OK), a file name (empty: cancel) for a file dialog.
    std::deque<PromptButton> buttonAnswers;
    std::deque<QString> fileAnswers;
    // The text typed into the next input query, or nothing for Cancel.
    std::deque<std::optional<QString>> inputAnswers;
    // The font dialog's answers; nothing: cancelled.
    std::deque<std::optional<QFont>> fontAnswers;
    int fontRequests = 0;
    // Plays the user's part in the next dialog, shown on screen: sets its controls
    // and closes it with one of its buttons.
    std::deque<std::function<void(QDialog&)>> dialogAnswers;

    // The error messages the test expects, each one shown once, matched by the
    // start of its text (the system's reason may follow), in any order.
    QStringList expectedErrors;
    void ExpectError(const QString& textStart) { expectedErrors << textStart; }

    std::vector<Message> messages;
    std::vector<SaveRequest> saveRequests;
    std::vector<Input> inputs;
    int openRequests = 0;
    QStringList dialogs; // objectName of every dialog shown

    PromptButton MessageBox(const QString& text, const QString& caption, PromptIcon icon,
                            PromptButtons buttons) override;
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override;
    std::optional<QString> OpenFileName(const TOpenFileRequest& request) override;
    std::optional<QString> SaveFileName(const TSaveFileRequest& request) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    bool ShowDialog(QDialog& dialog) override;

    QStringList MessageTexts() const;
};

// Hands every question to prompts owned elsewhere.
class TForwardingPrompts : public TPrompts {
public:
    explicit TForwardingPrompts(TPrompts& target) : m_target(target) {}
    PromptButton MessageBox(const QString& text, const QString& caption, PromptIcon icon,
                            PromptButtons buttons) override {
        return m_target.MessageBox(text, caption, icon, buttons);
    }
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override {
        return m_target.InputQuery(caption, prompt, value);
    }
    std::optional<QString> OpenFileName(const TOpenFileRequest& request) override {
        return m_target.OpenFileName(request);
    }
    std::optional<QString> SaveFileName(const TSaveFileRequest& request) override {
        return m_target.SaveFileName(request);
    }
    std::optional<QFont> ChooseFont(const QFont& initial) override {
        return m_target.ChooseFont(initial);
    }
    bool ShowDialog(QDialog& dialog) override { return m_target.ShowDialog(dialog); }

private:
    TPrompts& m_target;
};

} // namespace vistrel::testing
