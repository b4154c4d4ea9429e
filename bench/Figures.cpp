#include "Figures.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

namespace bench {

double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return std::nan("");
    std::sort(values.begin(), values.end());
    const size_t index = std::min(values.size() - 1, size_t(std::ceil(p * double(values.size()))) - (p > 0 ? 1 : 0));
    return values[index];
}

namespace {

QString ms(double v)
{
    if (std::isnan(v))
        return QStringLiteral("-");
    return QString::number(v, 'f', v < 10 ? 2 : 1);
}

} // namespace

QString Table::text(const QString& title) const
{
    QStringList lines{QStringLiteral("## ") + title, QString(),
                      QStringLiteral("| Figure | p50 ms | p90 ms | SQLite p50 ms | SQLite p90 ms | ratio p50 | runs |"),
                      QStringLiteral("| --- | ---: | ---: | ---: | ---: | ---: | ---: |")};
    for (const Figure& f : figures_) {
        const double p50 = percentile(f.ms, 0.5);
        const double raw50 = percentile(f.rawMs, 0.5);
        const QString ratio = f.rawMs.empty() || raw50 <= 0 ? QStringLiteral("-") : QString::number(p50 / raw50, 'f', 2);
        lines.append(QStringLiteral("| %1 | %2 | %3 | %4 | %5 | %6 | %7 |")
                         .arg(f.note.isEmpty() ? f.name : f.name + QStringLiteral(" (") + f.note + QLatin1Char(')'))
                         .arg(ms(p50), ms(percentile(f.ms, 0.9)), ms(raw50), ms(percentile(f.rawMs, 0.9)), ratio)
                         .arg(f.ms.size()));
    }
    for (const auto& [name, value] : values_)
        lines.append(QStringLiteral("| %1 | %2 | | | | | |").arg(name, value));
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

} // namespace bench
