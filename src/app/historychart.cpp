#include "app/historychart.h"

#include "core/prompts.h"
#include "core/textfile.h"
#include "ranking/ranktext.h"

#include <QBuffer>
#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateTimeAxis>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLegendMarker>
#include <QLineSeries>
#include <QPointer>
#include <QPushButton>
#include <QScatterSeries>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

namespace marbleway {

using namespace Qt::StringLiterals;

namespace {

QColor engineColour(SearchEngine engine)
{
    switch (engine) {
    case SearchEngine::Google:
        return {0x42, 0x85, 0xF4};
    case SearchEngine::Yahoo:
        return {0x72, 0x0E, 0x9E};
    case SearchEngine::Bing:
        break;
    }
    return {0x00, 0x80, 0x80};
}

qint64 timeOf(QDate day)
{
    return day.startOfDay().toMSecsSinceEpoch();
}

void hideFromLegend(QChart* chart, QAbstractSeries* series)
{
    for (QLegendMarker* marker : chart->legend()->markers(series))
        marker->setVisible(false);
}

} // namespace

HistoryChartDialog::HistoryChartDialog(const QList<HistoryPoint>& points, const QString& descriptor,
                                       Prompts& prompts, QWidget* parent)
    : QDialog(parent)
    , m_prompts(&prompts)
    , m_view(new QChartView(new QChart(), this))
{
    const auto combination = Combination::fromDescriptor(descriptor);
    const int depth = combination ? Depths[size_t(combination->depthIndex)].results : 10;
    setWindowTitle(combination
                       ? tr("排名走势：%1 — %2").arg(combination->site, combination->keyword)
                       : tr("排名走势"));
    // In the picture too, so that a saved chart says what it shows.
    m_view->chart()->setTitle(windowTitle());
    m_view->setRenderHint(QPainter::Antialiasing);
    m_view->setMinimumSize(640, 360);

    build(points, depth);

    auto* layout = new QVBoxLayout(this);
    if (points.isEmpty()) {
        auto* none = new QLabel(tr("该收藏还没有历史记录。"), this);
        none->setAlignment(Qt::AlignCenter);
        layout->addWidget(none);
    }
    layout->addWidget(m_view, 1);
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* save = buttons->addButton(tr("保存图片"), QDialogButtonBox::ActionRole);
    save->setEnabled(!points.isEmpty());
    buttons->addButton(tr("关闭"), QDialogButtonBox::RejectRole);
    connect(save, &QPushButton::clicked, this, [this] { savePicture(); });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
    resize(860, 520);
}

QChart* HistoryChartDialog::chart() const
{
    return m_view->chart();
}

QString HistoryChartDialog::pointTip(const HistoryPoint& point, int depth)
{
    const QString position =
        point.position > 0 ? tr("第 %1 名").arg(point.position) : tr("未进入前 %1 名").arg(depth);
    QString tip =
        u"%1  %2\n%3"_s.arg(isoDate(point.date), engineDisplayName(point.engine), position);
    if (!point.link.isEmpty())
        tip += u'\n' + point.link;
    return tip;
}

void HistoryChartDialog::build(const QList<HistoryPoint>& points, int depth)
{
    QChart* chart = m_view->chart();
    chart->legend()->setAlignment(Qt::AlignBottom);
    auto* days = new QDateTimeAxis(chart);
    days->setFormat(u"MM-dd"_s);
    days->setTitleText(tr("日期"));
    auto* ranks = new QCategoryAxis(chart);
    // Position 1 at the top; "not within the depth" on the bottom edge.
    ranks->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
    ranks->append(u"1"_s, 1);
    const int step = std::max(1, depth / 5);
    for (int position = step; position <= depth; position += step)
        ranks->append(QString::number(position), position);
    ranks->append(tr("%1名外").arg(depth), depth + 1);
    ranks->setReverse(true);
    // Half a place beyond either edge, so that no marker is cut in half.
    ranks->setRange(0.5, depth + 1.5);
    ranks->setTitleText(tr("排名"));
    chart->addAxis(days, Qt::AlignBottom);
    chart->addAxis(ranks, Qt::AlignLeft);

    const auto attach = [chart, days, ranks](QXYSeries* series) {
        chart->addSeries(series);
        series->attachAxis(days);
        series->attachAxis(ranks);
    };
    const auto tipOnHover = [this, depth](QXYSeries* series) {
        connect(series, &QXYSeries::hovered, this,
                [this, series, depth](const QPointF& at, bool entered) {
                    const auto found = m_points.constFind({series, qint64(at.x())});
                    if (entered && found != m_points.constEnd())
                        QToolTip::showText(QCursor::pos(), pointTip(*found, depth), m_view);
                    else
                        QToolTip::hideText();
                });
    };

    for (const ChartLine& line : chartLines(points)) {
        const QColor colour = engineColour(line.engine);
        auto* markers = new QScatterSeries(chart);
        markers->setName(engineDisplayName(line.engine));
        markers->setColor(colour);
        markers->setBorderColor(colour);
        markers->setMarkerSize(7);
        for (const QList<HistoryPoint>& run : line.runs) {
            auto* segment = new QLineSeries(chart);
            segment->setPen(QPen(colour, 2));
            for (const HistoryPoint& point : run) {
                segment->append(double(timeOf(point.date)), point.position);
                markers->append(double(timeOf(point.date)), point.position);
                m_points.insert({markers, timeOf(point.date)}, point);
            }
            attach(segment);
            hideFromLegend(chart, segment);
        }
        attach(markers);
        tipOnHover(markers);
        if (!line.unlisted.isEmpty()) {
            auto* outside = new QScatterSeries(chart);
            outside->setName(
                tr("%1 未进入前 %2 名").arg(engineDisplayName(line.engine)).arg(depth));
            outside->setMarkerShape(QScatterSeries::MarkerShapeRectangle);
            outside->setMarkerSize(9);
            outside->setColor(Qt::white);
            outside->setBorderColor(colour);
            for (const HistoryPoint& point : line.unlisted) {
                outside->append(double(timeOf(point.date)), depth + 1);
                m_points.insert({outside, timeOf(point.date)}, point);
            }
            attach(outside);
            tipOnHover(outside);
        }
    }
    if (!points.isEmpty()) {
        // A day either side, so that the first and last points are not on the
        // edge, and ticks a whole number of days apart, so that each label
        // stands under its day: at most eight of them.
        const QDate first = points.first().date.addDays(-1);
        const int span = int(first.daysTo(points.last().date.addDays(1)));
        const int daysApart = (span + 6) / 7;
        const int ticks = (span + daysApart - 1) / daysApart;
        days->setRange(first.startOfDay(), first.addDays(qint64(ticks) * daysApart).startOfDay());
        days->setTickCount(ticks + 1);
    }
}

QCoro::Task<> HistoryChartDialog::savePicture()
{
    QPointer<HistoryChartDialog> self = this;
    Prompts& prompts = *m_prompts;
    const auto path =
        co_await prompts.saveFileName(tr("保存图片"), tr("PNG 图片 (*.png)"), u"png"_s);
    if (!path || !self)
        co_return;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    m_view->grab().save(&buffer, "PNG");
    if (const WriteResult written = writeWholeFile(*path, bytes); !written)
        co_await prompts.message(tr("提示"), tr("图片未能保存：%1").arg(written.error),
                                 PromptIcon::Critical);
}

} // namespace marbleway
