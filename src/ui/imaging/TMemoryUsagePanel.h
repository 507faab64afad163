#pragma once
// The memory usage display below the project tree: how much of the
// controller's image store the project takes, as a figure and as a pie of
// free storage, information screens, logos and backgrounds.

#include "core/model/ProjectModel.h"

#include <QWidget>

class QChartView;
class QLabel;
class QPieSeries;

class TMemoryUsagePanel : public QWidget {
    Q_OBJECT
public:
    explicit TMemoryUsagePanel(QWidget* parent = nullptr);

    void Update_Memory_Chart(const THandleList& list);

    QLabel* usageLabel() const { return m_label; }
    QPieSeries* series() const { return m_series; }
    QChartView* chartView() const { return m_chartView; }

    // "  used/3657728 (p.pp%)"
    static QString usageText(qint64 used);

private:
    QLabel* m_label;
    QPieSeries* m_series;
    QChartView* m_chartView;
};
