// What SQL Server's catalog functions need beyond the catalog views: the
// object name inside a written name such as 'dbo.Orders' or '[dbo].[Order Details]'.

#include "FunctionSupport.h"

namespace db::sqlite::fn {
namespace {

// The last part of a dotted name, its brackets or double quotes removed.
// Dots inside brackets or quotes belong to the name.
std::string objectPart(std::string_view written)
{
    std::string part;
    char closing = 0;
    for (std::size_t i = 0; i < written.size(); ++i) {
        const char c = written[i];
        if (closing) {
            if (c == closing && i + 1 < written.size() && written[i + 1] == closing) {
                part.push_back(c);
                ++i;
            } else if (c == closing) {
                closing = 0;
            } else {
                part.push_back(c);
            }
        } else if (c == '[') {
            closing = ']';
        } else if (c == '"') {
            closing = '"';
        } else if (c == '.') {
            part.clear();
        } else {
            part.push_back(c);
        }
    }
    const auto first = part.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : part.substr(first, part.find_last_not_of(' ') - first + 1);
}

void fnObjectName(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    TextArg t;
    textOf(argv[0], t);
    resultText(ctx, objectPart(t.view()));
}

} // namespace

std::span<const FunctionDef> catalogFunctions()
{
    static const FunctionDef rows[] = {
        {"ms_object_name", 1, nullIn<fnObjectName>, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
