#include "formPreferences.h"

#include "prompts.h"
#include "unitPreferences.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>
#include <QVBoxLayout>

namespace vistrel {

namespace {

constexpr QSize ClientSize(239, 244);

template <typename T> T* Named(T* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TfrmPreferences::TfrmPreferences(QWidget* parent, TPrompts* prompts)
    : QDialog(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmPreferences"));
    setWindowTitle(QStringLiteral("Vistrel Preferences"));
    auto* layout = new QVBoxLayout(this);

    grpbxFileTypes = Named(new QGroupBox(QStringLiteral(" File Types "), this), "grpbxFileTypes");
    auto* fileTypes = new QVBoxLayout(grpbxFileTypes);
    chkbxRegisterLCD = Named(new QCheckBox(QStringLiteral("&Register LCD file type on startup")),
                             "chkbxRegisterLCD");
    chkbxRegisterVMS =
        Named(new QCheckBox(QStringLiteral("Register &VMI/VMS file types on startup")),
              "chkbxRegisterVMS");
    fileTypes->addWidget(chkbxRegisterLCD);
    fileTypes->addWidget(chkbxRegisterVMS);
    layout->addWidget(grpbxFileTypes);

    grpbxEditor = Named(new QGroupBox(QStringLiteral(" Editor "), this), "grpbxEditor");
    auto* editor = new QVBoxLayout(grpbxEditor);
    chkbxGrid = Named(new QCheckBox(QStringLiteral("&Display grid")), "chkbxGrid");
    editor->addWidget(chkbxGrid);
    auto* onion = new QHBoxLayout;
    const auto frameCount = [](const char* name) {
        auto* box = Named(new QSpinBox, name);
        box->setRange(0, TVMUPreferences::MaxOnionSkinFrames);
        return box;
    };
    lblOnionSkin = Named(new QLabel(QStringLiteral("&Onion skin:")), "lblOnionSkin");
    spnOnionBefore = frameCount("spnOnionBefore");
    lblOnionBefore = Named(new QLabel(QStringLiteral("before,")), "lblOnionBefore");
    spnOnionAfter = frameCount("spnOnionAfter");
    lblOnionAfter = Named(new QLabel(QStringLiteral("after")), "lblOnionAfter");
    lblOnionSkin->setBuddy(spnOnionBefore);
    spnOnionBefore->setToolTip(QStringLiteral("Frames shown before the current one"));
    spnOnionAfter->setToolTip(QStringLiteral("Frames shown after the current one"));
    onion->addWidget(lblOnionSkin);
    onion->addWidget(spnOnionBefore);
    onion->addWidget(lblOnionBefore);
    onion->addWidget(spnOnionAfter);
    onion->addWidget(lblOnionAfter);
    onion->addStretch(1);
    editor->addLayout(onion);
    chkbxOnionWrap = Named(new QCheckBox(QStringLiteral("&Wrap from the last frame to the first")),
                           "chkbxOnionWrap");
    editor->addWidget(chkbxOnionWrap);
    layout->addWidget(grpbxEditor);

    grpbxPlayer = Named(new QGroupBox(QStringLiteral(" Player "), this), "grpbxPlayer");
    auto* player = new QVBoxLayout(grpbxPlayer);
    auto* speed = new QHBoxLayout;
    lblFPS = Named(new QLabel(QStringLiteral("Playback at")), "lblFPS");
    edtFPS = Named(new QLineEdit, "edtFPS");
    edtFPS->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,4}")), edtFPS));
    edtFPS->setFixedWidth(edtFPS->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 8);
    lblFPS2 = Named(new QLabel(QStringLiteral("FPS")), "lblFPS2");
    lblFPS->setBuddy(edtFPS);
    speed->addWidget(lblFPS);
    speed->addWidget(edtFPS);
    speed->addWidget(lblFPS2);
    speed->addStretch(1);
    player->addLayout(speed);
    chkbxLoopSel = Named(new QCheckBox(QStringLiteral("Loop selection &playback")), "chkbxLoopSel");
    chkbxShowLCDBlur = Named(new QCheckBox(QStringLiteral("Show LCD blur")), "chkbxShowLCDBlur");
    player->addWidget(chkbxLoopSel);
    player->addWidget(chkbxShowLCDBlur);
    layout->addWidget(grpbxPlayer);

    layout->addStretch(1);
    auto* buttons = new QHBoxLayout;
    btnOk = Named(new QPushButton(QStringLiteral("OK")), "btnOk");
    btnOk->setDefault(true);
    btnCancel = Named(new QPushButton(QStringLiteral("Cancel")), "btnCancel");
    buttons->addStretch(1);
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancel);
    layout->addLayout(buttons);
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);

    // A fixed dialog, as large as its captions need in the desktop's font.
    setFixedSize(sizeHint().expandedTo(ClientSize));
}

void TfrmPreferences::accept() {
    bool isNumber = false;
    const int fps = edtFPS->text().toInt(&isNumber);
    if (!isNumber || fps < 1 || fps > TVMUPreferences::MaxPlayerFPS) {
        if (m_prompts)
            m_prompts->MessageBox(
                QStringLiteral("Invalid playback speed - must be between 1 and %1 FPS.")
                    .arg(TVMUPreferences::MaxPlayerFPS),
                QStringLiteral("Error"), PromptIcon::Error, PromptButtons::Ok);
        edtFPS->setFocus();
        edtFPS->selectAll();
        return;
    }
    QDialog::accept();
}

} // namespace vistrel
