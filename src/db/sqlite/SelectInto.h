#pragma once

#include "SqlGenerator.h"
#include "TsqlAst.h"

// SELECT ... INTO table FROM ...: the table is made with the result's
// columns (names, types as SQL Server gives them, NULL-ability, and IDENTITY
// where a table's identity column is selected as it stands), then filled by
// the same SELECT.
namespace db::sqlite {

struct SelectIntoSteps {
    Stmt create;  // CREATE TABLE of the result's columns
    Stmt insert;  // INSERT INTO the table of the SELECT without its INTO
};

// `s` is a SELECT whose first block names the table to make.
SelectIntoSteps selectIntoSteps(const Stmt& s, const SqlGenerator& generator, const SchemaInfo& schema);

} // namespace db::sqlite
