#pragma once
// Russian month and weekday names and the date text used for archive names. These are the
// Russian forms whatever the system locale, so archives keep the same names on every machine.

#include <QDate>
#include <QString>

namespace zet {

// "Январь" .. "Декабрь" for month 1..12; empty for other numbers.
QString monthNominative(int month);
// The month table lookup: the genitive of an exactly matching nominative name, else the name itself.
QString genitiveOf(const QString& nominative);
// The genitive month name for a date: the nominative name of its month looked up in the table.
QString setMonthGenitive(const QDate& today);
// Full weekday name in lower case, as the Russian locale spells it ("понедельник").
QString weekdayName(const QDate& date);
// Short date text dd.MM.yyyy ("03.12.2010").
QString dateText(const QDate& date);

} // namespace zet
