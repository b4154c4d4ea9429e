#pragma once

#include <QVariant>

#include <optional>

// Money and decimal variables and parameters of scripts and procedures hold
// their values exactly: up to 15 digits as a double (as every such value
// travels), past that as the wide value's bytes, which bind back into a
// statement as the same number.
namespace db::sqlite {

// `value` rounded to `scale` decimals as a decimal or money variable keeps
// it; nullopt when it is no number the exact reading takes (the caller's
// general conversion then reports it).
std::optional<QVariant> exactDecimalValue(const QVariant& value, int scale);

// What leaves the engine, or goes to code that reads values as Qt's types:
// a wide value as its exact text, anything else as it is.
QVariant publicValue(const QVariant& value);

} // namespace db::sqlite
