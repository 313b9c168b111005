#include "ui/journal/questionstatisticsview.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QColor>
#include <QHeaderView>
#include <QHorizontalBarSeries>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QValueAxis>
#include <QVBoxLayout>

namespace zet::ui {

namespace {

QTableWidgetItem* cell(const QString& text, Qt::Alignment alignment = Qt::AlignCenter) {
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
    item->setTextAlignment(alignment);
    return item;
}

QString percent(double share) {
    return QLocale(QLocale::Russian).toString(share * 100.0, 'f', 1) + QStringLiteral(" %");
}

} // namespace

QuestionStatisticsView::QuestionStatisticsView(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Статистика вопросов"));
    m_caption = new QLabel;
    m_caption->setWordWrap(true);

    m_table = new QTableWidget(0, ColumnCount);
    m_table->setHorizontalHeaderLabels({QStringLiteral("Тема"), QStringLiteral("Вопрос №"), QStringLiteral("Вопрос"),
                                        QStringLiteral("Задан"), QStringLiteral("Неверно"),
                                        QStringLiteral("Доля неверных")});
    m_table->verticalHeader()->hide();
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setSectionResizeMode(Question, QHeaderView::Stretch);
    m_table->setToolTip(QStringLiteral("Двойной щелчок открывает вопрос в редакторе вопросов"));
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this](int row, int) { openRow(row); });

    m_chartView = new QChartView;
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumHeight(480);
    m_chartView->setToolTip(QStringLiteral("Двойной щелчок по столбцу открывает вопрос в редакторе вопросов"));

    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(m_chartView);
    splitter->addWidget(m_table);

    auto* close = new QPushButton(QStringLiteral("Выход"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_caption);
    layout->addWidget(splitter, 1);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(close);
    layout->addLayout(bottom);
    resize(900, 820);
    rebuildChart();
}

void QuestionStatisticsView::setRows(const QList<QuestionStatisticsRow>& rows, const QString& caption) {
    m_rows = rows;
    m_caption->setText(caption);
    m_caption->setVisible(!caption.isEmpty());
    m_table->setRowCount(int(rows.size()));
    for (int i = 0; i < rows.size(); ++i) {
        const QuestionStatisticsRow& r = rows.at(i);
        m_table->setItem(i, Theme, cell(QString::number(r.theme)));
        m_table->setItem(i, QuestionNo, cell(QString::number(r.questionNo)));
        m_table->setItem(i, Question, cell(r.questionText, Qt::AlignLeft | Qt::AlignVCenter));
        m_table->setItem(i, Asked, cell(QString::number(r.asked)));
        m_table->setItem(i, Wrong, cell(QString::number(r.wrong)));
        m_table->setItem(i, WrongShare, cell(percent(r.wrongShare())));
    }
    rebuildChart();
}

void QuestionStatisticsView::openRow(int row) {
    if (row < 0 || row >= m_rows.size())
        return;
    emit openQuestionRequested(m_rows.at(row).theme, m_rows.at(row).questionNo);
}

void QuestionStatisticsView::rebuildChart() {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Вопросы с наибольшей долей неверных ответов"));
    chart->legend()->hide();
    const int shown = int(std::min<qsizetype>(m_rows.size(), kChartQuestions));
    auto* set = new QBarSet(QStringLiteral("Доля неверных, %"));
    QStringList categories;
    // A horizontal bar chart draws its first category at the bottom: the worst goes last.
    for (int i = shown - 1; i >= 0; --i) {
        const QuestionStatisticsRow& r = m_rows.at(i);
        *set << r.wrongShare() * 100.0;
        categories << QStringLiteral("%1 / %2").arg(r.theme).arg(r.questionNo);
    }
    auto* series = new QHorizontalBarSeries;
    series->append(set);
    series->setLabelsVisible(true);
    series->setLabelsFormat(QStringLiteral("@value %"));
    series->setLabelsPrecision(3);
    series->setLabelsPosition(QAbstractBarSeries::LabelsOutsideEnd);
    set->setLabelColor(QColor(0x20, 0x20, 0x20));
    chart->addSeries(series);
    auto* categoryAxis = new QBarCategoryAxis;
    categoryAxis->append(categories);
    categoryAxis->setTitleText(QStringLiteral("Тема / вопрос"));
    // Twenty labels share the height: a smaller font keeps them whole.
    QFont labelFont = categoryAxis->labelsFont();
    labelFont.setPointSizeF(labelFont.pointSizeF() * 0.8);
    categoryAxis->setLabelsFont(labelFont);
    chart->addAxis(categoryAxis, Qt::AlignLeft);
    series->attachAxis(categoryAxis);
    auto* valueAxis = new QValueAxis;
    valueAxis->setRange(0, 100);
    valueAxis->setLabelFormat(QStringLiteral("%d %"));
    chart->addAxis(valueAxis, Qt::AlignBottom);
    series->attachAxis(valueAxis);
    connect(series, &QHorizontalBarSeries::doubleClicked, this,
            [this, shown](int index, QBarSet*) { openRow(shown - 1 - index); });
    QChart* old = m_chartView->chart();
    m_chartView->setChart(chart);
    // A chart view that was given a chart owns it only until it is given another one.
    if (old && old != chart)
        delete old;
}

} // namespace zet::ui
