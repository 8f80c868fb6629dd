#include "pictureSequenceSource.h"

#include "pictureLoader.h"

#include <QDir>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace vistrel {

namespace {

// A base name split into its stem and the digits that end it.
struct TNumbered {
    QString Stem;
    QString Digits;
};

bool SplitNumber(const QString& base, TNumbered& split) {
    qsizetype digits = base.size();
    while (digits > 0 && base[digits - 1] >= u'0' && base[digits - 1] <= u'9')
        --digits;
    if (digits == base.size())
        return false;
    split = {base.left(digits), base.mid(digits)};
    return true;
}

// Numbers of any length compare by value: without leading zeros, the shorter is
// smaller.
int CompareNumbers(const QString& a, const QString& b) {
    const auto significant = [](const QString& digits) {
        qsizetype zeros = 0;
        while (zeros < digits.size() && digits[zeros] == u'0')
            ++zeros;
        return digits.mid(zeros);
    };
    const QString x = significant(a), y = significant(b);
    if (x.size() != y.size())
        return x.size() < y.size() ? -1 : 1;
    return x.compare(y);
}

QString ShortName(const QString& fileName) {
    return QFileInfo(fileName).fileName();
}

} // namespace

QStringList SequenceFiles(const QString& fileName) {
    const QFileInfo chosen(fileName);
    TNumbered numbered;
    if (!IsPictureFileName(fileName) || !SplitNumber(chosen.completeBaseName(), numbered))
        return {};
    const QString suffix = chosen.suffix();
    struct TMember {
        QString Name;
        QString Digits;
    };
    std::vector<TMember> members;
    const QDir folder = chosen.dir();
    // Compared by hand: a stem may hold characters a name filter would take
    // for wildcards.
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files, QDir::Name)) {
        TNumbered other;
        if (entry.suffix() != suffix || !SplitNumber(entry.completeBaseName(), other) ||
            other.Stem != numbered.Stem)
            continue;
        members.push_back({entry.fileName(), other.Digits});
    }
    std::stable_sort(members.begin(), members.end(), [](const TMember& a, const TMember& b) {
        return CompareNumbers(a.Digits, b.Digits) < 0;
    });
    QStringList files;
    for (const TMember& member : members)
        files.append(folder.filePath(member.Name));
    return files;
}

TPictureSequenceSource::TPictureSequenceSource(QStringList files, double frameMs)
    : m_files(std::move(files)), m_frameMs(frameMs > 0 ? frameMs : 1000.0 / 12) {
    if (m_files.isEmpty()) {
        m_failed = true;
        m_error = QStringLiteral("the sequence has no pictures");
        return;
    }
    const TPictureLoad first = LoadPicture(m_files.front());
    if (!first.Loaded()) {
        m_failed = true;
        m_error = QStringLiteral("%1: %2").arg(ShortName(m_files.front()), first.Reason);
        return;
    }
    m_first = first.Picture;
    m_size = m_first.size();
}

qint64 TPictureSequenceSource::EndMs(int frames) const {
    return std::llround(frames * m_frameMs);
}

bool TPictureSequenceSource::Next(TSourceFrame& frame) {
    if (m_failed || !m_error.isEmpty() || m_next >= FrameCount())
        return false;
    const QString& fileName = m_files[m_next];
    QImage picture;
    if (m_next == 0 && !m_first.isNull()) {
        picture = std::move(m_first);
        m_first = QImage();
    } else {
        const TPictureLoad load = LoadPicture(fileName);
        if (!load.Loaded()) {
            m_error = QStringLiteral("%1: %2").arg(ShortName(fileName), load.Reason);
            return false;
        }
        picture = load.Picture;
    }
    if (picture.size() != m_size) {
        m_error = QStringLiteral("%1 is %2 x %3 pixels, not %4 x %5 as %6 is")
                      .arg(ShortName(fileName))
                      .arg(picture.width())
                      .arg(picture.height())
                      .arg(m_size.width())
                      .arg(m_size.height())
                      .arg(ShortName(m_files.front()));
        return false;
    }
    frame.Picture = std::move(picture);
    frame.StartMs = EndMs(m_next);
    frame.DurationMs = EndMs(m_next + 1) - frame.StartMs;
    ++m_next;
    return true;
}

bool TPictureSequenceSource::Rewind() {
    if (m_failed)
        return false;
    m_next = 0;
    m_error.clear();
    return true;
}

} // namespace vistrel
