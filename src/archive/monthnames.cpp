#include "archive/monthnames.h"

#include <QLocale>

#include <array>

namespace zet {

namespace {
const std::array<const char16_t*, 12> kNominative = {u"Январь",   u"Февраль", u"Март",   u"Апрель",
                                                     u"Май",      u"Июнь",    u"Июль",   u"Август",
                                                     u"Сентябрь", u"Октябрь", u"Ноябрь", u"Декабрь"};
const std::array<const char16_t*, 12> kGenitive = {u"Января",   u"Февраля", u"Марта",  u"Апреля",
                                                   u"Мая",      u"Июня",    u"Июля",   u"Августа",
                                                   u"Сентября", u"Октября", u"Ноября", u"Декабря"};
} // namespace

QString monthNominative(int month) {
    if (month < 1 || month > 12)
        return {};
    return QString::fromUtf16(kNominative[month - 1]);
}

QString genitiveOf(const QString& nominative) {
    for (std::size_t i = 0; i < kNominative.size(); ++i) {
        if (nominative == QString::fromUtf16(kNominative[i]))
            return QString::fromUtf16(kGenitive[i]);
    }
    return nominative;
}

QString setMonthGenitive(const QDate& today) {
    return genitiveOf(monthNominative(today.month()));
}

QString weekdayName(const QDate& date) {
    return QLocale(QLocale::Russian, QLocale::Russia).dayName(date.dayOfWeek(), QLocale::LongFormat);
}

QString dateText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

} // namespace zet
