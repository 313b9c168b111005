// The paperwork as files, read back by other programs: the protocol PDF by pdftotext and
// pdffonts (poppler), the .xlsx by Python's openpyxl, the .csv as text. Made through the
// commands of the command line, so their arguments are checked too.

#include "cli/commandline.h"
#include "documents/tableexport.h"
#include "documents/journaltables.h"
#include "documents/protocoldocument.h"
#include "paperwork/paperworkmodule.h"
#include "journal/journalstore.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>

#include <sys/stat.h>

using namespace zet;

namespace {

JournalEntry exam(const QString& fullName, const QString& jobTitle, const QString& personnelNo, const QDate& date,
                  int profileNo, int grade, int right, int asked) {
    JournalEntry e;
    e.id = QUuid::createUuid();
    e.workstation = QStringLiteral("Класс-1");
    e.date = date;
    e.protocolNo = 1;
    e.profileNo = profileNo;
    e.profileName = profileNo == 1 ? QStringLiteral("Электробезопасность") : QStringLiteral("Охрана труда");
    e.testName = QStringLiteral("Проверка знаний 2024");
    e.fullName = fullName;
    e.birthYear = 1985;
    e.jobTitle = jobTitle;
    e.seniority = 7;
    e.personnelNo = personnelNo;
    e.grade = grade;
    e.right = right;
    e.asked = asked;
    e.secondsSpent = 412;
    e.startedAt = QDateTime(date, QTime(9, 30), Qt::UTC);
    e.finishedAt = e.startedAt.addSecs(412);
    return e;
}

struct Run {
    int code = -1;
    QString out;
    QString err;
};

Run command(const QStringList& args) {
    Run run;
    QTextStream out(&run.out), err(&run.err);
    run.code = runCommand(args, out, err);
    return run;
}

// Output of an outside program; empty (and a failed check) when it does not run.
QString programOutput(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program == QLatin1String("python3") && QFile::exists(QStringLiteral("/usr/bin/python3")) ? QStringLiteral("/usr/bin/python3") : program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        qWarning() << program << process.readAllStandardError();
        return {};
    }
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The workbook's first sheet as openpyxl reads it: the cells with their Python types, the
// autofilter, the column widths and the number formats.
const char* const kReadWorkbook = R"(
import json, sys, datetime, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
def cell(c):
    v = c.value
    if isinstance(v, datetime.datetime): v = v.isoformat()
    return [type(c.value).__name__, v, c.number_format]
print(json.dumps({
    "title": ws.title,
    "rows": [[cell(c) for c in row] for row in ws.iter_rows()],
    "filter": ws.auto_filter.ref,
    "widths": {k: d.width for k, d in ws.column_dimensions.items()},
}, ensure_ascii=False))
)";

QJsonObject readWorkbook(const QString& path) {
    return QJsonDocument::fromJson(
               programOutput(QStringLiteral("python3"), {QStringLiteral("-c"), QString::fromLatin1(kReadWorkbook), path})
                   .toUtf8())
        .object();
}

} // namespace

class TestDocuments : public QObject {
    Q_OBJECT
    QTemporaryDir m_folder;
    QList<JournalEntry> m_exams;

    QString path(const QString& name) const { return m_folder.filePath(name); }

private slots:
    void initTestCase() {
        // The paperwork linked into the test in place of its library.
        usePaperwork(&paperworkModule());
        const QDate day(2024, 3, 5);
        m_exams = {exam(QStringLiteral("Ёлкин Пётр Сергеевич"), QStringLiteral("мастер; участок № 2"),
                        QStringLiteral("0457"), day, 1, 5, 10, 10),
                   exam(QStringLiteral("Жукова Мария Ивановна"), QStringLiteral("электромонтёр"),
                        QStringLiteral("0458"), day, 1, 2, 4, 10),
                   exam(QStringLiteral("Щукин Аркадий"), QStringLiteral("слесарь \"КИПиА\""), QString(), day, 2, 4,
                        8, 10),
                   exam(QStringLiteral("Другой День"), QStringLiteral("водитель"), QStringLiteral("0999"),
                        day.addDays(1), 1, 3, 6, 10)};
        // Protocol numbers of the day in the order of the list, as the register gives them.
        for (qsizetype i = 0; i < m_exams.size(); ++i)
            m_exams[i].protocolNo = static_cast<int>(i + 1);
        m_exams[0].department = QStringLiteral("Цех № 2");
        m_exams[1].department = QStringLiteral("Служба подстанций");
        JournalStore store(m_folder.path());
        for (const JournalEntry& e : m_exams)
            QVERIFY(store.record(e).ok);

        ProtocolSettings settings;
        settings.organisation = QStringLiteral("АО «Северная энергосеть»");
        settings.order = QStringLiteral("приказ № 15 от 10.01.2024");
        settings.chair = {QStringLiteral("Петров Павел Павлович"), QStringLiteral("главный инженер")};
        settings.members = {{QStringLiteral("Иванова Ольга Юрьевна"), QStringLiteral("инженер по охране труда")},
                            {QStringLiteral("Сидоров Степан"), QStringLiteral("начальник участка")}};
        settings.programmes = {{1, QStringLiteral("Программа № 7 «Электробезопасность, IV группа»")}};
        QVERIFY(PaperworkSettings(m_folder.path()).writeProtocol(settings).ok);
    }

    void protocolOfADay() {
        const Run run = command({QStringLiteral("protocol"), QStringLiteral("--date"), QStringLiteral("05.03.2024"),
                                 QStringLiteral("--protocol-no"), QStringLiteral("17"), QStringLiteral("--to"),
                                 path(QStringLiteral("протокол.pdf")), QStringLiteral("--folder"), m_folder.path()});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(QStringLiteral("Протокол № 17 за 05.03.2024 (экзаменов: 3)")));

        const QString layout = programOutput(QStringLiteral("pdftotext"),
                                             {QStringLiteral("-layout"), path(QStringLiteral("протокол.pdf")),
                                              QStringLiteral("-")});
        const QString text = layout.simplified();
        for (const QString& expected :
             {QStringLiteral("АО «Северная энергосеть»"), QStringLiteral("ПРОТОКОЛ ПРОВЕРКИ ЗНАНИЙ № 17"),
              QStringLiteral("Дата проверки: 05.03.2024"), QStringLiteral("приказ № 15 от 10.01.2024"),
              QStringLiteral("Петров Павел Павлович, главный инженер"),
              QStringLiteral("Иванова Ольга Юрьевна, инженер по охране труда"),
              QStringLiteral("Сидоров Степан, начальник участка"), QStringLiteral("«Электробезопасность»"),
              QStringLiteral("«Охрана труда»"), QStringLiteral("Председатель комиссии"),
              // The programme set for profile 1; profile 2 has none, its name stands in.
              QStringLiteral("Программа обучения: Программа № 7 «Электробезопасность, IV группа»"),
              QStringLiteral("Программа обучения: Охрана труда")})
            QVERIFY2(text.contains(expected), qPrintable(expected + QStringLiteral(" not in: ") + text));
        QVERIFY(!text.contains(QStringLiteral("Другой День")));
        // The footer's check code holds against the journal.
        const QRegularExpressionMatch code =
            QRegularExpression(QStringLiteral("Код проверки: (17-[A-Z2-7]{4}-[A-Z2-7]{4})")).match(text);
        QVERIFY2(code.hasMatch(), qPrintable(text));
        const Run check = command({QStringLiteral("protocol"), QStringLiteral("check"), code.captured(1),
                                   QStringLiteral("--folder"), m_folder.path()});
        QVERIFY2(check.code == 0, qPrintable(check.out + check.err));
        // One line per examinee: the name, the place of work, the personnel number, the grade,
        // right of asked, the result.
        QVERIFY2(text.contains(QStringLiteral("Место работы")), qPrintable(text));
        const QStringList lines = layout.split(QLatin1Char('\n'));
        for (const QString& row : {QStringLiteral("Ёлкин Пётр Сергеевич .* Цех № 2 +0457 +5 +10 из 10 +сдал"),
                                   QStringLiteral("Жукова Мария Ивановна .* Служба +0458 +2 +4 из 10 +не сдал"),
                                   QStringLiteral("Щукин Аркадий .* 4 +8 из 10 +сдал")}) {
            const QRegularExpression pattern(row);
            QVERIFY2(std::any_of(lines.cbegin(), lines.cend(),
                                 [&pattern](const QString& line) { return pattern.match(line).hasMatch(); }),
                     qPrintable(row + QStringLiteral(" not in:\n") + layout));
        }
        // A signature line for the chair and each member.
        for (const QString& name : {QStringLiteral("Петров Павел Павлович"), QStringLiteral("Иванова Ольга Юрьевна"),
                                    QStringLiteral("Сидоров Степан")})
            QVERIFY(QRegularExpression(QStringLiteral("_{8,} +") + name).match(layout).hasMatch());

        // Every font is embedded (column "emb" of pdffonts).
        const QStringList fonts = programOutput(QStringLiteral("pdffonts"), {path(QStringLiteral("протокол.pdf"))})
                                      .split(QLatin1Char('\n'), Qt::SkipEmptyParts)
                                      .mid(2);
        QVERIFY(!fonts.isEmpty());
        for (const QString& font : fonts)
            QVERIFY2(font.contains(QStringLiteral(" yes ")), qPrintable(font));
    }

    // Without --protocol-no the number comes from the journal's sequence, which the number set
    // by hand above moved on; the same day again keeps its number.
    void protocolNumberFromTheJournal_data() {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("requested");
        QTest::addColumn<QString>("expected"); // the number, or empty when refused
        QTest::newRow("next day, next number") << QStringLiteral("06.03.2024") << QString() << QStringLiteral("18");
        QTest::newRow("made again") << QStringLiteral("06.03.2024") << QString() << QStringLiteral("18");
        QTest::newRow("the day numbered by hand") << QStringLiteral("05.03.2024") << QString() << QStringLiteral("17");
        QTest::newRow("a number held by another") << QStringLiteral("06.03.2024") << QStringLiteral("17") << QString();
    }
    void protocolNumberFromTheJournal() {
        QFETCH(QString, date);
        QFETCH(QString, requested);
        QFETCH(QString, expected);
        const QString pdf = path(QStringLiteral("номер.pdf"));
        QFile::remove(pdf);
        QStringList args{QStringLiteral("protocol"), QStringLiteral("--date"), date, QStringLiteral("--to"), pdf,
                         QStringLiteral("--folder"), m_folder.path()};
        if (!requested.isEmpty())
            args << QStringLiteral("--protocol-no") << requested;
        const Run run = command(args);
        if (expected.isEmpty()) {
            QCOMPARE(run.code, 1);
            QVERIFY2(run.err.contains(QStringLiteral("Номер %1 уже присвоен другому протоколу").arg(requested)),
                     qPrintable(run.err));
            QVERIFY(!QFile::exists(pdf));
            return;
        }
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY2(run.out.contains(QStringLiteral("Протокол № %1 за %2").arg(expected, date)), qPrintable(run.out));
        const QString text =
            programOutput(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")}).simplified();
        QVERIFY2(text.contains(QStringLiteral("ПРОТОКОЛ ПРОВЕРКИ ЗНАНИЙ № %1").arg(expected)), qPrintable(text));
    }

    void protocolOfASelection() {
        // Exams of two days: each row carries its date; no number leaves a blank.
        const std::unique_ptr<QTextDocument> document = protocolDocument({{}, QString(), {m_exams.at(0), m_exams.at(3)}});
        QVERIFY(renderToPdf(*document, path(QStringLiteral("выборка.pdf"))).ok);
        const QString text = programOutput(QStringLiteral("pdftotext"),
                                           {QStringLiteral("-layout"), path(QStringLiteral("выборка.pdf")),
                                            QStringLiteral("-")});
        QVERIFY2(text.contains(QStringLiteral("Период проверки: с 05.03.2024 по 06.03.2024")), qPrintable(text));
        QVERIFY(QRegularExpression(QStringLiteral("06.03.2024 +Другой День")).match(text).hasMatch());
        QVERIFY(QRegularExpression(QStringLiteral("05.03.2024 +Ёлкин Пётр")).match(text).hasMatch());
        QVERIFY(text.contains(QStringLiteral("№ ________")));
        QVERIFY(!QFile::exists(path(QStringLiteral("выборка.pdf")) + QStringLiteral(".tmp")));
    }

    void xlsxReadBack() {
        const QString file = path(QStringLiteral("журнал.xlsx"));
        const Run run = command({QStringLiteral("journal"), QStringLiteral("export"), QStringLiteral("--to"), file,
                                 QStringLiteral("--from"), QStringLiteral("05.03.2024"), QStringLiteral("--until=05.03.2024"),
                                 QStringLiteral("--folder"), m_folder.path()});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        const QJsonObject book = readWorkbook(file);
        QCOMPARE(book.value(QStringLiteral("title")).toString(), QStringLiteral("Экзамены"));
        const QJsonArray rows = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 4);
        QCOMPARE(book.value(QStringLiteral("filter")).toString(), QStringLiteral("A1:S4"));
        const QJsonArray header = rows.at(0).toArray();
        QCOMPARE(header.at(0).toArray().at(1).toString(), QStringLiteral("Дата"));
        QCOMPARE(header.at(2).toArray().at(1).toString(), QStringLiteral("ФИО"));
        QCOMPARE(header.at(5).toArray().at(1).toString(), QStringLiteral("Подразделение"));
        QCOMPARE(header.at(11).toArray().at(1).toString(), QStringLiteral("Оценка"));

        const QJsonArray first = rows.at(1).toArray();
        auto cell = [&first](int column) { return first.at(column).toArray(); };
        QCOMPARE(cell(0).at(0).toString(), QStringLiteral("datetime"));
        QCOMPARE(cell(0).at(1).toString(), QStringLiteral("2024-03-05T00:00:00"));
        QCOMPARE(cell(0).at(2).toString(), QStringLiteral("dd.mm.yyyy"));
        QCOMPARE(cell(2).at(1).toString(), QStringLiteral("Ёлкин Пётр Сергеевич"));
        QCOMPARE(cell(4).at(1).toString(), QStringLiteral("мастер; участок № 2"));
        QCOMPARE(cell(5).at(1).toString(), QStringLiteral("Цех № 2"));
        QCOMPARE(cell(7).at(0).toString(), QStringLiteral("str")); // a personnel number stays text: "0457"
        QCOMPARE(cell(7).at(1).toString(), QStringLiteral("0457"));
        for (int column : {1, 3, 11, 12, 13, 14})
            QVERIFY2(QStringList({QStringLiteral("int"), QStringLiteral("float")}).contains(cell(column).at(0).toString()),
                     qPrintable(QString::number(column)));
        QCOMPARE(cell(11).at(1).toInt(), 5);
        QCOMPARE(cell(14).at(1).toInt(), 412);
        QCOMPARE(cell(15).at(1).toString(), QStringLiteral("сдал"));
        QCOMPARE(cell(16).at(0).toString(), QStringLiteral("datetime"));
        QCOMPARE(rows.at(2).toArray().at(15).toArray().at(1).toString(), QStringLiteral("не сдал"));
        // The third exam has no personnel number and no department: empty cells.
        QCOMPARE(rows.at(3).toArray().at(7).toArray().at(0).toString(), QStringLiteral("NoneType"));
        QCOMPARE(rows.at(3).toArray().at(5).toArray().at(0).toString(), QStringLiteral("NoneType"));
        // The name column is fitted to the longest name, wider than the grade column.
        const QJsonObject widths = book.value(QStringLiteral("widths")).toObject();
        QVERIFY(widths.value(QStringLiteral("C")).toDouble() >= QStringLiteral("Ёлкин Пётр Сергеевич").size());
        QVERIFY(widths.value(QStringLiteral("C")).toDouble() > widths.value(QStringLiteral("L")).toDouble());
    }

    void statisticsAndDueXlsx() {
        const QList<QuestionStatistic> statistics = {{3, 14, QStringLiteral("Группа по электробезопасности?"), 8, 6},
                                                     {1, 2, QStringLiteral("Срок проверки?"), 4, 1}};
        QVERIFY(writeTable(statisticsTable(statistics), path(QStringLiteral("вопросы.xlsx"))).ok);
        const QJsonArray rows = readWorkbook(path(QStringLiteral("вопросы.xlsx"))).value(QStringLiteral("rows")).toArray();
        QCOMPARE(rows.size(), 3);
        const QJsonArray share = rows.at(1).toArray().at(5).toArray();
        QCOMPARE(share.at(1).toDouble(), 0.75);
        QCOMPARE(share.at(2).toString(), QStringLiteral("0.0%"));
        QCOMPARE(rows.at(2).toArray().at(2).toArray().at(1).toString(), QStringLiteral("Срок проверки?"));

        DueEntry due;
        due.fullName = QStringLiteral("Ёлкин Пётр");
        due.profileNo = 1;
        due.lastExam = QDate(2024, 3, 5);
        due.lastGrade = 4;
        due.due = QDate(2025, 3, 5);
        due.daysLeft = -3;
        due.department = QStringLiteral("Цех № 2");
        DueEntry never;
        never.personnelNo = QStringLiteral("0460");
        never.fullName = QStringLiteral("Новиков Олег");
        never.profileNo = 2;
        never.periodMonths = 6;
        never.due = QDate(2025, 3, 8);
        QVERIFY(writeTable(dueTable({due, never}), path(QStringLiteral("срок.csv"))).ok);
        QFile csv(path(QStringLiteral("срок.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll()).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.at(1), QStringLiteral(";Ёлкин Пётр;;Цех № 2;1;;05.03.2024;4;12;05.03.2025;-3;просрочено"));
        // Someone never examined: no last exam, no grade.
        QCOMPARE(lines.at(2), QStringLiteral("0460;Новиков Олег;;;2;;;;6;08.03.2025;0;не проверялся"));

        // The register of a department: its heading above the table, the filter on the table.
        ProtocolSettings settings;
        settings.programmes = {{1, QStringLiteral("Программа № 7")}};
        QVERIFY(writeTable(registerTable({m_exams.at(0)}, QStringLiteral("Цех № 2"), QDate(2024, 3, 1), QDate(),
                                         settings),
                           path(QStringLiteral("журнал цеха.xlsx")))
                    .ok);
        const QJsonObject book = readWorkbook(path(QStringLiteral("журнал цеха.xlsx")));
        const QJsonArray sheet = book.value(QStringLiteral("rows")).toArray();
        QCOMPARE(sheet.size(), 5);
        QCOMPARE(sheet.at(1).toArray().at(0).toArray().at(1).toString(), QStringLiteral("Подразделение: Цех № 2"));
        QCOMPARE(sheet.at(2).toArray().at(0).toArray().at(1).toString(), QStringLiteral("Период: с 01.03.2024"));
        QCOMPARE(book.value(QStringLiteral("filter")).toString(), QStringLiteral("A4:I5"));
        QStringList exam;
        for (const QJsonValue& c : sheet.at(4).toArray())
            exam << c.toArray().at(1).toVariant().toString();
        QCOMPARE(exam.mid(1, 7), QStringList({QStringLiteral("Ёлкин Пётр Сергеевич"), QStringLiteral("мастер; участок № 2"),
                                              QStringLiteral("0457"), QStringLiteral("Программа № 7"), QStringLiteral("5"),
                                              QStringLiteral("сдал"), QStringLiteral("1")}));
    }

    void csvColumns() {
        const QString file = path(QStringLiteral("журнал.csv"));
        const Run run = command({QStringLiteral("journal"), QStringLiteral("export"), QStringLiteral("--to"), file,
                                 QStringLiteral("--folder"), m_folder.path()});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QFile csv(file);
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QByteArray bytes = csv.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QStringList lines = QString::fromUtf8(bytes.mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.size(), 1 + m_exams.size() + 1); // header, rows, the empty rest after the last line end
        QCOMPARE(lines.last(), QString());
        const QStringList header = lines.at(0).split(QLatin1Char(';'));
        QCOMPARE(header.size(), 19);
        QCOMPARE(header.mid(0, 3), QStringList({QStringLiteral("Дата"), QStringLiteral("№ протокола"), QStringLiteral("ФИО")}));
        QVERIFY(lines.at(1).startsWith(QStringLiteral("05.03.2024;1;Ёлкин Пётр Сергеевич;1985;\"мастер; участок № 2\";Цех № 2;7;0457;")));
        QVERIFY(lines.at(3).contains(QStringLiteral(";\"слесарь \"\"КИПиА\"\"\";;7;;2;Охрана труда;")));
        QVERIFY(lines.at(4).startsWith(QStringLiteral("06.03.2024;")));
    }

    // A text a spreadsheet program would run as a formula gets a leading apostrophe in a CSV
    // file; numbers stay numbers. Both kinds of file get the mode the user's umask gives.
    void formulaTextAndFileModes() {
        const QStringList texts = {QStringLiteral("=HYPERLINK(1)"), QStringLiteral("+7"), QStringLiteral("-2"),
                                   QStringLiteral("@sum"), QStringLiteral("\tx"), QStringLiteral("\rx"),
                                   QStringLiteral("обычный -1")};
        const QStringList expected = {QStringLiteral("'=HYPERLINK(1);-5"), QStringLiteral("'+7;-5"),
                                      QStringLiteral("'-2;-5"), QStringLiteral("'@sum;-5"),
                                      QStringLiteral("'\tx;-5"), QStringLiteral("\"'\rx\";-5"),
                                      QStringLiteral("обычный -1;-5")};
        ExportTable table;
        table.columns = {{QStringLiteral("Текст"), ExportColumn::Kind::Text},
                         {QStringLiteral("Число"), ExportColumn::Kind::Integer}};
        table.rowCount = int(texts.size());
        table.cell = [&texts](int row, int column) { return column == 0 ? QVariant(texts.at(row)) : QVariant(-5); };
        const mode_t before = ::umask(002);
        const bool written = writeTable(table, path(QStringLiteral("формулы.csv"))).ok &&
                             writeTable(table, path(QStringLiteral("формулы.xlsx"))).ok;
        ::umask(before);
        QVERIFY(written);
        QFile csv(path(QStringLiteral("формулы.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(csv.readAll().mid(3)).split(QStringLiteral("\r\n"));
        QCOMPARE(lines.mid(1, expected.size()), expected);
        for (const QString name : {QStringLiteral("формулы.csv"), QStringLiteral("формулы.xlsx")}) {
            struct stat info {};
            QCOMPARE(::stat(QFile::encodeName(path(name)).constData(), &info), 0);
            QCOMPARE(info.st_mode & 0777, mode_t(0664));
        }
    }

    void wrongUse_data() {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        const QString pdf = QStringLiteral("p.pdf");
        QTest::newRow("export: no file") << QStringList{QStringLiteral("journal"), QStringLiteral("export")} << 2
                                         << QStringLiteral("--to");
        QTest::newRow("export: other kind") << QStringList{QStringLiteral("journal"), QStringLiteral("export"),
                                                           QStringLiteral("--to"), QStringLiteral("a.ods")}
                                            << 2 << QStringLiteral(".xlsx и .csv");
        QTest::newRow("export: bad date") << QStringList{QStringLiteral("journal"), QStringLiteral("export"),
                                                         QStringLiteral("--to"), QStringLiteral("a.csv"),
                                                         QStringLiteral("--from"), QStringLiteral("2024-03-05")}
                                          << 2 << QStringLiteral("ДД.ММ.ГГГГ");
        QTest::newRow("export: period backwards")
            << QStringList{QStringLiteral("journal"), QStringLiteral("export"), QStringLiteral("--to"),
                           QStringLiteral("a.csv"), QStringLiteral("--from"), QStringLiteral("06.03.2024"),
                           QStringLiteral("--until"), QStringLiteral("05.03.2024")}
            << 2 << QStringLiteral("позже");
        QTest::newRow("due: days") << QStringList{QStringLiteral("journal"), QStringLiteral("due"),
                                                  QStringLiteral("--within"), QStringLiteral("-1")}
                                   << 2 << QStringLiteral("не меньше 0");
        QTest::newRow("due: unknown") << QStringList{QStringLiteral("journal"), QStringLiteral("due"),
                                                     QStringLiteral("--soon")}
                                      << 2 << QStringLiteral("--soon");
        QTest::newRow("protocol: no date") << QStringList{QStringLiteral("protocol"), QStringLiteral("--to"), pdf}
                                           << 2 << QStringLiteral("--date");
        QTest::newRow("protocol: not a pdf") << QStringList{QStringLiteral("protocol"), QStringLiteral("--date"),
                                                            QStringLiteral("05.03.2024"), QStringLiteral("--to"),
                                                            QStringLiteral("p.docx")}
                                             << 2 << QStringLiteral(".pdf");
        QTest::newRow("protocol: number") << QStringList{QStringLiteral("protocol"), QStringLiteral("--date"),
                                                         QStringLiteral("05.03.2024"), QStringLiteral("--protocol-no"),
                                                         QStringLiteral("7a"), QStringLiteral("--to"), pdf}
                                          << 2 << QStringLiteral("--protocol-no");
        QTest::newRow("protocol: a day without exams")
            << QStringList{QStringLiteral("protocol"), QStringLiteral("--date"), QStringLiteral("01.01.2020"),
                           QStringLiteral("--to"), pdf}
            << 1 << QStringLiteral("нет экзаменов");
        QTest::newRow("journal: unknown action") << QStringList{QStringLiteral("journal"), QStringLiteral("print")}
                                                 << 2 << QStringLiteral("journal print");
    }

    void wrongUse() {
        QFETCH(QStringList, args);
        QFETCH(int, code);
        QFETCH(QString, message);
        args << QStringLiteral("--folder") << m_folder.path();
        for (QString& word : args) {
            if (word.endsWith(QLatin1String(".pdf")) || word.endsWith(QLatin1String(".csv")))
                word = path(word);
        }
        const Run run = command(args);
        QCOMPARE(run.code, code);
        QVERIFY2(run.err.contains(message), qPrintable(run.err));
        QVERIFY(!QFile::exists(path(QStringLiteral("p.pdf"))));
        QVERIFY(!QFile::exists(path(QStringLiteral("a.csv"))));
    }

    void helpAndDueText() {
        for (const QStringList& args : {QStringList{QStringLiteral("protocol"), QStringLiteral("--help")},
                                        QStringList{QStringLiteral("journal"), QStringLiteral("due"), QStringLiteral("--help")}}) {
            const Run run = command(args);
            QCOMPARE(run.code, 0);
            QVERIFY(run.out.contains(QStringLiteral("Использование")));
        }
        QVERIFY(commandLineHelp().contains(QStringLiteral("razividerur protocol --date")));
        QVERIFY(isCommand({QStringLiteral("protocol")}) && commandNeedsGui({QStringLiteral("protocol")}));

        // The whole list (no --within): every person and profile, due 12 months after a pass and
        // 30 days after a fail.
        const Run run = command({QStringLiteral("journal"), QStringLiteral("due"), QStringLiteral("--folder"), m_folder.path()});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QVERIFY(run.out.contains(QStringLiteral(": 4\n"))); // Ёлкин, Щукин, Другой День, Жукова
        QVERIFY(run.out.contains(QStringLiteral("05.03.2025")));
        QVERIFY(run.out.contains(QStringLiteral("Щукин Аркадий; профиль 2 «Охрана труда»; сдан 05.03.2024 на 4")));
        QVERIFY2(run.out.contains(QStringLiteral("04.04.2024")) &&
                     run.out.contains(QStringLiteral("Жукова Мария Ивановна (Служба подстанций); профиль 1 "
                                                     "«Электробезопасность»; не сдал 05.03.2024 на 2")),
                 qPrintable(run.out));
    }
};

QTEST_MAIN(TestDocuments)
#include "tst_documents.moc"
