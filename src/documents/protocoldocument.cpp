#include "documents/protocoldocument.h"

#include "documents/journaltables.h"
#include "model/systemerror.h"

#include <QDir>
#include <QFont>
#include <QPageLayout>
#include <QPageSize>
#include <QPagedPaintDevice>
#include <QPdfWriter>
#include <QSaveFile>

#include <algorithm>

namespace zet {

namespace {

// Fonts with Cyrillic letters that the program's packages install (the first one found is used).
const QStringList& documentFontFamilies() {
    static const QStringList families = {QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif")};
    return families;
}

QString escaped(const QString& text) {
    return text.toHtmlEscaped();
}

// A blank to be filled in by hand when the text is empty.
QString orBlank(const QString& text, int width = 20) {
    return text.trimmed().isEmpty() ? QString(width, QLatin1Char('_')) : escaped(text.trimmed());
}

QString dateText(const QDate& date) {
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString memberText(const CommissionMember& member) {
    QString text = orBlank(member.fullName, 30);
    if (!member.jobTitle.trimmed().isEmpty())
        text += QStringLiteral(", ") + escaped(member.jobTitle.trimmed());
    return text;
}

QString signatureLine(const QString& role, const CommissionMember& member) {
    return QStringLiteral("<tr><td width=\"35%\">%1</td><td width=\"25%\">________________</td>"
                          "<td width=\"40%\">%2</td></tr>")
        .arg(role, orBlank(member.fullName, 25));
}

// The exams of one test and profile, in the order they came.
struct ExamGroup {
    QString testName;
    int profileNo = 0;
    QString profileName;
    QList<const JournalEntry*> exams;
};

QList<ExamGroup> groupByProfile(const QList<JournalEntry>& exams) {
    QList<ExamGroup> groups;
    for (const JournalEntry& e : exams) {
        auto found = std::find_if(groups.begin(), groups.end(), [&e](const ExamGroup& g) {
            return g.testName == e.testName && g.profileNo == e.profileNo && g.profileName == e.profileName;
        });
        if (found == groups.end()) {
            groups.append({e.testName, e.profileNo, e.profileName, {}});
            found = groups.end() - 1;
        }
        found->exams.append(&e);
    }
    return groups;
}

} // namespace

QString protocolHtml(const ProtocolContent& content) {
    const ProtocolSettings& s = content.settings;
    QDate first, last;
    for (const JournalEntry& e : content.exams) {
        if (!first.isValid() || e.date < first)
            first = e.date;
        if (!last.isValid() || e.date > last)
            last = e.date;
    }
    const bool oneDay = first == last;

    QString html;
    html += QStringLiteral("<html><body>");
    html += QStringLiteral("<p align=\"center\"><b>%1</b></p>").arg(orBlank(s.organisation, 40));
    html += QStringLiteral("<p align=\"center\" style=\"font-size:14pt\"><b>ПРОТОКОЛ ПРОВЕРКИ ЗНАНИЙ № %1</b></p>")
                .arg(orBlank(content.number, 8));
    if (!content.sourceNote.isEmpty())
        html += QStringLiteral("<p align=\"center\"><i>%1</i></p>").arg(escaped(content.sourceNote));
    if (!first.isValid())
        html += QStringLiteral("<p>Дата проверки: %1</p>").arg(QString(12, QLatin1Char('_')));
    else if (oneDay)
        html += QStringLiteral("<p>Дата проверки: %1</p>").arg(dateText(first));
    else
        html += QStringLiteral("<p>Период проверки: с %1 по %2</p>").arg(dateText(first), dateText(last));

    html += QStringLiteral("<p>Комиссия в составе:<br/>председатель комиссии — %1").arg(memberText(s.chair));
    if (!s.members.isEmpty()) {
        html += QStringLiteral("<br/>члены комиссии:");
        for (const CommissionMember& m : s.members)
            html += QStringLiteral("<br/>&nbsp;&nbsp;— %1").arg(memberText(m));
    }
    html += QStringLiteral("</p>");
    html += QStringLiteral("<p>Основание: %1</p>").arg(orBlank(s.order, 40));
    html += QStringLiteral("<p>провела проверку знаний работников и установила:</p>");

    for (const ExamGroup& group : groupByProfile(content.exams)) {
        const QString profile = QStringLiteral("рофиль %1 «%2»").arg(group.profileNo).arg(escaped(group.profileName));
        const QString heading = group.testName.isEmpty()
                                    ? QStringLiteral("П") + profile
                                    : QStringLiteral("Тест «%1», п").arg(escaped(group.testName)) + profile;
        html += QStringLiteral("<p><b>%1</b><br/>Программа обучения: %2</p>")
                    .arg(heading, escaped(s.programmeFor(group.profileNo, group.profileName)));
        // Column widths in percent; the date column, when there is one, is taken from the name's
        // and the job's. Nine columns fit an A4 page upright at 8.5 pt; the long header may break
        // inside its last word.
        html += QStringLiteral("<table border=\"1\" cellspacing=\"0\" cellpadding=\"3\" width=\"100%\""
                               " style=\"border-collapse:collapse; font-size:8.5pt\"><tr>"
                               "<th width=\"3%\">№</th>");
        if (!oneDay)
            html += QStringLiteral("<th width=\"10%\">Дата</th>");
        html += QStringLiteral("<th width=\"%1%\">ФИО</th><th width=\"%2%\">Должность</th>"
                               "<th width=\"%3%\">Место работы (подразде\u00ADление)</th>"
                               "<th width=\"7%\">Таб. №</th><th width=\"7%\" style=\"white-space:nowrap\">Оценка</th>"
                               "<th width=\"9%\">Верных ответов</th><th width=\"9%\" style=\"white-space:nowrap\">Результат</th>"
                               "<th width=\"%4%\">Подпись</th></tr>")
                    .arg(oneDay ? 22 : 17)
                    .arg(oneDay ? 15 : 13)
                    .arg(oneDay ? 16 : 14)
                    .arg(oneDay ? 12 : 11);
        int row = 0;
        for (const JournalEntry* e : group.exams) {
            html += QStringLiteral("<tr><td align=\"right\">%1</td>").arg(++row);
            if (!oneDay)
                html += QStringLiteral("<td style=\"white-space:nowrap\">%1</td>").arg(dateText(e->date));
            html += QStringLiteral("<td>%1</td><td>%2</td><td>%3</td><td>%4</td><td align=\"center\">%5</td>"
                                   "<td align=\"center\" style=\"white-space:nowrap\">%6 из %7</td>"
                                   "<td style=\"white-space:nowrap\">%8</td><td></td></tr>")
                        .arg(escaped(e->fullName), escaped(e->jobTitle), escaped(e->department), escaped(e->personnelNo))
                        .arg(e->grade)
                        .arg(e->right)
                        .arg(e->asked)
                        .arg(resultText(e->grade));
        }
        html += QStringLiteral("</table>");
    }
    if (content.exams.isEmpty())
        html += QStringLiteral("<p>Экзаменов нет.</p>");

    html += QStringLiteral("<p>&nbsp;</p><table width=\"100%\" cellpadding=\"6\">");
    html += signatureLine(QStringLiteral("Председатель комиссии"), s.chair);
    for (qsizetype i = 0; i < s.members.size(); ++i)
        html += signatureLine(i == 0 ? QStringLiteral("Члены комиссии") : QString(), s.members.at(i));
    if (s.members.isEmpty())
        html += signatureLine(QStringLiteral("Члены комиссии"), {});
    html += QStringLiteral("</table>");
    if (!content.checkCode.isEmpty())
        html += QStringLiteral("<p style=\"font-size:9pt\">Код проверки: %1 (razividerur protocol check %1)</p>")
                    .arg(escaped(content.checkCode));
    else if (!content.checkNote.isEmpty())
        html += QStringLiteral("<p style=\"font-size:9pt\">%1</p>").arg(escaped(content.checkNote));
    html += QStringLiteral("</body></html>");
    return html;
}

std::unique_ptr<QTextDocument> protocolDocument(const ProtocolContent& content) {
    auto document = std::make_unique<QTextDocument>();
    QFont font;
    font.setFamilies(documentFontFamilies());
    font.setPointSizeF(11);
    document->setDefaultFont(font);
    document->setHtml(protocolHtml(content));
    QString title = QStringLiteral("Протокол проверки знаний");
    if (!content.number.trimmed().isEmpty())
        title += QStringLiteral(" № ") + content.number.trimmed();
    document->setMetaInformation(QTextDocument::DocumentTitle, title);
    return document;
}

void printDocument(const QTextDocument& document, QPagedPaintDevice* device) {
    document.print(device);
}

JournalResult renderToPdf(const QTextDocument& document, const QString& path, const QString& title) {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return JournalResult::failure(QStringLiteral("Не удалось создать файл «%1»: %2")
                                          .arg(QDir::toNativeSeparators(path), russianSystemError(file.errorString())));
    {
        QPdfWriter writer(&file);
        writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(10, 5, 5, 5),
                                         QPageLayout::Millimeter));
        writer.setResolution(300);
        writer.setCreator(QStringLiteral("Razividerur"));
        writer.setTitle(title.isEmpty() ? document.metaInformation(QTextDocument::DocumentTitle) : title);
        printDocument(document, &writer);
    } // the writer finishes the file here
    // commit() alone would not see a buffer that could not be written out (a full disk).
    if (!file.flush() || !file.commit())
        return JournalResult::failure(QStringLiteral("Не удалось записать файл «%1»: %2")
                                          .arg(QDir::toNativeSeparators(path), russianSystemError(file.errorString())));
    return {};
}

JournalResult writeProtocolPdf(const ProtocolContent& content, const QString& path) {
    const std::unique_ptr<QTextDocument> document = protocolDocument(content);
    return renderToPdf(*document, path);
}

} // namespace zet
