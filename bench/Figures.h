#pragma once

// Timings collected per figure and printed as one table: the program's
// figure beside SQLite's own for the same statements, p50 and p90.

#include <QString>

#include <vector>

namespace bench {

struct Figure {
    QString name;
    std::vector<double> ms;     // the program, per run
    std::vector<double> rawMs;  // SQLite itself, per run; empty when not compared
    QString note;
};

double percentile(std::vector<double> values, double p);

class Table {
public:
    void add(Figure figure) { figures_.push_back(std::move(figure)); }
    void addValue(const QString& name, const QString& value) { values_.push_back({name, value}); }
    QString text(const QString& title) const;

private:
    std::vector<Figure> figures_;
    std::vector<std::pair<QString, QString>> values_;
};

} // namespace bench
