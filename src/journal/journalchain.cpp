#include "journal/journalchain.h"

#include "journal/journalrows.h"

#include <QCryptographicHash>
#include <QHash>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>
#include <QVariant>
#include <QtEndian>

namespace zet {

namespace {

class Fields {
public:
    explicit Fields(const char* tag) { add(QByteArray(tag)); }

    void add(const QByteArray& bytes) {
        char length[4];
        qToBigEndian(quint32(bytes.size()), length);
        m_hash.addData(QByteArrayView(length, 4));
        m_hash.addData(bytes);
    }
    void add(const QString& text) { add(text.toUtf8()); }
    void add(qint64 number) { add(QByteArray::number(number)); }
    void add(bool flag) { add(QByteArray(flag ? "1" : "0")); }
    void add(const QDateTime& time) {
        add(time.isValid() ? time.toUTC().toString(Qt::ISODateWithMs) : QString());
    }

    QByteArray result() const { return m_hash.result(); }

private:
    QCryptographicHash m_hash{QCryptographicHash::Sha256};
};

} // namespace

namespace chain {

QString linkColumns(const QString& prefix) {
    return QStringLiteral("%1chain_seq, %1prev_hash, %1row_hash").arg(prefix);
}

QByteArray answersDigest(const QList<JournalAnswer>& answers) {
    Fields f("razividerur-answers-1");
    f.add(qint64(answers.size()));
    for (const JournalAnswer& a : answers) {
        f.add(qint64(a.position));
        f.add(qint64(a.theme));
        f.add(qint64(a.questionNo));
        f.add(a.questionText);
        f.add(a.answerText);
        f.add(a.right);
        f.add(qint64(a.seconds));
        // Unknown (a row written before the journal kept it) and empty are told apart.
        f.add(a.rightAnswerText.has_value());
        f.add(a.rightAnswerText.value_or(QString()));
    }
    return f.result();
}

QString examHash(const JournalEntry& e, qint64 position, const QString& previous, const QByteArray& answers) {
    Fields f("razividerur-exam-1");
    f.add(idText(e.id));
    f.add(e.workstation);
    f.add(e.date.toString(Qt::ISODate));
    f.add(qint64(e.protocolNo));
    f.add(qint64(e.profileNo));
    f.add(e.profileName);
    f.add(e.testName);
    f.add(e.databasePath);
    f.add(e.fullName);
    f.add(qint64(e.birthYear));
    f.add(e.jobTitle);
    f.add(qint64(e.seniority));
    f.add(e.personnelNo);
    f.add(qint64(e.grade));
    f.add(qint64(e.asked));
    f.add(qint64(e.right));
    f.add(qint64(e.secondsSpent));
    f.add(e.startedAt);
    f.add(e.finishedAt);
    f.add(e.imported);
    f.add(position);
    f.add(previous);
    f.add(answers.toHex());
    return QString::fromLatin1(f.result().toHex());
}

ChainLink follow(const JournalEntry& e, const ChainLink& tail) {
    ChainLink link;
    link.position = tail.linked() ? tail.position + 1 : 1;
    link.previous = tail.linked() ? tail.hash : QString();
    link.hash = examHash(e, link.position, link.previous, answersDigest(e.answers));
    return link;
}

} // namespace chain

QString IntegrityFinding::text() const {
    QString what;
    switch (kind) {
    case Kind::Changed:
        what = QStringLiteral("изменён после записи");
        break;
    case Kind::Deleted:
        what = QStringLiteral("звено перед ним разорвано");
        break;
    case Kind::Inserted:
        what = QStringLiteral("вставлен в журнал в обход программы");
        break;
    case Kind::DayFile:
        what = QStringLiteral("запись в файле дня изменена после экзамена");
        break;
    }
    QString line = QStringLiteral("%1: рабочее место «%2», %3, протокол № %4, %5 — %6")
                       .arg(where, workstation, date.toString(QStringLiteral("dd.MM.yyyy")))
                       .arg(protocolNo)
                       .arg(fullName.isEmpty() ? QStringLiteral("(без имени)") : fullName, what);
    if (!detail.isEmpty())
        line += QStringLiteral(" (%1)").arg(detail);
    return line;
}

void IntegrityReport::add(const IntegrityReport& other) {
    checked += other.checked;
    unlinked += other.unlinked;
    dayRecords += other.dayRecords;
    findings += other.findings;
    errors += other.errors;
}

QStringList IntegrityReport::lines() const {
    QStringList out;
    out << QStringLiteral("Проверено экзаменов: %1.").arg(checked);
    if (dayRecords > 0)
        out << QStringLiteral("Сверено записей файлов дня: %1.").arg(dayRecords);
    if (unlinked > 0)
        out << QStringLiteral("Ещё не связаны в цепочку (записаны до её появления): %1.").arg(unlinked);
    out << errors;
    if (!findings.isEmpty()) {
        out << QStringLiteral("Нарушений целостности: %1.").arg(findings.size());
        for (const IntegrityFinding& f : findings)
            out << f.text();
    } else if (errors.isEmpty()) {
        out << QStringLiteral("Нарушений целостности не найдено.");
    }
    return out;
}

IntegrityReport verifyChain(QSqlDatabase db, const QString& pendingTable, const QString& where) {
    IntegrityReport report;
    auto failed = [&](const QSqlQuery& q) {
        report.errors << QStringLiteral("Не удалось прочитать %1: %2").arg(where, q.lastError().text());
        return report;
    };

    // The digest of each exam's answers as they stand now, read in one pass.
    QHash<QUuid, QByteArray> digests;
    QSqlQuery a(db);
    a.setForwardOnly(true);
    // SQLite reads its rows in the order written, which keeps each exam's answers together
    // and reads the file front to back.
    const bool local = db.driverName() == QLatin1String("QSQLITE");
    if (!a.exec(QStringLiteral("SELECT exam_id, position, theme, question_no, question_text, answer_text,"
                               " is_right, seconds, right_answer_text FROM answers ORDER BY %1")
                    .arg(local ? QStringLiteral("rowid") : QStringLiteral("exam_id, position"))))
        return failed(a);
    QUuid current;
    QString currentText;
    QList<JournalAnswer> answers;
    auto flush = [&] {
        // An exam's answers are written together; split rows were added afterwards.
        if (!current.isNull())
            digests.insert(current, digests.contains(current) ? QByteArray("split")
                                                              : chain::answersDigest(answers));
        answers.clear();
    };
    while (a.next()) {
        const QString idText = a.value(0).toString();
        if (idText != currentText) {
            flush();
            currentText = idText;
            current = QUuid::fromString(idText);
        }
        answers.append({a.value(1).toInt(), a.value(2).toInt(), a.value(3).toInt(), a.value(4).toString(),
                        a.value(5).toString(), columnFlag(a.value(6)), a.value(7).toInt(),
                        a.value(8).isNull() ? std::nullopt : std::optional<QString>(a.value(8).toString())});
    }
    flush();
    a = QSqlQuery();
    static const QByteArray kNoAnswers = chain::answersDigest({});

    const QString pending =
        pendingTable.isEmpty()
            ? QStringLiteral("1")
            : QStringLiteral("(SELECT count(*) FROM %1 p WHERE p.exam_id = exams.id)").arg(pendingTable);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1, %2, %3 FROM exams ORDER BY workstation, chain_seq")
                    .arg(examColumns(), chain::linkColumns(), pending)))
        return failed(q);
    constexpr int kLink = kExamColumnCount;
    QString workstation;
    ChainLink tail;
    bool first = true;
    while (q.next()) {
        const JournalEntry e = examFromRow(q);
        auto find = [&](IntegrityFinding::Kind kind, const QString& detail = {}) {
            report.findings.append({kind, where, e.workstation, e.date, e.protocolNo, e.fullName, detail});
        };
        if (first || e.workstation != workstation) {
            workstation = e.workstation;
            tail = {};
            first = false;
        }
        ChainLink link;
        link.position = q.value(kLink).isNull() ? 0 : q.value(kLink).toLongLong();
        link.previous = q.value(kLink + 1).toString();
        link.hash = q.value(kLink + 2).toString();
        if (!link.linked()) {
            if (q.value(kLink + 3).toInt() > 0)
                ++report.unlinked;
            else
                find(IntegrityFinding::Kind::Inserted);
            continue;
        }
        ++report.checked;
        if (chain::examHash(e, link.position, link.previous, digests.value(e.id, kNoAnswers)) != link.hash)
            find(IntegrityFinding::Kind::Changed);
        const qint64 expected = tail.linked() ? tail.position + 1 : 1;
        if (link.position < expected) {
            find(IntegrityFinding::Kind::Inserted, QStringLiteral("место %1 в цепочке уже занято").arg(link.position));
            continue; // the chain goes on from the exam that held the place first
        }
        if (link.position > expected)
            find(IntegrityFinding::Kind::Deleted, QStringLiteral("удалено экзаменов: %1").arg(link.position - expected));
        else if (link.previous != (tail.linked() ? tail.hash : QString()))
            find(IntegrityFinding::Kind::Deleted, QStringLiteral("предыдущий экзамен удалён или заменён"));
        tail = link;
    }
    return report;
}

} // namespace zet
