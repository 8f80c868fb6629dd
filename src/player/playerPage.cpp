#include "playerPage.h"

#include "document.h"
#include "paintBox.h"
#include "playerButtonPictures.h"
#include "playerHost.h"
#include "threadPlayer.h"
#include "unitPreferences.h"
#include "widgetColours.h"

#include <QActionGroup>
#include <QApplication>
#include <QIcon>
#include <QLayout>
#include <QMenu>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>

namespace vistrel {

namespace {

constexpr QSize ButtonSize(22, 22);
constexpr QSize ZoomButtonSize(30, 22);
constexpr int SeparatorWidth = 6;
constexpr int BuiltZoomTag = 1; // 200%

struct ZoomItem {
    const char* name;
    const char* caption;
};

// By Tag: the zoom is 2 to the power of the Tag.
constexpr ZoomItem ZoomItems[] = {
    {"mnuitmZoom100", "100% (48x32)"},
    {"mnuitmZoom200", "200% (96x64)"},
    {"mnuitmZoom400", "400% (192x128)"},
    {"mnuitmZoom800", "800% (384x256)"},
};

const QList<QPixmap>& EnabledPictures() {
    static const QList<QPixmap> list = PlayerImageList(true);
    return list;
}

const QList<QPixmap>& DisabledPictures() {
    static const QList<QPixmap> list = PlayerImageList(false);
    return list;
}

QIcon ButtonIcon(int picture) {
    QIcon icon;
    icon.addPixmap(EnabledPictures().at(picture), QIcon::Normal);
    icon.addPixmap(DisabledPictures().at(picture), QIcon::Disabled);
    return icon;
}

} // namespace

TPlayerPage::TPlayerPage(IPlayerHost& host, QWidget* parent) : QWidget(parent), m_host(host) {
    setObjectName(QStringLiteral("pnlPlayer"));
    FillBackground(this, QColor(0x80, 0x80, 0x80));

    m_window = new QWidget(this);
    m_window->setObjectName(QStringLiteral("pnlPlayerWindow"));
    FillBackground(m_window, Qt::white);
    m_box = new TPaintBox(m_window);
    m_box->setObjectName(QStringLiteral("pntbxPlayer"));
    m_box->OnPaint = [this](QPainter& painter) { pntbxPlayerPaint(painter); };
    m_window->setGeometry(0, 0, FrameWidth << BuiltZoomTag, FrameHeight << BuiltZoomTag);
    m_box->setGeometry(m_window->rect());

    m_control = new QWidget(this);
    m_control->setObjectName(QStringLiteral("pnlPlayerControl"));
    // The bar is an ordinary panel, not part of the grey stage.
    FillBackground(m_control, QApplication::palette().color(QPalette::Window));
    m_control->setGeometry(0, height() - ControlHeight, ControlWidth, ControlHeight);
    BuildZoomMenu();
    BuildToolBar();
    SetButtons(true, false);

    // A stored zoom the menu does not offer keeps the built layout and the value.
    const int storedZoom = m_host.Preferences().PlayerZoom;
    for (QAction* item : m_zoomItems->actions())
        if ((1 << item->data().toInt()) == storedZoom)
            mnuitmZoom800Click(item);
    pnlPlayerResize();
}

TPlayerPage::~TPlayerPage() {
    // The worker ends here, before the player box it paints goes away.
    EndPlayer();
}

void TPlayerPage::BuildZoomMenu() {
    m_zoomMenu = new QMenu(this);
    m_zoomMenu->setObjectName(QStringLiteral("mnuZoom"));
    m_zoomItems = new QActionGroup(this);
    m_zoomItems->setExclusive(true);
    for (int tag = 0; tag < static_cast<int>(std::size(ZoomItems)); ++tag) {
        QAction* item = m_zoomMenu->addAction(QLatin1String(ZoomItems[tag].caption));
        item->setObjectName(QLatin1String(ZoomItems[tag].name));
        item->setCheckable(true);
        item->setChecked(tag == BuiltZoomTag);
        item->setData(tag);
        m_zoomItems->addAction(item);
        connect(item, &QAction::triggered, this, [this, item] { mnuitmZoom800Click(item); });
    }
}

QToolButton* TPlayerPage::AddButton(const char* name, const QString& hint, int picture,
                                    void (TPlayerPage::*handler)()) {
    auto* button = new QToolButton(m_toolBar);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hint);
    button->setIcon(ButtonIcon(picture));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setFixedSize(ButtonSize);
    if (handler)
        connect(button, &QToolButton::clicked, this, [this, handler] { (this->*handler)(); });
    m_toolBar->addWidget(button);
    return button;
}

void TPlayerPage::BuildToolBar() {
    m_toolBar = new QToolBar(m_control);
    m_toolBar->setObjectName(QStringLiteral("tlbrPlayer"));
    m_toolBar->setMovable(false);
    m_toolBar->setFloatable(false);
    m_toolBar->setIconSize(QSize(PlayerPictureSize, PlayerPictureSize));
    m_toolBar->setContentsMargins(0, 0, 0, 0);
    // Packed tight, so that every button fits the fixed control bar whatever
    // the style's spacing.
    m_toolBar->layout()->setSpacing(0);
    m_toolBar->layout()->setContentsMargins(0, 0, 0, 0);
    m_toolBar->setGeometry(m_control->rect());

    m_play =
        AddButton("tlbtnPlay", QStringLiteral("Play"), PicturePlay, &TPlayerPage::tlbtnPlayClick);
    m_playSelection = AddButton("tlbtnPlaySelection", QStringLiteral("Play Selection"),
                                PicturePlaySelection, &TPlayerPage::tlbtnPlaySelectionClick);
    m_pause = AddButton("tlbtnPause", QStringLiteral("Pause"), PicturePause,
                        &TPlayerPage::tlbtnPauseClick);
    m_stop =
        AddButton("tlbtnStop", QStringLiteral("Stop"), PictureStop, &TPlayerPage::tlbtnStopClick);
    m_toolBar->addSeparator();
    m_first = AddButton("tlbtnFirst", QStringLiteral("First Frame"), PictureFirst,
                        &TPlayerPage::tlbtnFirstClick);
    m_prev = AddButton("tlbtnPrev", QStringLiteral("Previous Frame"), PicturePrev,
                       &TPlayerPage::tlbtnPrevClick);
    m_next = AddButton("tlbtnNext", QStringLiteral("Next Frame"), PictureNext,
                       &TPlayerPage::tlbtnNextClick);
    m_last = AddButton("tlbtnLast", QStringLiteral("Last Frame"), PictureLast,
                       &TPlayerPage::tlbtnLastClick);
    auto* gap = new QWidget(m_toolBar);
    gap->setFixedWidth(SeparatorWidth);
    m_toolBar->addWidget(gap);
    m_zoom = AddButton("tlbtnZoom", QStringLiteral("Zoom"), PictureZoom, nullptr);
    m_zoom->setFixedSize(ZoomButtonSize);
    m_zoom->setMenu(m_zoomMenu);
    // The button has no action of its own, so a click anywhere on it opens the menu.
    m_zoom->setPopupMode(QToolButton::InstantPopup);
}

void TPlayerPage::SetButtons(bool idle, bool paused) {
    m_play->setEnabled(idle);
    m_playSelection->setEnabled(idle && m_host.Document().MultipleSel());
    m_pause->setEnabled(!idle);
    m_stop->setEnabled(!idle);
    for (QToolButton* step : {m_first, m_prev, m_next, m_last})
        step->setEnabled(!idle && paused);
}

void TPlayerPage::StartPlayer(int first, int last, int passes) {
    const TAnimation& animation = m_host.Document().Animation();
    // Without frames there is nothing to play, and no player is made.
    if (m_player || animation.FrameCount() == 0)
        return;
    const TVMUPreferences& preferences = m_host.Preferences();
    m_player = std::make_unique<TPlayerThread>(animation, *m_box, preferences.PlayerTickMs());
    TPlayerThread* player = m_player.get();
    // The run is known by its number, not by the player's address: the end of a
    // run already ended by EndPlayer may arrive after a new player took that
    // address.
    connect(player, &QThread::finished, this, [this, run = ++m_run] { PlayerDone(run); });
    player->ShowBlur = preferences.ShowLCDBlur;
    SetButtons(false, false);
    player->Play(first, last, passes);
}

void TPlayerPage::tlbtnPlayClick() {
    const TAnimation& animation = m_host.Document().Animation();
    StartPlayer(0, animation.FrameCount() - 1, animation.RepeatCount);
}

void TPlayerPage::tlbtnPlaySelectionClick() {
    StartPlayer(m_host.Document().SelFirst(), m_host.Document().SelLast(),
                m_host.Preferences().LoopSelect ? TPlayerTicks::EndlessRepeats : 1);
}

void TPlayerPage::tlbtnPauseClick() {
    if (!m_player)
        return;
    m_player->Pause();
    const bool paused = m_player->State() == TPlayerThread::Paused;
    for (QToolButton* step : {m_first, m_prev, m_next, m_last})
        step->setEnabled(paused);
}

void TPlayerPage::tlbtnStopClick() {
    if (m_player)
        m_player->Stop();
}

void TPlayerPage::tlbtnFirstClick() {
    if (m_player)
        m_player->ShowFirst();
}

void TPlayerPage::tlbtnPrevClick() {
    if (m_player)
        m_player->StepBack();
}

void TPlayerPage::tlbtnNextClick() {
    if (m_player)
        m_player->StepForward();
}

void TPlayerPage::tlbtnLastClick() {
    if (m_player)
        m_player->ShowLast();
}

void TPlayerPage::PlayerDone(std::uint64_t run) {
    if (!m_player || run != m_run)
        return;
    m_player->wait();
    m_player.reset();
    SetButtons(true, false);
    m_box->update();
}

void TPlayerPage::StopPlayer() {
    if (m_player && m_player->State() != TPlayerThread::Stopped)
        m_player->Stop();
}

void TPlayerPage::EndPlayer() {
    // The player's destructor stops it and waits; a stopped worker never waits
    // for this thread, so the wait is short.
    m_player.reset();
}

void TPlayerPage::HaltPlayer() {
    if (!m_player)
        return;
    m_player->Stop();
    // The ordinary end of the run, at once; its finished() arrives later and
    // finds no run of its number.
    PlayerDone(m_run);
}

void TPlayerPage::CurrentFrameChanged() {
    if (!m_player)
        m_box->update();
}

void TPlayerPage::MultipleSelChanged(bool value) {
    // While a player exists Play Selection stays off, as the button rows say.
    m_playSelection->setEnabled(value && !m_player);
}

void TPlayerPage::pntbxPlayerPaint(QPainter& painter) {
    // Every LCD dot becomes a zoom x zoom block: no smoothing.
    const QImage& picture = m_player ? m_player->Composite() : m_host.WorkBitmap();
    if (picture.isNull())
        painter.fillRect(m_box->rect(), Qt::white);
    else
        painter.drawImage(m_box->rect(), picture);
}

void TPlayerPage::mnuitmZoom800Click(QAction* item) {
    item->setChecked(true);
    const int zoom = 1 << item->data().toInt();
    m_host.Preferences().PlayerZoom = zoom;
    const int width = FrameWidth * zoom;
    const int height = FrameHeight * zoom;
    m_window->setGeometry((this->width() - width) / 2, (m_control->y() - height) / 2, width,
                          height);
    m_box->setGeometry(m_window->rect());
}

void TPlayerPage::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    pnlPlayerResize();
}

void TPlayerPage::pnlPlayerResize() {
    // The control bar keeps to the bottom edge; both are centred across.
    m_control->move((width() - m_control->width()) / 2, height() - m_control->height());
    m_window->move((width() - m_window->width()) / 2, (m_control->y() - m_window->height()) / 2);
}

} // namespace vistrel
