#pragma once

#include <QFont>
#include <QString>
#include <optional>

class QDialog;
class QWidget;

namespace vistrel {

enum class PromptIcon { None, Information, Warning, Error, Question };

enum class PromptButton { Ok, Cancel, Yes, No };

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel };

struct TOpenFileRequest {
    QString title;
    QString filter; // Qt filter text: "LCD Animation (*.lcd);;All Files (*)"
    QString fileName;
};

struct TSaveFileRequest {
    QString title;
    QString filter;
    QString fileName;      // proposed name, may lack its extension
    QString defaultSuffix; // added when the chosen name has none
};

// Every question the program asks the user goes through one of these, so that
// tests can answer them with a script instead of a person.
class TPrompts {
public:
    virtual ~TPrompts() = default;

    virtual PromptButton MessageBox(const QString& text, const QString& caption, PromptIcon icon,
                                    PromptButtons buttons) = 0;
    // The text entered, or nothing when the user cancelled.
    virtual std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                              const QString& value) = 0;
    virtual std::optional<QString> OpenFileName(const TOpenFileRequest& request) = 0;
    // Asks before replacing an existing file, as the save dialog always does.
    virtual std::optional<QString> SaveFileName(const TSaveFileRequest& request) = 0;
    virtual std::optional<QFont> ChooseFont(const QFont& initial) = 0;
    // Shows one of the program's own dialogs modally; true when the user confirmed it.
    virtual bool ShowDialog(QDialog& dialog) = 0;
};

// The prompts of the running program: Qt's message boxes and dialogs.
class TWidgetPrompts : public TPrompts {
public:
    explicit TWidgetPrompts(QWidget* parent) : m_parent(parent) {}

    PromptButton MessageBox(const QString& text, const QString& caption, PromptIcon icon,
                            PromptButtons buttons) override;
    std::optional<QString> InputQuery(const QString& caption, const QString& prompt,
                                      const QString& value) override;
    std::optional<QString> OpenFileName(const TOpenFileRequest& request) override;
    std::optional<QString> SaveFileName(const TSaveFileRequest& request) override;
    std::optional<QFont> ChooseFont(const QFont& initial) override;
    bool ShowDialog(QDialog& dialog) override;

private:
    QWidget* m_parent;
};

} // namespace vistrel
