#include "ui/journal/journaltablemodel.h"

#include <QBrush>
#include <QColor>

namespace zet::ui {

JournalTableModel::JournalTableModel(JournalQuery& query, QObject* parent)
    : QAbstractTableModel(parent), m_query(query) {}

std::optional<JournalSortKey> JournalTableModel::sortKey(int column) {
    switch (column) {
    case Date:
    case Protocol:
        return JournalSortKey::Date;
    case FullName:
        return JournalSortKey::FullName;
    case PersonnelNo:
        return JournalSortKey::PersonnelNo;
    case Profile:
        return JournalSortKey::Profile;
    case Grade:
        return JournalSortKey::Grade;
    default:
        return std::nullopt;
    }
}

void JournalTableModel::restart() {
    beginResetModel();
    m_rows.clear();
    m_atEnd = false;
    m_error.clear();
    endResetModel();
}

void JournalTableModel::setFilter(const JournalFilter& filter) {
    m_filter = filter;
    restart();
}

void JournalTableModel::sort(int column, Qt::SortOrder order) {
    const std::optional<JournalSortKey> key = sortKey(column);
    if (!key)
        return;
    const JournalSort sort{*key, order};
    if (sort == m_sort)
        return;
    m_sort = sort;
    restart();
}

int JournalTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int JournalTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

bool JournalTableModel::canFetchMore(const QModelIndex& parent) const {
    return !parent.isValid() && !m_atEnd;
}

void JournalTableModel::fetchMore(const QModelIndex& parent) {
    if (parent.isValid() || m_atEnd)
        return;
    QString error;
    const QList<JournalRow> page =
        m_query.page(m_filter, m_sort, m_rows.isEmpty() ? nullptr : &m_rows.constLast(), JournalQuery::kPageSize,
                     &error);
    // A short page is the last one; a failed read is not tried again until the list restarts.
    m_atEnd = page.size() < JournalQuery::kPageSize;
    m_error = error;
    if (!page.isEmpty()) {
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + page.size() - 1));
        m_rows.append(page);
        endInsertRows();
    }
    if (!error.isEmpty())
        emit readFailed(error);
}

QVariant JournalTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const JournalRow& r = m_rows.at(index.row());
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case Date:
            return r.date.toString(QStringLiteral("dd.MM.yyyy"));
        case Protocol:
            return r.protocolNo;
        case FullName:
            return r.fullName;
        case PersonnelNo:
            return r.personnelNo;
        case JobTitle:
            return r.jobTitle;
        case Department:
            return r.department;
        case Profile:
            return r.profileName;
        case Grade:
            return r.grade;
        case Right:
            return QStringLiteral("%1 из %2").arg(r.right).arg(r.asked);
        case Time:
            return QStringLiteral("%1:%2").arg(r.secondsSpent / 60).arg(r.secondsSpent % 60, 2, 10, QLatin1Char('0'));
        case Workstation:
            return r.workstation;
        }
    } else if (role == Qt::ForegroundRole && index.column() == Grade && r.grade <= 2) {
        return QBrush(QColor(0xc0, 0x00, 0x00));
    } else if (role == Qt::ToolTipRole && r.imported) {
        return QStringLiteral("Перенесено из архива: ответов в журнале нет");
    } else if (role == Qt::TextAlignmentRole) {
        switch (index.column()) {
        case Protocol:
        case Grade:
        case Right:
        case Time:
            return int(Qt::AlignCenter);
        default:
            return int(Qt::AlignLeft | Qt::AlignVCenter);
        }
    }
    return {};
}

QVariant JournalTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    switch (section) {
    case Date:
        return QStringLiteral("Дата");
    case Protocol:
        return QStringLiteral("№ протокола");
    case FullName:
        return QStringLiteral("Ф.И.О.");
    case PersonnelNo:
        return QStringLiteral("Табельный №");
    case JobTitle:
        return QStringLiteral("Должность");
    case Department:
        return QStringLiteral("Подразделение");
    case Profile:
        return QStringLiteral("Профиль");
    case Grade:
        return QStringLiteral("Оценка");
    case Right:
        return QStringLiteral("Верно");
    case Time:
        return QStringLiteral("Время");
    case Workstation:
        return QStringLiteral("Рабочее место");
    }
    return {};
}

} // namespace zet::ui
