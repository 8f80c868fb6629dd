// The whole-animation items of the Animation menu: the speed submenu and the
// Properties dialog.
#include "applicationTitle.h"
#include "document.h"
#include "formAnimProperties.h"
#include "frameCommands.h"
#include "frameCommandsHost.h"
#include "prompts.h"
#include "undoCommands.h"
#include "unitAnimation.h"
#include "unitAnimationSpeed.h"

#include <QAction>
#include <QMenu>
#include <iterator>
#include <vector>

namespace vistrel {

namespace {

struct SpeedItem {
    const char* name;
    const char* caption;
    int speedFactor; // 0: ask
};

constexpr SpeedItem SpeedItems[] = {
    {"mnuitmRate300", "300% (From Dream Animator)", 300},
    {"mnuitmRate200", "200%", 200},
    {"mnuitmRate150", "150%", 150},
    {"mnuitmRate75", "75%", 75},
    {"mnuitmRate50", "50%", 50},
    {"mnuitmRate33", "33% (To Dream Animator)", 33},
    {"mnuitmRate25", "25%", 25},
    {"mnuitmRate10", "10%", 10},
    {"mnuitmRateCustom", "&Custom", 0},
};

} // namespace

void TFrameCommands::BuildSpeedMenu(QMenu& menu) {
    QMenu* speed = menu.addMenu(QStringLiteral("Adjust Animation &Speed"));
    speed->setObjectName(QStringLiteral("AdjustAnimationSpeed1"));
    m_adjustSpeed = speed->menuAction();
    m_adjustSpeed->setObjectName(QStringLiteral("AdjustAnimationSpeed1"));
    for (const SpeedItem& entry : SpeedItems) {
        QAction* item = speed->addAction(QLatin1String(entry.caption));
        item->setObjectName(QLatin1String(entry.name));
        item->setData(entry.speedFactor);
        connect(item, &QAction::triggered, this, [this, item] { mnuitmRateCustomClick(item); });
        m_speedItems.push_back(item);
    }
    // The items say whether they act on the marked range or on every frame.
    connect(&m_host.Document(), &TDocument::multipleSelChanged, this,
            &TFrameCommands::ShowSpeedScope);
    ShowSpeedScope(m_host.Document().MultipleSel());
}

void TFrameCommands::ShowSpeedScope(bool range) {
    for (std::size_t i = 0; i < m_speedItems.size(); ++i) {
        const QString caption = QLatin1String(SpeedItems[i].caption);
        m_speedItems[i]->setText(range ? caption + QStringLiteral(" (Selection)") : caption);
    }
}

void TFrameCommands::mnuitmRateCustomClick(const QAction* item) {
    int speedFactor = item->data().toInt();
    // Asked until the answer is a percentage in range or the user cancels; a
    // refused answer is offered again to be corrected.
    QString offered = QStringLiteral("100%");
    while (speedFactor == 0) {
        const std::optional<QString> answer = m_host.Prompts().InputQuery(
            QLatin1String(ProgramTitle),
            QStringLiteral("Enter custom speed factor as percentage (i.e. 95%):"), offered);
        if (!answer)
            return;
        const std::optional<std::int64_t> typed = ReadSpeedFactor(*answer);
        if (typed && IsValidSpeedFactor(*typed)) {
            speedFactor = static_cast<int>(*typed);
        } else {
            ShowError(QStringLiteral("Invalid speed factor - must be between 1% and 25500%."));
            offered = *answer;
        }
    }
    if (speedFactor == UnchangedSpeedFactor || m_host.Document().Animation().FrameCount() == 0)
        return;
    const TAnimation& animation = m_host.Document().Animation();
    // With a range marked only its frames change speed.
    const bool range = m_host.Document().MultipleSel();
    if (range && ChosenFrames(true, -1).empty())
        return;
    BeforeFramesChange();
    m_host.Document().Push(new TDurationsCommand(m_host.Document(),
                                                 ScaledDurations(animation, speedFactor, range),
                                                 tr("Adjust Animation Speed")));
    m_host.RefreshTimePanels();
    m_host.RefreshFrames(false);
}

void TFrameCommands::Properties1Click() {
    TAnimation& animation = m_host.Document().Animation();
    TfrmAnimProperties dialog(m_host.DialogParent(), &m_host.Prompts());
    dialog.SetRepeatCount(animation.RepeatCount);
    if (dialog.exec() != QDialog::Accepted)
        return;
    // A count the user did not touch stays as loaded, also one the dialog cannot
    // show as it is (0).
    const std::optional<std::uint8_t> repeatCount = dialog.ChangedRepeatCount();
    if (!repeatCount || *repeatCount == animation.RepeatCount)
        return;
    m_host.Document().Push(new TRepeatCountCommand(m_host.Document(), *repeatCount));
}

} // namespace vistrel
