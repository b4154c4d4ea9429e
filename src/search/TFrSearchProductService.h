#pragma once

#include "TFrSearch.h"

#include <functional>

// The product and service search: TFrSearch with the product's own filters
// (type, kind, group, attribute ranges, name, sizes), a statement chosen by
// the company's "SearchProductNo" layout, a picture panel and, for the
// manufacturing layouts, the production-order detail of the chosen row.
class TFrSearchProductService : public TFrSearch {
    Q_OBJECT
public:
    explicit TFrSearchProductService(QWidget* parent = nullptr);

    static TFrSearchProductService* instance();

    // A product type letter ("P", "B", "S", "M", "R", "A") fixing the type
    // choice, or empty to leave it free. Callers set it before each opening.
    QString ProductTypeFilter;

    // Opens the production-order detail of one product over a parent window.
    // The preview windows sit above the search dialogs, so start-up hands the
    // opener in rather than this window reaching up for it.
    using ProductionDetailOpener = std::function<void(const QString& productCode, QWidget* parent)>;
    static void setProductionDetailOpener(ProductionDetailOpener opener);
    static const ProductionDetailOpener& productionDetailOpener();
};

// The run's one product and service search.
extern TFrSearchProductService* FrSearchProductService;
