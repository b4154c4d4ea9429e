// Money and decimal variables and procedure parameters past fifteen digits:
// held exactly between statements, bound back as the same number, handed
// out as their exact text.

#include "support/EmbeddedDb.h"

#include "db/DbError.h"
#include "db/Params.h"

#include <gtest/gtest.h>

namespace {

TEST(WideDecimalVariables, KeepEveryDigitFromStatementToStatement)
{
    EmbeddedDb db;
    EXPECT_EQ(db.rows("DECLARE @m money = '922337203685477.5807'\n"
                      "DECLARE @d decimal(38,2) = '12345678901234567.89'\n"
                      "SELECT @m, @d, @m - 1, @d + 1, @d * 2"),
              QStringList{"922337203685477.5807|12345678901234567.89|922337203685476.5807|12345678901234568.89|"
                          "24691357802469135.78"});
    // Assigned from an expression, from a SELECT, from another variable; the
    // difference of two neighbours shows no digit was lost on the way.
    EXPECT_EQ(db.scalar("DECLARE @d decimal(38,2) = '12345678901234567.89'\n"
                        "DECLARE @e decimal(38,2), @f decimal(38,2), @g decimal(38,2)\n"
                        "SET @e = @d + 0.01\nSELECT @f = @e + 0.01\nSET @g = @f\nSELECT @g - @d"),
              "0.02");
    // The variable's scale rounds, half away from zero, on the exact digits.
    EXPECT_EQ(db.scalar("DECLARE @d decimal(38,1) = '-12345678901234567.85'\nSELECT @d"), "-12345678901234567.9");
    EXPECT_EQ(db.scalar("DECLARE @n numeric(38) = '123456789012345678901234567.5'\nSELECT @n"),
              "123456789012345678901234568");
    // Up to fifteen digits a value stays the ordinary number it always was.
    const auto ordinary = db.open("DECLARE @m money = '12345678901.2345'\nSELECT @m * 2");
    EXPECT_EQ(ordinary->valueAt(0, 0).typeId(), QMetaType::Double);
    EXPECT_EQ(ordinary->valueAt(0, 0).toDouble(), 24691357802.469);
}

TEST(WideDecimalVariables, ProcedureParametersCarryThemInAndOut)
{
    EmbeddedDb db;
    db.exec("CREATE PROCEDURE Twice @amount money, @result money OUTPUT AS\nSET @result = @amount * 2");
    std::vector<db::ProcParam> params{
        {"@amount", db::ParamDirection::Input, QMetaType::QString, QStringLiteral("461168601842738.7903")},
        {"@result", db::ParamDirection::Output, QMetaType::QString, QVariant()},
    };
    db.connection().engine().callProcedure(QStringLiteral("Twice"), params);
    EXPECT_EQ(params[1].value.toString(), "922337203685477.5806");

    // Between procedures of one batch too.
    EXPECT_EQ(db.scalar("DECLARE @r money\nEXEC Twice '461168601842738.7903', @r OUTPUT\nSELECT @r + 0.0001"),
              "922337203685477.5807");
}

} // namespace
