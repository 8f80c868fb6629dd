#include "formRecover.h"

#include "prompts.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>
#include <cerrno>

namespace vistrel {

TfrmRecover::TfrmRecover(TRecoveryStore& store, TPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_store(store), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmRecover"));
    setWindowTitle(QStringLiteral("Recover Unsaved Work"));
    auto* layout = new QVBoxLayout(this);
    auto* intro = new QLabel(
        QStringLiteral("Vistrel stopped before these documents were saved. Recover one to go on "
                       "with it; the others are kept until you discard them."),
        this);
    intro->setWordWrap(true);
    layout->addWidget(intro);

    lstDocuments = new QTreeWidget(this);
    lstDocuments->setObjectName(QStringLiteral("lstDocuments"));
    lstDocuments->setRootIsDecorated(false);
    lstDocuments->setHeaderLabels(
        {QStringLiteral("Document"), QStringLiteral("Frames"), QStringLiteral("Last change")});
    lstDocuments->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    lstDocuments->header()->setStretchLastSection(false);
    layout->addWidget(lstDocuments, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    btnRecover = new QPushButton(QStringLiteral("&Recover"), this);
    btnRecover->setObjectName(QStringLiteral("btnRecover"));
    btnRecover->setDefault(true);
    btnDiscard = new QPushButton(QStringLiteral("&Discard..."), this);
    btnDiscard->setObjectName(QStringLiteral("btnDiscard"));
    btnLater = new QPushButton(QStringLiteral("&Later"), this);
    btnLater->setObjectName(QStringLiteral("btnLater"));
    for (QPushButton* button : {btnRecover, btnDiscard, btnLater})
        buttons->addWidget(button);
    layout->addLayout(buttons);

    connect(btnRecover, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnDiscard, &QPushButton::clicked, this, &TfrmRecover::btnDiscardClick);
    connect(btnLater, &QPushButton::clicked, this, &QDialog::reject);
    connect(lstDocuments, &QTreeWidget::currentItemChanged, this, &TfrmRecover::UpdateButtons);
    connect(lstDocuments, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (btnRecover->isEnabled())
            accept();
    });
    resize(560, 260);
    Fill();
}

void TfrmRecover::Fill() {
    m_entries = m_store.List();
    lstDocuments->clear();
    for (const TRecoveryEntry& entry : m_entries) {
        auto* item = new QTreeWidgetItem(lstDocuments);
        if (entry.Readable) {
            item->setText(0, entry.Info.DisplayName());
            item->setText(1, QString::number(entry.FrameCount));
            item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
            item->setText(2, entry.Info.LastChange.toLocalTime().toString(
                                 QStringLiteral("yyyy-MM-dd HH:mm")));
        } else {
            // Nothing of it can be trusted but where it lies and why it is refused.
            item->setText(0, entry.FilePath);
            item->setText(2, QStringLiteral("Cannot be recovered: ") + entry.Reason);
            item->setToolTip(2, entry.Reason);
        }
    }
    // Sized to their contents with a little room, so that the count and the time
    // do not touch the columns' edges.
    const int room = 2 * lstDocuments->fontMetrics().averageCharWidth();
    for (const int column : {1, 2}) {
        lstDocuments->resizeColumnToContents(column);
        lstDocuments->setColumnWidth(column, lstDocuments->columnWidth(column) + room);
    }
    if (!m_entries.empty())
        lstDocuments->setCurrentItem(lstDocuments->topLevelItem(0));
    UpdateButtons();
}

const TRecoveryEntry* TfrmRecover::Selected() const {
    const int row = lstDocuments->indexOfTopLevelItem(lstDocuments->currentItem());
    return row >= 0 && row < static_cast<int>(m_entries.size())
               ? &m_entries[static_cast<std::size_t>(row)]
               : nullptr;
}

void TfrmRecover::UpdateButtons() {
    const TRecoveryEntry* entry = Selected();
    btnRecover->setEnabled(entry && entry->Readable);
    btnDiscard->setEnabled(entry != nullptr);
}

std::optional<TRecoveryEntry> TfrmRecover::Chosen() const {
    const TRecoveryEntry* entry = Selected();
    if (result() != Accepted || !entry || !entry->Readable)
        return std::nullopt;
    return *entry;
}

void TfrmRecover::btnDiscardClick() {
    const TRecoveryEntry* entry = Selected();
    if (!entry)
        return;
    const QString name = entry->Readable ? entry->Info.DisplayName() : entry->FilePath;
    if (m_prompts.MessageBox(QStringLiteral("Discard the unsaved work of %1?\nIt cannot be "
                                            "recovered afterwards.")
                                 .arg(name),
                             QStringLiteral("Confirm"), PromptIcon::Question,
                             PromptButtons::YesNo) != PromptButton::Yes)
        return;
    QString reason;
    const std::unique_ptr<TRecoverySlot> slot = m_store.Claim(entry->Id, &reason);
    if (!slot || !slot->Remove()) {
        if (slot)
            reason = qt_error_string(errno);
        m_prompts.MessageBox(QStringLiteral("Unable to discard %1: %2").arg(name, reason),
                             QStringLiteral("Error"), PromptIcon::Error, PromptButtons::Ok);
    }
    Fill();
    // Nothing left to decide about.
    if (m_entries.empty())
        reject();
}

} // namespace vistrel
