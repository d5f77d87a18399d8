#pragma once

#include "ranking/rankhistory.h"

#include <QDialog>
#include <QHash>
#include <qcoro/qcorotask.h>

class QChart;
class QChartView;

namespace marbleway {

class Prompts;

// A favourite's rank history as a chart: one line per engine, position 1 at the
// top, a gap for a day without a reading, and the days outside the depth as
// their own markers on the bottom edge. Resting the pointer on a point tells
// its day, position and link; the chart can be saved as a PNG picture.
class HistoryChartDialog : public QDialog {
    Q_OBJECT
public:
    HistoryChartDialog(const QList<HistoryPoint>& points, const QString& descriptor,
                       Prompts& prompts, QWidget* parent = nullptr);

    QChart* chart() const;
    // What a point tells when the pointer rests on it.
    static QString pointTip(const HistoryPoint& point, int depth);
    // "保存图片": the chart as a PNG file.
    QCoro::Task<> savePicture();

private:
    void build(const QList<HistoryPoint>& points, int depth);

    Prompts* m_prompts;
    QChartView* m_view;
    // The point each marker stands for, by series and day.
    QHash<QPair<const QObject*, qint64>, HistoryPoint> m_points;
};

} // namespace marbleway
