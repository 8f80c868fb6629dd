#pragma once

#include <QDialog>
#include <cstdint>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;

namespace vistrel {

class TPrompts;
class TUpDown;

// Animation > Properties: how often the animation loops when it is played, from
// 1 to 254 times, or 255 for ever (shown as an infinity sign). The VMI Info page
// is there but its tab stays hidden.
class TfrmAnimProperties : public QDialog {
    Q_OBJECT

public:
    static constexpr std::uint8_t Forever = 255;

    // A count out of range is refused on OK with a message through prompts.
    explicit TfrmAnimProperties(QWidget* parent = nullptr, TPrompts* prompts = nullptr);

    // Shows a document's count. 0 (possible in a loaded file) plays for ever and is
    // shown so.
    void SetRepeatCount(std::uint8_t count);
    // The count OK takes: the typed number while it is 1..255 (the infinity sign
    // is 255), else the up-down's position, which only the arrows and
    // SetRepeatCount move.
    int Position() const;
    // Position() once the user has worked the controls; nothing while the count
    // shown is still the one SetRepeatCount gave.
    std::optional<std::uint8_t> ChangedRepeatCount() const;

    // The one-character text that stands for 255.
    static QString InfinitySign();

    void edtRepeatChange();
    // True when the key may reach the edit: Backspace, digits, and keys that type
    // no character.
    static bool edtRepeatKeyPress(const QString& typed, int key);
    void updnRepeatClick();
    void FormActivate();

    // OK: refused, with the range said, while the field holds a count out of
    // range; the field is selected for the next try.
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildGeneralPage(QWidget* page);
    void BuildVMIInfoPage(QWidget* page);

    TPrompts* m_prompts = nullptr;
    QTabWidget* m_pages = nullptr;
    QWidget* m_general = nullptr;
    QLineEdit* m_edit = nullptr;
    TUpDown* m_upDown = nullptr;
    QLabel* m_times = nullptr;
    QFont m_numberFont;
    std::optional<QFont> m_infinityFont; // found when first needed
    bool m_userChanged = false;
};

} // namespace vistrel
