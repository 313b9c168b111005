#include "journal/staffstore.h"

#include "journal/journalerror.h"
#include "journal/journalrows.h"
#include "journal/journalstore.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QSqlDriver>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <algorithm>

namespace zet {

namespace {

const QString kPersonColumns = QStringLiteral(
    "personnel_no, full_name, job_title, department, birth_date, hire_date, dismissed, dismissed_on");
constexpr int kWrittenColumns = 11; // kPersonColumns, updated_at, search_name, search_no
// Rows of one INSERT on the server, where each statement is a round trip: far below the
// parameters it takes in a statement. SQLite parses a statement of many rows slowly and has
// no round trip: one row, prepared once.
constexpr int kRowsPerStatement = 500;

QString folded(const QString& text) {
    return JournalStore::foldForSearch(text.simplified());
}

// A time stamp as both databases give it back, in one form.
QString stampText(const QVariant& v) {
    if (v.isNull())
        return {};
    return columnTime(v).toUTC().toString(Qt::ISODateWithMs);
}

StaffPerson personOf(const QSqlQuery& q) {
    StaffPerson p;
    p.personnelNo = q.value(0).toString();
    p.fullName = q.value(1).toString();
    p.jobTitle = q.value(2).toString();
    p.department = q.value(3).toString();
    p.birthDate = columnDate(q.value(4));
    p.hireDate = columnDate(q.value(5));
    p.dismissed = columnFlag(q.value(6));
    p.dismissedOn = columnDate(q.value(7));
    return p;
}

StaffPerson personOf(const StaffRecord& r) {
    StaffPerson p;
    p.personnelNo = r.personnelNo.trimmed();
    p.fullName = r.fullName.simplified();
    p.jobTitle = r.jobTitle.simplified();
    p.department = r.department.simplified();
    p.birthDate = r.birthDate;
    p.hireDate = r.hireDate;
    return p;
}

// An assignment selected as kind, name, profile_no, period_months.
StaffAssignment assignmentOf(const QSqlQuery& q) {
    StaffAssignment a;
    a.kind = q.value(0).toString() == QLatin1String("job") ? StaffAssignment::Kind::JobTitle
                                                           : StaffAssignment::Kind::Department;
    a.name = q.value(1).toString();
    a.profileNo = q.value(2).toInt();
    a.periodMonths = q.value(3).toInt();
    return a;
}

QString kindText(StaffAssignment::Kind kind) {
    return kind == StaffAssignment::Kind::JobTitle ? QStringLiteral("job") : QStringLiteral("department");
}

// The text just past every text that begins with prefix, in code point order.
QString pastPrefix(const QString& prefix) {
    QString past = prefix;
    past.back() = QChar(char16_t(past.back().unicode() + 1));
    return past;
}

} // namespace

int StaffPerson::seniorityOn(const QDate& today) const {
    if (!hireDate.isValid() || !today.isValid() || hireDate > today)
        return 0;
    int years = today.year() - hireDate.year();
    if (today.month() < hireDate.month() || (today.month() == hireDate.month() && today.day() < hireDate.day()))
        --years;
    return years;
}

bool StaffAssignment::appliesTo(const StaffPerson& person) const {
    return folded(name) == folded(kind == Kind::JobTitle ? person.jobTitle : person.department);
}

QStringList StaffImportReport::lines() const {
    QStringList lines{QStringLiteral("Добавлено: %1").arg(added), QStringLiteral("Изменено: %1").arg(changed),
                      QStringLiteral("Отмечено «уволен»: %1").arg(dismissed),
                      QStringLiteral("Без изменений: %1").arg(unchanged),
                      QStringLiteral("Пропущено строк: %1").arg(skipped.size())};
    for (const StaffSkip& skip : skipped)
        lines << QStringLiteral("  строка %1: %2").arg(skip.line).arg(skip.reason);
    return lines;
}

StaffStore::StaffStore(QSqlDatabase db) : m_db(std::move(db)) {}

QString StaffStore::searchName(const QString& fullName) {
    return folded(fullName);
}

bool StaffStore::server() const {
    return m_db.driver() && m_db.driver()->dbmsType() == QSqlDriver::PostgreSQL;
}

QVariant StaffStore::dateValue(const QDate& date) const {
    if (!date.isValid())
        return server() ? QVariant(QMetaType(QMetaType::QDate)) : QVariant(QMetaType(QMetaType::QString));
    return server() ? QVariant(date) : QVariant(date.toString(Qt::ISODate));
}

QVariant StaffStore::flagValue(bool flag) const {
    return server() ? QVariant(flag) : QVariant(flag ? 1 : 0);
}

QVariant StaffStore::nowValue() const {
    const QDateTime now = QDateTime::currentDateTimeUtc();
    return server() ? QVariant(now) : QVariant(now.toString(Qt::ISODateWithMs));
}

JournalResult StaffStore::failure(const QString& what, const QString& reason) const {
    return JournalResult::failure(QStringLiteral("%1: %2").arg(what, reason));
}

int StaffStore::activeCount(QString* error) const {
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("SELECT count(*) FROM staff WHERE NOT dismissed")) || !q.next()) {
        if (error)
            *error = QStringLiteral("Не удалось прочитать список персонала: %1")
                         .arg(russianDatabaseError(q.lastError(), server()));
        return -1;
    }
    return q.value(0).toInt();
}

JournalResult StaffStore::find(const QString& typed, int limit, QList<StaffPerson>& result) const {
    result.clear();
    const QString typedText = searchName(typed);
    if (typedText.isEmpty() || limit <= 0)
        return {};
    // Each index read from the typed beginning on, limit rows at most: the numbers, then the
    // names. The server compares by code point, as its indexes are made, whatever its locale.
    const QString c = server() ? QStringLiteral(" COLLATE \"C\"") : QString();
    for (const char* column : {"search_no", "search_name"}) {
        QSqlQuery q(m_db);
        q.setForwardOnly(true);
        q.prepare(QStringLiteral("SELECT %1 FROM staff WHERE NOT dismissed AND %2%3 >= ? AND %2%3 < ?"
                                 " ORDER BY %2%3 LIMIT %4")
                      .arg(kPersonColumns, QLatin1String(column), c)
                      .arg(limit));
        q.addBindValue(typedText);
        q.addBindValue(pastPrefix(typedText));
        if (!q.exec())
            return failure(QStringLiteral("Не удалось прочитать список персонала"),
                           russianDatabaseError(q.lastError(), server()));
        while (q.next()) {
            StaffPerson p = personOf(q);
            if (std::none_of(result.cbegin(), result.cend(),
                             [&p](const StaffPerson& o) { return o.personnelNo == p.personnelNo; }))
                result.append(std::move(p));
        }
    }
    std::sort(result.begin(), result.end(), [](const StaffPerson& a, const StaffPerson& b) {
        return a.fullName != b.fullName ? a.fullName < b.fullName : a.personnelNo < b.personnelNo;
    });
    if (result.size() > limit)
        result.resize(limit);
    return {};
}

std::optional<StaffPerson> StaffStore::person(const QString& personnelNo, QString* error) const {
    const QString number = personnelNo.trimmed();
    if (number.isEmpty())
        return std::nullopt;
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    q.prepare(QStringLiteral("SELECT %1 FROM staff WHERE personnel_no = ?").arg(kPersonColumns));
    q.addBindValue(number);
    if (!q.exec()) {
        if (error)
            *error = QStringLiteral("Не удалось прочитать список персонала: %1")
                         .arg(russianDatabaseError(q.lastError(), server()));
        return std::nullopt;
    }
    if (!q.next())
        return std::nullopt;
    return personOf(q);
}

JournalResult StaffStore::people(QList<StaffPerson>& result) const {
    result.clear();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM staff ORDER BY personnel_no").arg(kPersonColumns)))
        return failure(QStringLiteral("Не удалось прочитать список персонала"), russianDatabaseError(q.lastError(), server()));
    while (q.next())
        result.append(personOf(q));
    return {};
}

JournalResult StaffStore::import(const StaffFile& file, const QDate& today, StaffImportReport& report) {
    report = StaffImportReport();
    report.skipped = file.skipped;
    QList<StaffPerson> known;
    const JournalResult read = people(known);
    if (!read.ok)
        return read;
    QHash<QString, StaffPerson> before;
    for (const StaffPerson& p : std::as_const(known))
        before.insert(p.personnelNo, p);

    QList<StaffPerson> writes;
    QHash<QString, int> lineOf; // personnel number → the line it was first found on
    for (const StaffRecord& record : file.records) {
        const StaffPerson p = personOf(record);
        if (p.personnelNo.isEmpty()) {
            report.skipped.append({record.line, QStringLiteral("нет табельного номера")});
            continue;
        }
        if (const auto first = lineOf.constFind(p.personnelNo); first != lineOf.cend()) {
            report.skipped.append({record.line, QStringLiteral("табельный номер %1 уже был в строке %2")
                                                    .arg(p.personnelNo)
                                                    .arg(*first)});
            continue;
        }
        lineOf.insert(p.personnelNo, record.line);
        const auto old = before.constFind(p.personnelNo);
        if (old == before.cend())
            ++report.added;
        else if (*old != p) // differs, or comes back from «уволен»
            ++report.changed;
        else {
            ++report.unchanged;
            continue;
        }
        writes.append(p);
    }
    std::stable_sort(report.skipped.begin(), report.skipped.end(),
                     [](const StaffSkip& a, const StaffSkip& b) { return a.line < b.line; });
    if (lineOf.isEmpty()) {
        return JournalResult::failure(QStringLiteral("В списке нет ни одного человека с табельным номером; список "
                                                     "персонала не изменён."));
    }
    for (const StaffPerson& p : std::as_const(known)) {
        if (p.dismissed || lineOf.contains(p.personnelNo))
            continue;
        StaffPerson gone = p;
        gone.dismissed = true;
        gone.dismissedOn = today;
        writes.append(gone);
        ++report.dismissed;
    }
    if (!m_db.transaction())
        return failure(QStringLiteral("Список персонала не загружен"), russianDatabaseError(m_db.lastError(), server()));
    const JournalResult written = writePeople(writes, {});
    if (!written.ok || !m_db.commit()) {
        const QString reason = written.ok ? russianDatabaseError(m_db.lastError(), server()) : written.error;
        m_db.rollback();
        return failure(QStringLiteral("Список персонала не загружен"), reason);
    }
    return {};
}

JournalResult StaffStore::writePeople(const QList<StaffPerson>& people, const QList<QVariant>& stamps) {
    const QVariant now = nowValue();
    const qsizetype perStatement = server() ? kRowsPerStatement : 1;
    QSqlQuery q(m_db);
    qsizetype prepared = 0; // rows of the statement prepared in q
    for (qsizetype from = 0; from < people.size(); from += perStatement) {
        const qsizetype count = std::min<qsizetype>(perStatement, people.size() - from);
        const QStringList rows(count, QStringLiteral("(?") + QStringLiteral(",?").repeated(kWrittenColumns - 1) +
                                          QLatin1Char(')'));
        if (count != prepared) {
            prepared = count;
            q.prepare(QStringLiteral("INSERT INTO staff (%1, updated_at, search_name, search_no) VALUES %2"
                                     " ON CONFLICT (personnel_no) DO UPDATE SET full_name = excluded.full_name,"
                                     " job_title = excluded.job_title, department = excluded.department,"
                                     " birth_date = excluded.birth_date, hire_date = excluded.hire_date,"
                                     " dismissed = excluded.dismissed, dismissed_on = excluded.dismissed_on,"
                                     " updated_at = excluded.updated_at, search_name = excluded.search_name,"
                                     " search_no = excluded.search_no")
                              .arg(kPersonColumns, rows.join(QLatin1Char(','))));
        }
        for (qsizetype i = from; i < from + count; ++i) {
            const StaffPerson& p = people.at(i);
            q.addBindValue(p.personnelNo);
            q.addBindValue(p.fullName.isNull() ? QStringLiteral("") : p.fullName);
            q.addBindValue(p.jobTitle.isNull() ? QStringLiteral("") : p.jobTitle);
            q.addBindValue(p.department.isNull() ? QStringLiteral("") : p.department);
            q.addBindValue(dateValue(p.birthDate));
            q.addBindValue(dateValue(p.hireDate));
            q.addBindValue(flagValue(p.dismissed));
            q.addBindValue(dateValue(p.dismissed ? p.dismissedOn : QDate()));
            q.addBindValue(i < stamps.size() ? stamps.at(i) : now);
            q.addBindValue(searchName(p.fullName));
            q.addBindValue(searchName(p.personnelNo));
        }
        if (!q.exec())
            return JournalResult::failure(russianDatabaseError(q.lastError(), server()));
    }
    return {};
}

JournalResult StaffStore::assignments(QList<StaffAssignment>& result) const {
    result.clear();
    QSqlQuery q(m_db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT kind, name, profile_no, period_months FROM staff_assignments"
                               " ORDER BY kind DESC, name, profile_no")))
        return failure(QStringLiteral("Не удалось прочитать назначения профилей"),
                       russianDatabaseError(q.lastError(), server()));
    while (q.next())
        result.append(assignmentOf(q));
    return {};
}

namespace {

// The stored assignment of the same kind, profile and name (letter case and «ё» aside).
std::optional<StaffAssignment> sameAssignment(const QList<StaffAssignment>& stored, const StaffAssignment& wanted) {
    for (const StaffAssignment& a : stored) {
        if (a.kind == wanted.kind && a.profileNo == wanted.profileNo && folded(a.name) == folded(wanted.name))
            return a;
    }
    return std::nullopt;
}

} // namespace

JournalResult StaffStore::setAssignment(const StaffAssignment& wanted) {
    const QString name = wanted.name.simplified();
    if (name.isEmpty())
        return JournalResult::failure(wanted.kind == StaffAssignment::Kind::JobTitle
                                          ? QStringLiteral("Не указана должность.")
                                          : QStringLiteral("Не указано подразделение."));
    if (wanted.profileNo < 1 || wanted.profileNo > 20)
        return JournalResult::failure(
            QStringLiteral("Номер профиля должен быть от 1 до 20, а не %1.").arg(wanted.profileNo));
    if (wanted.periodMonths < 1 || wanted.periodMonths > kMaxPeriodMonths)
        return JournalResult::failure(QStringLiteral("Периодичность проверки должна быть от 1 до %1 месяцев, а не %2.")
                                          .arg(kMaxPeriodMonths)
                                          .arg(wanted.periodMonths));
    QList<StaffAssignment> stored;
    const JournalResult read = assignments(stored);
    if (!read.ok)
        return read;
    const std::optional<StaffAssignment> same = sameAssignment(stored, wanted);
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("INSERT INTO staff_assignments (kind, name, profile_no, period_months, updated_at)"
                             " VALUES (?, ?, ?, ?, ?) ON CONFLICT (kind, name, profile_no) DO UPDATE SET"
                             " period_months = excluded.period_months, updated_at = excluded.updated_at"));
    q.addBindValue(kindText(wanted.kind));
    q.addBindValue(same ? same->name : name);
    q.addBindValue(wanted.profileNo);
    q.addBindValue(wanted.periodMonths);
    q.addBindValue(nowValue());
    if (!q.exec())
        return failure(QStringLiteral("Назначение профиля не записано"), russianDatabaseError(q.lastError(), server()));
    return {};
}

JournalResult StaffStore::removeAssignment(const StaffAssignment& wanted) {
    QList<StaffAssignment> stored;
    const JournalResult read = assignments(stored);
    if (!read.ok)
        return read;
    const std::optional<StaffAssignment> same = sameAssignment(stored, wanted);
    if (!same)
        return JournalResult::failure(QStringLiteral("Назначения профиля %1 для «%2» нет.")
                                          .arg(wanted.profileNo)
                                          .arg(wanted.name.simplified()));
    QSqlQuery q(m_db);
    q.prepare(QStringLiteral("DELETE FROM staff_assignments WHERE kind = ? AND name = ? AND profile_no = ?"));
    q.addBindValue(kindText(same->kind));
    q.addBindValue(same->name);
    q.addBindValue(same->profileNo);
    if (!q.exec())
        return failure(QStringLiteral("Назначение профиля не удалено"), russianDatabaseError(q.lastError(), server()));
    return {};
}

QString StaffStore::revision(QString* error) const {
    QSqlQuery q(m_db);
    QStringList parts;
    for (const char* table : {"staff", "staff_assignments"}) {
        if (!q.exec(QStringLiteral("SELECT count(*), max(updated_at) FROM %1").arg(QLatin1String(table))) || !q.next()) {
            if (error)
                *error = QStringLiteral("Не удалось прочитать список персонала: %1")
                             .arg(russianDatabaseError(q.lastError(), server()));
            return {};
        }
        parts << q.value(0).toString() << stampText(q.value(1));
    }
    return parts.join(QLatin1Char('|'));
}

JournalResult StaffStore::copyFrom(const StaffStore& source) {
    QString error;
    const QString wanted = source.revision(&error);
    if (wanted.isEmpty())
        return JournalResult::failure(error);
    if (revision() == wanted)
        return {};
    // The time stamps are copied too, so that the copy's revision is the source's.
    QList<StaffPerson> people;
    QList<QVariant> stamps;
    {
        QSqlQuery q(source.m_db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT %1, updated_at FROM staff").arg(kPersonColumns)))
            return failure(QStringLiteral("Не удалось прочитать список персонала"),
                           russianDatabaseError(q.lastError(), source.server()));
        while (q.next()) {
            people.append(personOf(q));
            const QString stamp = stampText(q.value(8));
            stamps.append(server() ? QVariant(QDateTime::fromString(stamp, Qt::ISODateWithMs)) : QVariant(stamp));
        }
    }
    QList<StaffAssignment> assigned;
    QList<QVariant> assignedStamps;
    {
        QSqlQuery q(source.m_db);
        q.setForwardOnly(true);
        if (!q.exec(QStringLiteral("SELECT kind, name, profile_no, period_months, updated_at FROM staff_assignments")))
            return failure(QStringLiteral("Не удалось прочитать назначения профилей"),
                           russianDatabaseError(q.lastError(), source.server()));
        while (q.next()) {
            assigned.append(assignmentOf(q));
            const QString stamp = stampText(q.value(4));
            assignedStamps.append(server() ? QVariant(QDateTime::fromString(stamp, Qt::ISODateWithMs))
                                           : QVariant(stamp));
        }
    }
    if (!m_db.transaction())
        return failure(QStringLiteral("Копия списка персонала не обновлена"), russianDatabaseError(m_db.lastError(), server()));
    QSqlQuery q(m_db);
    bool ok = q.exec(QStringLiteral("DELETE FROM staff")) && q.exec(QStringLiteral("DELETE FROM staff_assignments"));
    QString reason = ok ? QString() : russianDatabaseError(q.lastError(), server());
    if (ok) {
        const JournalResult written = writePeople(people, stamps);
        ok = written.ok;
        reason = written.error;
    }
    if (ok) {
        q.prepare(QStringLiteral(
            "INSERT INTO staff_assignments (kind, name, profile_no, period_months, updated_at) VALUES (?, ?, ?, ?, ?)"));
        for (qsizetype i = 0; ok && i < assigned.size(); ++i) {
            q.addBindValue(kindText(assigned.at(i).kind));
            q.addBindValue(assigned.at(i).name);
            q.addBindValue(assigned.at(i).profileNo);
            q.addBindValue(assigned.at(i).periodMonths);
            q.addBindValue(assignedStamps.at(i));
            ok = q.exec();
            if (!ok)
                reason = russianDatabaseError(q.lastError(), server());
        }
    }
    if (!ok || !m_db.commit()) {
        if (ok)
            reason = russianDatabaseError(m_db.lastError(), server());
        m_db.rollback();
        return failure(QStringLiteral("Копия списка персонала не обновлена"), reason);
    }
    return {};
}

JournalResult StaffStore::fillExamDepartments(int* updated) {
    if (updated)
        *updated = 0;
    QSqlQuery q(m_db);
    if (!q.exec(QStringLiteral("UPDATE exams SET department ="
                               " (SELECT s.department FROM staff s WHERE s.personnel_no = exams.personnel_no)"
                               " WHERE department = '' AND personnel_no <> '' AND EXISTS (SELECT 1 FROM staff s"
                               " WHERE s.personnel_no = exams.personnel_no AND s.department <> '')")))
        return failure(QStringLiteral("Подразделения экзаменов не заполнены"),
                       russianDatabaseError(q.lastError(), server()));
    if (updated)
        *updated = q.numRowsAffected();
    return {};
}

} // namespace zet
