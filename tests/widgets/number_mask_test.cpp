// Number pictures as the windows write totals: one picture for every sign,
// or a second one after ';' for negatives.

#include "widgets/NumberMask.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace {

const QLocale kUs(QLocale::English, QLocale::UnitedStates);

TEST(NumberMask, ASecondSectionWritesNegativesWithItsOwnSign)
{
    const QString twoSections = QStringLiteral("#,##0.##;-#,##0.##");
    EXPECT_EQ(formatNumber(twoSections, 1234567.891, kUs), "1,234,567.89");
    EXPECT_EQ(formatNumber(twoSections, -1234.5, kUs), "-1,234.5");
    EXPECT_EQ(formatNumber(twoSections, 0, kUs), "0");
    EXPECT_EQ(formatNumber(twoSections, -0.001, kUs), "0") << "a negative that rounds to zero has no sign";
    // The negative picture decides the sign's place and the digits.
    EXPECT_EQ(formatNumber(QStringLiteral("#,##0.00;(#,##0.00)"), -1234.5, kUs), "(1,234.50)");
    EXPECT_EQ(formatNumber(QStringLiteral("#,##0.00;(#,##0.00)"), 1234.5, kUs), "1,234.50");
}

TEST(NumberMask, OnePictureKeepsTheMinusInFront)
{
    EXPECT_EQ(formatNumber(QStringLiteral("#,##0.##"), -2, kUs), "-2");
    EXPECT_EQ(formatNumber(QStringLiteral(" #,###,##0.00 "), -1234.5, kUs), " -1,234.50 ");
}

TEST(NumberMask, EachPictureAndLocaleWritesItsOwnDigits)
{
    // Pictures are read once and kept; the separators still come from the
    // locale of each call, and similar pictures keep their differences.
    const QLocale german(QLocale::German, QLocale::Germany);
    const QString money = QStringLiteral("###,##0.00");
    EXPECT_EQ(formatNumber(money, 1234567.5, kUs), "1,234,567.50");
    EXPECT_EQ(formatNumber(money, 1234567.5, german), "1.234.567,50");
    EXPECT_EQ(formatNumber(money, 0.005, kUs), "0.01") << "half away from zero";
    EXPECT_EQ(formatNumber(money, -999.995, kUs), "-1,000.00");
    EXPECT_EQ(formatNumber(QStringLiteral("###,##0.##"), 12.5, kUs), "12.5");
    EXPECT_EQ(formatNumber(QStringLiteral("###,##0.##"), 12, kUs), "12");
    EXPECT_EQ(formatNumber(QStringLiteral("#.##"), 0.25, kUs), ".25") << "no integer digit asked for";
    EXPECT_EQ(formatNumber(QStringLiteral("00000.0"), 42, kUs), "00042.0");
    EXPECT_EQ(formatNumber(QStringLiteral("฿ #,##0 บาท"), 1500, kUs), "฿ 1,500 บาท");
    EXPECT_EQ(formatNumber(QStringLiteral("0"), -0.4, kUs), "0");
}

} // namespace
