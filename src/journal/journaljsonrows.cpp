#include "journal/journaljsonrows.h"

#include <QDate>
#include <QDateTime>
#include <QVariant>

namespace zet {

namespace {

void appendJsonText(QString& out, const QString& text) {
    out += QLatin1Char('"');
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'"' || u == u'\\') {
            out += QLatin1Char('\\');
            out += c;
        } else if (u == 0) {
            continue;
        } else if (u < 0x20) {
            out += QStringLiteral("\\u%1").arg(int(u), 4, 16, QLatin1Char('0'));
        } else {
            out += c;
        }
    }
    out += QLatin1Char('"');
}

// Null as Qt SQL binds it: a null variant, a null text, an invalid day or time stamp.
bool boundAsNull(const QVariant& v) {
    if (v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString().isNull();
    case QMetaType::QDate:
        return !v.toDate().isValid();
    case QMetaType::QDateTime:
        return !v.toDateTime().isValid();
    default:
        return false;
    }
}

} // namespace

QStringList columnNames(const QString& columnList) {
    QStringList names = columnList.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (QString& name : names)
        name = name.trimmed();
    return names;
}

void appendJsonRow(QString& out, const QStringList& columns, const QVariantList& values) {
    out += QLatin1Char('{');
    for (qsizetype i = 0; i < columns.size() && i < values.size(); ++i) {
        if (i > 0)
            out += QLatin1Char(',');
        appendJsonText(out, columns.at(i));
        out += QLatin1Char(':');
        const QVariant& v = values.at(i);
        if (boundAsNull(v)) {
            out += QLatin1String("null");
            continue;
        }
        switch (v.typeId()) {
        case QMetaType::Bool:
            out += v.toBool() ? QLatin1String("true") : QLatin1String("false");
            break;
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Short:
        case QMetaType::UShort:
            out += v.toString();
            break;
        case QMetaType::QDate:
            appendJsonText(out, v.toDate().toString(Qt::ISODate));
            break;
        case QMetaType::QDateTime:
            appendJsonText(out, v.toDateTime().toUTC().toString(Qt::ISODateWithMs));
            break;
        default:
            appendJsonText(out, v.toString());
            break;
        }
    }
    out += QLatin1Char('}');
}

void JsonRows::row(const QVariantList& values) {
    if (m_rows++ > 0)
        m_text += QLatin1Char(',');
    appendJsonRow(m_text, m_columns, values);
}

} // namespace zet
