#pragma once
// «Протокол проверки знаний»: the signed record of a knowledge check, for one exam or for
// every exam of a day or of a selection. Built as a QTextDocument, so the same document is
// written to PDF (A4, fonts embedded) and printed on any QPrinter, after a print preview.
// Needs a QGuiApplication (fonts); no widgets.

#include "journal/journalentry.h"
#include "journal/paperworksettings.h"

#include <QString>
#include <QTextDocument>

#include <memory>

class QPagedPaintDevice;

namespace zet {

struct ProtocolContent {
    ProtocolSettings settings; // organisation, commission and the order that formed it
    QString number;            // the protocol number as printed; empty leaves a blank to fill in
    QList<JournalEntry> exams; // in the order they are to be listed
    // Printed under the title when not empty: where the exams were read from, when that is not
    // the whole journal of the exam centre.
    QString sourceNote;
    // The footer: the code that `razividerur protocol check` holds against the journal, or,
    // when the protocol has none, why.
    QString checkCode;
    QString checkNote;
};

// The protocol as HTML for QTextDocument. Exams of different tests or profiles are listed
// in one table each, under the test's and the profile's name; the date heads the protocol
// when all exams are of one day, otherwise each row has its date.
QString protocolHtml(const ProtocolContent& content);

// The protocol as a document ready for renderToPdf() or printDocument().
std::unique_ptr<QTextDocument> protocolDocument(const ProtocolContent& content);

// Prints the document on device (a QPrinter or a QPdfWriter), page by page with page numbers,
// in the page size and margins set on the device.
void printDocument(const QTextDocument& document, QPagedPaintDevice* device);

// Writes the document as an A4 PDF with its fonts embedded. The file appears only when it is
// complete. title: the PDF's title (shown by PDF viewers).
JournalResult renderToPdf(const QTextDocument& document, const QString& path, const QString& title = {});

// protocolDocument() and renderToPdf() in one step.
JournalResult writeProtocolPdf(const ProtocolContent& content, const QString& path);

} // namespace zet
