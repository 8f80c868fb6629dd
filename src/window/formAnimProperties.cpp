#include "formAnimProperties.h"

#include "frameStrip.h"
#include "prompts.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <algorithm>

namespace vistrel {

namespace {

constexpr QSize ClientSize(345, 282);
constexpr QRect PagesRect(8, 8, 329, 233);
// The row as laid out for the classic 8-point dialog font; a larger font pushes
// the controls right instead of cutting the caption.
constexpr QPoint RepeatLabelPosition(16, 16);
constexpr QRect RepeatEditRect(96, 11, 32, 21);
constexpr QSize RepeatUpDownSize(15, 21);
constexpr int TimesLabelGap = 6;
constexpr int RowGap = 4;
constexpr QRect BevelRect(8, 44, 305, 2);
constexpr QSize ButtonSize(75, 25);
constexpr int ButtonTop = 249;

constexpr char32_t InfinityCode = 0x221E;

// A font that draws the infinity sign: the edit's own when it has the sign,
// else the first family that does.
QFont InfinityFont(const QFont& base) {
    if (QFontMetrics(base).inFontUcs4(InfinityCode))
        return base;
    for (const QString& family : QFontDatabase::families()) {
        QFont candidate(base);
        candidate.setFamilies({family});
        if (QFontMetrics(candidate).inFontUcs4(InfinityCode))
            return candidate;
    }
    return base;
}

} // namespace

TfrmAnimProperties::TfrmAnimProperties(QWidget* parent, TPrompts* prompts)
    : QDialog(parent), m_prompts(prompts) {
    setObjectName(QStringLiteral("frmAnimProperties"));
    setWindowTitle(QStringLiteral("Animation Properties"));
    setFixedSize(ClientSize);

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("pgcntlAnimProperties"));
    m_pages->setGeometry(PagesRect);
    m_general = new QWidget;
    m_general->setObjectName(QStringLiteral("tbshtGeneral"));
    BuildGeneralPage(m_general);
    m_pages->addTab(m_general, QStringLiteral("General"));
    auto* vmiInfo = new QWidget;
    vmiInfo->setObjectName(QStringLiteral("tbshtVMIInfo"));
    BuildVMIInfoPage(vmiInfo);
    m_pages->setTabVisible(m_pages->addTab(vmiInfo, QStringLiteral("VMI Info")), false);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("btnOk"));
    ok->setDefault(true);
    ok->setGeometry(
        QRect(QPoint(ClientSize.width() - 2 * ButtonSize.width() - 14, ButtonTop), ButtonSize));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setGeometry(
        QRect(QPoint(ClientSize.width() - ButtonSize.width() - 8, ButtonTop), ButtonSize));
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    SetRepeatCount(1);
}

void TfrmAnimProperties::BuildGeneralPage(QWidget* page) {
    auto* label = new QLabel(QStringLiteral("Loop animation"), page);
    label->setObjectName(QStringLiteral("lblRepeatAnim"));
    label->move(RepeatLabelPosition);
    label->adjustSize();
    const int rowMiddle = RepeatEditRect.center().y();
    label->move(RepeatLabelPosition.x(), rowMiddle - label->height() / 2);

    m_edit = new QLineEdit(QStringLiteral("1"), page);
    m_edit->setObjectName(QStringLiteral("edtRepeat"));
    m_edit->setGeometry(RepeatEditRect.translated(
        std::max(0, label->geometry().right() + RowGap - RepeatEditRect.left()), 0));
    m_edit->installEventFilter(this);
    m_numberFont = m_edit->font();
    connect(m_edit, &QLineEdit::textChanged, this, &TfrmAnimProperties::edtRepeatChange);
    connect(m_edit, &QLineEdit::textEdited, this, [this] { m_userChanged = true; });

    m_upDown = new TUpDown(page);
    m_upDown->setObjectName(QStringLiteral("updnRepeat"));
    m_upDown->setGeometry(
        QRect(QPoint(m_edit->geometry().right() + 1, m_edit->y()), RepeatUpDownSize));
    // An arrow steps from the number in the field, then the edit shows the
    // stepped (and wrapped) position.
    for (QToolButton* arrow : {m_upDown->UpButton(), m_upDown->DownButton()})
        connect(arrow, &QToolButton::pressed, this, [this] { m_upDown->SetPosition(Position()); });
    connect(m_upDown, &TUpDown::Clicked, this, [this] {
        m_userChanged = true;
        m_edit->setText(QString::number(m_upDown->Position()));
        updnRepeatClick();
    });

    m_times = new QLabel(QStringLiteral("forever"), page);
    m_times->setObjectName(QStringLiteral("lblRepeatTimes"));
    m_times->adjustSize();
    m_times->move(m_upDown->geometry().right() + TimesLabelGap, label->y());

    auto* bevel = new QFrame(page);
    bevel->setObjectName(QStringLiteral("bvlGeneral1"));
    bevel->setFrameStyle(QFrame::HLine | QFrame::Sunken);
    bevel->setGeometry(BevelRect);
}

void TfrmAnimProperties::BuildVMIInfoPage(QWidget* page) {
    const std::pair<const char*, const char*> fields[] = {
        {"Description:", "edtDescription"},   {"Author:", "edtAuthor"},
        {"Downloaded:", "edtDownloaded"},     {"VMS File Name:", "edtVMSFilename"},
        {"VMU File Name:", "edtVMUFilename"}, {"VMS File Size:", "edtVMSFilesize"},
    };
    int top = 16;
    for (const auto& [caption, name] : fields) {
        auto* label = new QLabel(QLatin1String(caption), page);
        label->setGeometry(16, top, 96, 16);
        auto* field = new QLineEdit(page);
        field->setObjectName(QLatin1String(name));
        field->setReadOnly(true);
        field->setFrame(false);
        field->setGeometry(116, top - 2, 190, 20);
        top += 28;
    }
}

QString TfrmAnimProperties::InfinitySign() {
    return QString::fromUcs4(&InfinityCode, 1);
}

void TfrmAnimProperties::SetRepeatCount(std::uint8_t count) {
    m_upDown->SetPosition(count == 0 ? Forever : count);
    const QString text = QString::number(m_upDown->Position());
    if (m_edit->text() != text)
        m_edit->setText(text);
    else
        edtRepeatChange();
    m_userChanged = false;
}

int TfrmAnimProperties::Position() const {
    // Typing does not move the up-down; a number passing through on the way to
    // an out-of-range one (30 of 300) must not become the count.
    const QString text = m_edit->text();
    if (text == InfinitySign())
        return Forever;
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (isNumber && number >= TUpDown::Minimum && number <= TUpDown::Maximum)
        return number;
    return m_upDown->Position();
}

std::optional<std::uint8_t> TfrmAnimProperties::ChangedRepeatCount() const {
    if (!m_userChanged)
        return std::nullopt;
    return static_cast<std::uint8_t>(Position());
}

void TfrmAnimProperties::accept() {
    const QString text = m_edit->text();
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if (text != InfinitySign() &&
        !(isNumber && number >= TUpDown::Minimum && number <= TUpDown::Maximum)) {
        if (m_prompts)
            m_prompts->MessageBox(
                QStringLiteral("Invalid loop count - must be between %1 and %2 (%2 loops "
                               "forever).")
                    .arg(TUpDown::Minimum)
                    .arg(TUpDown::Maximum),
                QStringLiteral("Error"), PromptIcon::Error, PromptButtons::Ok);
        m_edit->setFocus();
        m_edit->selectAll();
        return;
    }
    QDialog::accept();
}

void TfrmAnimProperties::edtRepeatChange() {
    const QString text = m_edit->text();
    if (text.isEmpty()) {
        // Runs this handler again with the "1".
        m_edit->setText(QStringLiteral("1"));
        return;
    }
    bool isNumber = false;
    const int number = text.toInt(&isNumber);
    if ((isNumber && number == Forever) || text == InfinitySign()) {
        if (!m_infinityFont)
            m_infinityFont = InfinityFont(m_numberFont);
        m_edit->setFont(*m_infinityFont);
        if (text != InfinitySign())
            m_edit->setText(InfinitySign());
        m_times->setText(QStringLiteral("forever"));
        return;
    }
    m_edit->setFont(m_numberFont);
    m_times->setText(isNumber && number == 1 ? QStringLiteral("time") : QStringLiteral("times"));
}

bool TfrmAnimProperties::edtRepeatKeyPress(const QString& typed, int key) {
    if (key == Qt::Key_Backspace || typed.isEmpty() || !typed.front().isPrint())
        return true;
    return typed.size() == 1 && typed.front() >= QLatin1Char('0') &&
           typed.front() <= QLatin1Char('9');
}

void TfrmAnimProperties::updnRepeatClick() {
    // Whatever had the keyboard gives it up, so Enter and Escape reach the
    // dialog's buttons.
    if (QWidget* focused = focusWidget())
        focused->clearFocus();
}

void TfrmAnimProperties::FormActivate() {
    m_pages->setCurrentWidget(m_general);
    // The count is what the dialog is for: typing replaces it at once.
    m_edit->setFocus();
    m_edit->selectAll();
}

void TfrmAnimProperties::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    FormActivate();
}

bool TfrmAnimProperties::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_edit && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (!edtRepeatKeyPress(key->text(), key->key()))
            return true;
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace vistrel
