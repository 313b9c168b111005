// The staff list reader over files shaped like what HR systems export: CSV in Windows-1251
// and in UTF-8, an .xlsx workbook written by Python's openpyxl, each with a row to skip.

#include "model/cp1251.h"
#include "staff/stafffile.h"
#include "staff/staffxlsx.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zet;

Q_DECLARE_METATYPE(QList<zet::StaffRecord>)
Q_DECLARE_METATYPE(QList<zet::StaffSkip>)

namespace {

StaffRecord person(const QString& number, const QString& name, const QString& job, const QString& department,
                   QDate birth, QDate hire, int line) {
    return {number, name, job, department, birth, hire, line};
}

const QString kMakeWorkbook = QStringLiteral(ZET_STAFF_TEST_DATA "/make_workbook.py");

} // namespace

class StaffFileTest : public QObject {
    Q_OBJECT

private slots:
    void exports_data();
    void exports();
    void refused_data();
    void refused();
    void dates_data();
    void dates();
};

void StaffFileTest::exports_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QList<StaffRecord>>("records");
    QTest::addColumn<QList<StaffSkip>>("skipped");

    // A 1C-style export: a title line, the name in three columns, ";" and quotes, CR LF.
    const QString cp1251 = QStringLiteral(
        "Список сотрудников;;;;;;;\r\n"
        "ТАБЕЛЬНЫЙ НОМЕР;Фамилия;Имя;Отчество;Должность;Подразделение;Дата рождения;Дата приема\r\n"
        "0001;Иванов;Иван;Иванович;\"Мастер участка; 5 разряд\";\"Цех \"\"Литейный\"\"\";01.02.1980;15.06.2010\r\n"
        ";Петров;Пётр;;Слесарь;Цех 1;;\r\n"
        ";;;;;;;\r\n"
        "0003;Сидорова;Анна;;\"Инженер\r\nпо охране труда\";Отдел ОТ;5.3.1991;1.9.2020 0:00:00\r\n");
    QTest::newRow("Windows-1251, ';', a title line")
        << encodeCp1251(cp1251).bytes
        << QList<StaffRecord>{person(QStringLiteral("0001"), QStringLiteral("Иванов Иван Иванович"),
                                     QStringLiteral("Мастер участка; 5 разряд"), QStringLiteral("Цех \"Литейный\""),
                                     QDate(1980, 2, 1), QDate(2010, 6, 15), 3),
                              person(QStringLiteral("0003"), QStringLiteral("Сидорова Анна"),
                                     QStringLiteral("Инженер по охране труда"), QStringLiteral("Отдел ОТ"),
                                     QDate(1991, 3, 5), QDate(2020, 9, 1), 6)}
        << QList<StaffSkip>{{4, QStringLiteral("нет табельного номера")}};

    const QString utf8 = QStringLiteral(
        "Ф.И.О.,Табельный номер,Должность,Подразделение,Дата рождения,Дата приёма\n"
        "\"Ёлкина Мария Сергеевна\",12,\"Кладовщик, старший\",Склад,1975-12-31,2001-04-02\n"
        ",13,Водитель,Гараж,,\n"
        "Ёлкин Сергей,12,Водитель,Гараж,,\n");
    QTest::newRow("UTF-8 with a BOM, ','")
        << QByteArray("\xEF\xBB\xBF") + utf8.toUtf8()
        << QList<StaffRecord>{person(QStringLiteral("12"), QStringLiteral("Ёлкина Мария Сергеевна"),
                                     QStringLiteral("Кладовщик, старший"), QStringLiteral("Склад"),
                                     QDate(1975, 12, 31), QDate(2001, 4, 2), 2)}
        << QList<StaffSkip>{{3, QStringLiteral("нет ФИО")},
                            {4, QStringLiteral("табельный номер 12 уже был в строке 2")}};

    QTemporaryDir dir;
    const QString xlsx = dir.filePath(QStringLiteral("staff.xlsx"));
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"), {kMakeWorkbook, xlsx});
    if (!python.waitForFinished(60000) || python.exitCode() != 0) {
        qWarning("no workbook from openpyxl, the .xlsx row is left out: %s", python.readAllStandardError().constData());
        return;
    }
    QFile file(xlsx);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QTest::newRow(".xlsx by openpyxl, the sheet in another part, rich text")
        << file.readAll()
        << QList<StaffRecord>{person(QStringLiteral("1017"), QStringLiteral("Иванов Иван Иванович"),
                                     QStringLiteral("Электромонтёр"), QStringLiteral("Цех № 2"), QDate(1980, 2, 29),
                                     QDate(2015, 3, 1), 4),
                              person(QStringLiteral("00542"), QStringLiteral("Сидорова Анна Ивановна"),
                                     QStringLiteral("Оператор"), QStringLiteral("Котельная"), QDate(1991, 11, 5),
                                     QDate(2019, 9, 16), 7)}
        << QList<StaffSkip>{{5, QStringLiteral("нет табельного номера")}};
}

void StaffFileTest::exports() {
    QFETCH(QByteArray, bytes);
    QFETCH(QList<StaffRecord>, records);
    QFETCH(QList<StaffSkip>, skipped);
    StaffFile file;
    QString error;
    QVERIFY2(parseStaffBytes(bytes, file, error, parseStaffXlsx), qPrintable(error));
    QCOMPARE(file.records.size(), records.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        const StaffRecord& r = file.records[i];
        QCOMPARE(QStringList({r.personnelNo, r.fullName, r.jobTitle, r.department}),
                 QStringList({records[i].personnelNo, records[i].fullName, records[i].jobTitle, records[i].department}));
        QCOMPARE(r.birthDate, records[i].birthDate);
        QCOMPARE(r.hireDate, records[i].hireDate);
        QCOMPARE(r.line, records[i].line);
    }
    QCOMPARE(file.skipped, skipped);
}

void StaffFileTest::refused_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("message");
    QTest::newRow("no header") << QByteArray("Номер;Имя\n1;Иванов\n") << QStringLiteral("не список персонала");
    QTest::newRow("old Excel") << QByteArray("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1\0\0", 10) << QStringLiteral("(.xls)");
    QTest::newRow("broken zip") << QByteArray("PK\x03\x04garbage") << QStringLiteral("повреждена");
    QTest::newRow("missing") << QByteArray() << QStringLiteral("не найден");
    QTest::newRow("too large") << QByteArray("big") << QStringLiteral("слишком большой");
}

void StaffFileTest::refused() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("list.csv"));
    if (!bytes.isEmpty()) {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(bytes);
        if (bytes == "big")
            QVERIFY(file.resize(kMaxStaffFileBytes + 1)); // sparse, nothing is written
    }
    StaffFile result;
    QString error;
    QVERIFY(!readStaffFile(path, result, error, parseStaffXlsx));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(result.records.isEmpty());
}

void StaffFileTest::dates_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("serial");
    QTest::addColumn<bool>("system1904");
    QTest::addColumn<QDate>("expected");
    QTest::newRow("dd.MM.yyyy") << QStringLiteral(" 07.03.1988 ") << -1.0 << false << QDate(1988, 3, 7);
    QTest::newRow("yyyy-MM-dd with time") << QStringLiteral("1988-03-07T00:00:00") << -1.0 << false << QDate(1988, 3, 7);
    QTest::newRow("31 February") << QStringLiteral("31.02.1988") << -1.0 << false << QDate();
    QTest::newRow("two-digit year") << QStringLiteral("07.03.88") << -1.0 << false << QDate();
    QTest::newRow("serial 1") << QString() << 1.0 << false << QDate(1900, 1, 1);
    QTest::newRow("serial 59") << QString() << 59.0 << false << QDate(1900, 2, 28);
    QTest::newRow("serial 60, 29.02.1900") << QString() << 60.0 << false << QDate();
    QTest::newRow("serial 61") << QString() << 61.0 << false << QDate(1900, 3, 1);
    QTest::newRow("serial with time") << QString() << 45292.75 << false << QDate(2024, 1, 1);
    QTest::newRow("1904 system") << QString() << 1.0 << true << QDate(1904, 1, 2);
}

void StaffFileTest::dates() {
    QFETCH(QString, text);
    QFETCH(double, serial);
    QFETCH(bool, system1904);
    QFETCH(QDate, expected);
    QCOMPARE(serial < 0 ? parseStaffDate(text) : excelSerialDate(serial, system1904), expected);
}

QTEST_GUILESS_MAIN(StaffFileTest)
#include "tst_stafffile.moc"
