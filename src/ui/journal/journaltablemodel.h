#pragma once
// The exams of the journal as a table: rows are read a page at a time as the view scrolls
// down to them (canFetchMore / fetchMore), so a journal of a million exams opens at once.

#include "journal/journalquery.h"

#include <QAbstractTableModel>

namespace zet::ui {

class JournalTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Date, Protocol, FullName, PersonnelNo, JobTitle, Department, Profile, Grade, Right, Time,
                  Workstation, ColumnCount };

    explicit JournalTableModel(JournalQuery& query, QObject* parent = nullptr);

    // Shows the exams the filter lets through, from the first page again.
    void setFilter(const JournalFilter& filter);
    const JournalFilter& filter() const { return m_filter; }
    const JournalSort& sortOrder() const { return m_sort; }
    // The sort key of a column; nullopt for a column the journal cannot be sorted by.
    static std::optional<JournalSortKey> sortKey(int column);
    // The rows read so far (rowCount()); the exam of one of them.
    const JournalRow& row(int index) const { return m_rows.at(index); }
    // The last read error, empty when the last read went well.
    QString lastError() const { return m_error; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    // Columns without a sort key keep the order shown.
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

signals:
    // A page could not be read; text is for the examiner.
    void readFailed(const QString& text);

private:
    void restart();

    JournalQuery& m_query;
    JournalFilter m_filter;
    JournalSort m_sort;
    QList<JournalRow> m_rows;
    bool m_atEnd = false;
    QString m_error;
};

} // namespace zet::ui
