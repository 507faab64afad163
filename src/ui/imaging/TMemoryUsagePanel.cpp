#include "ui/imaging/TMemoryUsagePanel.h"

#include <QChart>
#include <QChartView>
#include <QLabel>
#include <QPieSeries>
#include <QPieSlice>
#include <QVBoxLayout>

namespace {
qint64 usageOf(const THandleList& list, int position)
{
    return size_t(position) < list.size() ? list[size_t(position)]->memory_usage : 0;
}
} // namespace

TMemoryUsagePanel::TMemoryUsagePanel(QWidget* parent)
    : QWidget(parent)
    , m_label(new QLabel(this))
    , m_series(new QPieSeries)
    , m_chartView(new QChartView)
{
    setObjectName(QStringLiteral("memory_usage_Panel"));
    auto* caption = new QLabel(QStringLiteral("  Memory Usage (bytes)"), this);
    caption->setObjectName(QStringLiteral("memory_usage_Caption"));
    m_label->setObjectName(QStringLiteral("memory_usage_Label"));
    caption->setBuddy(m_label);

    auto* chart = new QChart;
    chart->addSeries(m_series);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(0, 0, 0, 0));
    chart->setBackgroundRoundness(0);
    m_chartView->setChart(chart);
    m_chartView->setParent(this);
    m_chartView->setObjectName(QStringLiteral("memory_usage_Chart"));
    m_chartView->setRenderHint(QPainter::Antialiasing);
    m_chartView->setMinimumHeight(120);
    m_chartView->setAccessibleName(QStringLiteral("Memory usage chart"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(caption);
    layout->addWidget(m_label);
    layout->addWidget(m_chartView, 1);
    Update_Memory_Chart(THandleList{});
}

QString TMemoryUsagePanel::usageText(qint64 used)
{
    return QString::asprintf("  %lld/%lld (%.2f%%)", static_cast<long long>(used),
                             static_cast<long long>(kImageStoreBytes), double(used) * 100.0 / double(kImageStoreBytes));
}

void TMemoryUsagePanel::Update_Memory_Chart(const THandleList& list)
{
    const qint64 used = projectStorageUsed(list);
    const qint64 info = usageOf(list, kInfoScreensIdx);
    const qint64 logos = usageOf(list, kLogosIdx) + usageOf(list, kLogoThumbnailsIdx);
    const qint64 backgrounds = usageOf(list, kBackgroundsIdx) + usageOf(list, kBgThumbnailsIdx);

    m_series->clear();
    QPieSlice* free = m_series->append(QStringLiteral("Free"), qreal(kImageStoreBytes - used));
    free->setColor(QColor(0x00, 0x9F, 0x50));
    m_series->append(QStringLiteral("Info"), qreal(info));
    m_series->append(QStringLiteral("Logo"), qreal(logos));
    m_series->append(QStringLiteral("Bgrd"), qreal(backgrounds));

    const QString text = usageText(used);
    m_label->setText(text);
    // The chart draws its slices itself; a reader of the accessibility tree
    // gets the same figures in words.
    m_chartView->setAccessibleDescription(QStringLiteral("Free %1, Info %2, Logo %3, Bgrd %4 bytes")
                                              .arg(kImageStoreBytes - used)
                                              .arg(info)
                                              .arg(logos)
                                              .arg(backgrounds));
}
