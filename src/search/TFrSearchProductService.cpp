#include "TFrSearchProductService.h"

#include "widgets/GlobalWindows.h"

TFrSearchProductService* FrSearchProductService = nullptr;

namespace {
TFrSearchProductService::ProductionDetailOpener& opener()
{
    static TFrSearchProductService::ProductionDetailOpener theOpener;
    return theOpener;
}
} // namespace

TFrSearchProductService::TFrSearchProductService(QWidget* parent) : TFrSearch(parent)
{
    setObjectName(QStringLiteral("TFrSearchProductService"));
}

TFrSearchProductService* TFrSearchProductService::instance()
{
    return widgets::globalWindow(FrSearchProductService);
}

void TFrSearchProductService::setProductionDetailOpener(ProductionDetailOpener newOpener)
{
    opener() = std::move(newOpener);
}

const TFrSearchProductService::ProductionDetailOpener& TFrSearchProductService::productionDetailOpener()
{
    return opener();
}
