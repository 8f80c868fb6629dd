#include "scriptedPrompts.h"

#include <QDialog>
#include <algorithm>
#include <gtest/gtest.h>

namespace vistrel::testing {

TScriptedPrompts::~TScriptedPrompts() {
    const auto left = [](const char* what, std::size_t count) {
        if (count > 0)
            ADD_FAILURE() << count << " " << what << " left unused: the program never asked";
    };
    left("button answer(s)", buttonAnswers.size());
    left("file answer(s)", fileAnswers.size());
    left("input answer(s)", inputAnswers.size());
    left("font answer(s)", fontAnswers.size());
    left("dialog answer(s)", dialogAnswers.size());
    for (const QString& error : expectedErrors)
        ADD_FAILURE() << "expected error never shown: " << error.toStdString();
}

PromptButton TScriptedPrompts::MessageBox(const QString& text, const QString& caption,
                                          PromptIcon icon, PromptButtons buttons) {
    messages.push_back({text, caption, icon, buttons});
    // An error box takes no scripted answer: it is declared with ExpectError.
    if (icon == PromptIcon::Error && buttons == PromptButtons::Ok) {
        const auto expected =
            std::find_if(expectedErrors.begin(), expectedErrors.end(),
                         [&](const QString& start) { return text.startsWith(start); });
        if (expected == expectedErrors.end())
            ADD_FAILURE() << "unexpected error: " << text.toStdString();
        else
            expectedErrors.erase(expected);
        return PromptButton::Ok;
    }
    if (buttonAnswers.empty()) {
        if (buttons == PromptButtons::Ok)
            return PromptButton::Ok;
        ADD_FAILURE() << "unexpected question: " << text.toStdString();
        return PromptButton::Cancel;
    }
    const PromptButton answer = buttonAnswers.front();
    buttonAnswers.pop_front();
    return answer;
}

std::optional<QString> TScriptedPrompts::InputQuery(const QString& caption, const QString& prompt,
                                                    const QString& value) {
    inputs.push_back({caption, prompt, value});
    if (inputAnswers.empty()) {
        ADD_FAILURE() << "unexpected input query: " << prompt.toStdString();
        return std::nullopt;
    }
    const std::optional<QString> answer = inputAnswers.front();
    inputAnswers.pop_front();
    return answer;
}

std::optional<QString> TScriptedPrompts::OpenFileName(const TOpenFileRequest&) {
    ++openRequests;
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected open dialog";
        return std::nullopt;
    }
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer);
}

std::optional<QString> TScriptedPrompts::SaveFileName(const TSaveFileRequest& request) {
    saveRequests.push_back({request.title, request.fileName});
    if (fileAnswers.empty()) {
        ADD_FAILURE() << "unexpected save dialog: " << request.title.toStdString();
        return std::nullopt;
    }
    const QString answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer.isEmpty() ? std::nullopt : std::optional<QString>(answer);
}

std::optional<QFont> TScriptedPrompts::ChooseFont(const QFont&) {
    ++fontRequests;
    if (fontAnswers.empty()) {
        ADD_FAILURE() << "unexpected font dialog";
        return std::nullopt;
    }
    std::optional<QFont> answer = fontAnswers.front();
    fontAnswers.pop_front();
    return answer;
}

bool TScriptedPrompts::ShowDialog(QDialog& dialog) {
    dialogs << dialog.objectName();
    if (dialogAnswers.empty()) {
        ADD_FAILURE() << "unexpected dialog: " << dialog.objectName().toStdString();
        return false;
    }
    const std::function<void(QDialog&)> answer = dialogAnswers.front();
    dialogAnswers.pop_front();
    dialog.setResult(QDialog::Rejected);
    dialog.show();
    answer(dialog);
    if (dialog.isVisible()) {
        ADD_FAILURE() << "the dialog was left open: " << dialog.objectName().toStdString();
        dialog.reject();
    }
    return dialog.result() == QDialog::Accepted;
}

QStringList TScriptedPrompts::MessageTexts() const {
    QStringList texts;
    for (const Message& message : messages)
        texts << message.text;
    return texts;
}

} // namespace vistrel::testing
