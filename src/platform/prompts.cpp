#include "prompts.h"

#include <QFileDialog>
#include <QFontDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace vistrel {

namespace {

QMessageBox::Icon ToQt(PromptIcon icon) {
    switch (icon) {
    case PromptIcon::Information:
        return QMessageBox::Information;
    case PromptIcon::Warning:
        return QMessageBox::Warning;
    case PromptIcon::Error:
        return QMessageBox::Critical;
    case PromptIcon::Question:
        return QMessageBox::Question;
    case PromptIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons ToQt(PromptButtons buttons) {
    switch (buttons) {
    case PromptButtons::OkCancel:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case PromptButtons::YesNo:
        return QMessageBox::Yes | QMessageBox::No;
    case PromptButtons::YesNoCancel:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case PromptButtons::Ok:
        break;
    }
    return QMessageBox::Ok;
}

} // namespace

PromptButton TWidgetPrompts::MessageBox(const QString& text, const QString& caption,
                                        PromptIcon icon, PromptButtons buttons) {
    QMessageBox box(ToQt(icon), caption, text, ToQt(buttons), m_parent);
    switch (box.exec()) {
    case QMessageBox::Yes:
        return PromptButton::Yes;
    case QMessageBox::No:
        return PromptButton::No;
    case QMessageBox::Ok:
        return PromptButton::Ok;
    default:
        // The close box and Escape answer as Cancel, or as the only button there is.
        return buttons == PromptButtons::Ok ? PromptButton::Ok : PromptButton::Cancel;
    }
}

std::optional<QString> TWidgetPrompts::InputQuery(const QString& caption, const QString& prompt,
                                                  const QString& value) {
    bool accepted = false;
    const QString text =
        QInputDialog::getText(m_parent, caption, prompt, QLineEdit::Normal, value, &accepted);
    return accepted ? std::optional<QString>(text) : std::nullopt;
}

std::optional<QString> TWidgetPrompts::OpenFileName(const TOpenFileRequest& request) {
    const QString name =
        QFileDialog::getOpenFileName(m_parent, request.title, request.fileName, request.filter);
    return name.isEmpty() ? std::nullopt : std::optional<QString>(name);
}

std::optional<QString> TWidgetPrompts::SaveFileName(const TSaveFileRequest& request) {
    QFileDialog dialog(m_parent, request.title, QString(), request.filter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(request.defaultSuffix);
    dialog.selectFile(request.fileName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return dialog.selectedFiles().constFirst();
}

std::optional<QFont> TWidgetPrompts::ChooseFont(const QFont& initial) {
    bool accepted = false;
    const QFont font = QFontDialog::getFont(&accepted, initial, m_parent);
    return accepted ? std::optional<QFont>(font) : std::nullopt;
}

bool TWidgetPrompts::ShowDialog(QDialog& dialog) {
    return dialog.exec() == QDialog::Accepted;
}

} // namespace vistrel
