#pragma once

// The inquiry window on one company as start-up opens it: both data modules
// pointed at the company, the user's rights read, and every message the clerk
// would see collected instead of shown. Each test group prepares its own
// site first, then calls attach() and open(): the data modules are made in
// attach(), in the site's folder, as start-up makes them in the program's.

#include "config/TDMConfig.h"
#include "data/TDM.h"
#include "inquiry/TFrInquiryPrice.h"
#include "widgets/MessageBox.h"

#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <optional>

class InquiryFixture : public ::testing::Test {
protected:
    void attach(const char* company)
    {
        config.emplace();
        dm.emplace();
        DMConfig = &*config;
        DM = &*dm;
        config->GetCompanyConfig(company);
        dm->setDatabaseArgument(company);
        previousHandler = widgets::setMessageHandler([this](widgets::MessageKind, const QString& text) {
            messages.append(text);
            return true;
        });
        attached = true;
    }

    // Opens the window for a user and waits for its show step.
    TFrInquiryPrice& open(int user = 1)
    {
        config->CheckRight(12, user);
        window = std::make_unique<TFrInquiryPrice>();
        window->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        QTest::qWait(20);
        return *window;
    }

    void TearDown() override
    {
        window.reset();
        if (attached)
            widgets::setMessageHandler(previousHandler);
        DM = nullptr;
        DMConfig = nullptr;
        dm.reset();
        config.reset();
    }

    std::optional<TDMConfig> config;
    std::optional<TDM> dm;
    std::unique_ptr<TFrInquiryPrice> window;
    QStringList messages;

private:
    widgets::MessageHandler previousHandler;
    bool attached = false;
};
