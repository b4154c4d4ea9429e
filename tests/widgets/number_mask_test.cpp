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

} // namespace
