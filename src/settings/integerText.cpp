#include "integerText.h"

#include <limits>

namespace vistrel {

std::optional<int> ParseInteger(const QString& text) {
    QString digits = text;
    bool negative = false;
    if (digits.startsWith(u'-') || digits.startsWith(u'+')) {
        negative = digits.startsWith(u'-');
        digits.remove(0, 1);
    }
    int base = 10;
    if (digits.startsWith(u'$')) {
        base = 16;
        digits.remove(0, 1);
    } else if (digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        digits.remove(0, 2);
    }
    if (digits.isEmpty() || digits.front() == u'-' || digits.front() == u'+')
        return std::nullopt;
    bool ok = false;
    const qint64 magnitude = digits.toLongLong(&ok, base);
    const qint64 value = negative ? -magnitude : magnitude;
    if (!ok || value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return std::nullopt;
    return static_cast<int>(value);
}

} // namespace vistrel
