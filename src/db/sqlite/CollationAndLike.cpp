// The one text comparison of the engine (the MSSQL collation) and LIKE with
// the same folding.

#include "FunctionSupport.h"

#include <memory>
#include <vector>

namespace db::sqlite::fn {

int compareMssql(void*, int lenA, const void* dataA, int lenB, const void* dataB)
{
    const u8* a = static_cast<const u8*>(dataA);
    const u8* b = static_cast<const u8*>(dataB);
    const u8* endA = trimTrailingBlanks(a, a + lenA);
    const u8* endB = trimTrailingBlanks(b, b + lenB);
    while (a < endA && b < endB) {
        const u8 ca = *a;
        const u8 cb = *b;
        if ((ca | cb) < 0x80) {
            if (ca != cb) {
                const u8 la = kLower.table[ca];
                const u8 lb = kLower.table[cb];
                if (la != lb)
                    return la < lb ? -1 : 1;
            }
            ++a;
            ++b;
            continue;
        }
        const char32_t fa = foldChar(decodeUtf8(a, endA));
        const char32_t fb = foldChar(decodeUtf8(b, endB));
        if (fa != fb)
            return fa < fb ? -1 : 1;
    }
    if (a < endA)
        return 1;
    if (b < endB)
        return -1;
    return 0;
}

namespace {

struct LikeToken {
    enum Kind : std::uint8_t { Any, One, Char, Set } kind;
    bool negate = false;
    char32_t ch = 0;             // Char: the folded character
    std::uint32_t setBegin = 0;  // Set: its ranges in LikePattern::ranges
    std::uint32_t setEnd = 0;
};

struct LikePattern {
    std::string source;
    bool hasEscape = false;
    char32_t escape = 0;
    bool neverMatches = false;  // an unclosed '[' or a dangling escape character
    std::vector<LikeToken> tokens;
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive
};

std::unique_ptr<LikePattern> compileLike(std::string_view source, bool hasEscape, char32_t escape)
{
    auto pat = std::make_unique<LikePattern>();
    pat->source.assign(source);
    pat->hasEscape = hasEscape;
    pat->escape = escape;
    const u8* p = reinterpret_cast<const u8*>(source.data());
    const u8* e = p + source.size();
    while (p < e) {
        const char32_t c = decodeUtf8(p, e);
        if (hasEscape && c == escape) {
            if (p == e) {
                pat->neverMatches = true;
                break;
            }
            pat->tokens.push_back({LikeToken::Char, false, foldChar(decodeUtf8(p, e)), 0, 0});
        } else if (c == '%') {
            if (pat->tokens.empty() || pat->tokens.back().kind != LikeToken::Any)
                pat->tokens.push_back({LikeToken::Any, false, 0, 0, 0});
        } else if (c == '_') {
            pat->tokens.push_back({LikeToken::One, false, 0, 0, 0});
        } else if (c == '[') {
            LikeToken t{LikeToken::Set, false, 0, std::uint32_t(pat->ranges.size()), 0};
            if (p < e && *p == '^') {
                t.negate = true;
                ++p;
            }
            bool closed = false;
            bool first = true;
            while (p < e) {
                char32_t lo = decodeUtf8(p, e);
                if (lo == ']' && !first) {
                    closed = true;
                    break;
                }
                first = false;
                if (hasEscape && lo == escape && p < e)
                    lo = decodeUtf8(p, e);
                char32_t hi = lo;
                if (p + 1 < e && *p == '-' && p[1] != ']') {
                    ++p;
                    hi = decodeUtf8(p, e);
                    if (hasEscape && hi == escape && p < e)
                        hi = decodeUtf8(p, e);
                }
                pat->ranges.emplace_back(foldChar(lo), foldChar(hi));
            }
            if (!closed) {
                pat->neverMatches = true;
                break;
            }
            t.setEnd = std::uint32_t(pat->ranges.size());
            pat->tokens.push_back(t);
        } else {
            pat->tokens.push_back({LikeToken::Char, false, foldChar(c), 0, 0});
        }
    }
    return pat;
}

inline bool tokenMatches(const LikePattern& pat, const LikeToken& t, char32_t c)
{
    switch (t.kind) {
    case LikeToken::One:
        return true;
    case LikeToken::Char:
        return t.ch == c;
    case LikeToken::Set: {
        bool in = false;
        for (std::uint32_t i = t.setBegin; i < t.setEnd && !in; ++i)
            in = c >= pat.ranges[i].first && c <= pat.ranges[i].second;
        return in != t.negate;
    }
    case LikeToken::Any:
        break;
    }
    return false;
}

// Every token but '%' takes exactly one character, so the classic greedy
// matcher that only backtracks to the last '%' is exact. Trailing blanks of
// the value are optional: the match may end anywhere inside them.
bool likeMatch(const LikePattern& pat, const u8* s, const u8* e)
{
    if (pat.neverMatches)
        return false;
    const u8* trimmed = trimTrailingBlanks(s, e);
    const std::size_t m = pat.tokens.size();
    std::size_t p = 0;
    const u8* v = s;
    std::size_t starP = std::size_t(-1);
    const u8* starV = nullptr;
    for (;;) {
        if (p < m && pat.tokens[p].kind == LikeToken::Any) {
            if (p + 1 == m)
                return true;
            starP = p++;
            starV = v;
            continue;
        }
        if (p == m) {
            if (v >= trimmed)
                return true;
        } else if (v < e) {
            const u8* next = v;
            const char32_t c = nextFolded(next, e);
            if (tokenMatches(pat, pat.tokens[p], c)) {
                v = next;
                ++p;
                continue;
            }
        } else {
            return false;  // out of characters: a later start cannot do better
        }
        if (starP == std::size_t(-1) || starV >= e)
            return false;
        skipChar(starV, e);
        v = starV;
        p = starP + 1;
    }
}

void deleteLikePattern(void* p) { delete static_cast<LikePattern*>(p); }

void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv)
{
    TextArg value, pattern;
    textOf(argv[0], value);
    textOf(argv[1], pattern);
    bool hasEscape = false;
    char32_t escape = 0;
    if (argc == 3) {
        TextArg esc;
        textOf(argv[2], esc);
        const u8* p = esc.begin();
        if (esc.n > 0)
            escape = decodeUtf8(p, esc.end());
        if (esc.n == 0 || p != esc.end()) {
            fail(ctx, "The invalid escape character \"" + std::string(esc.view())
                     + "\" was specified in a LIKE predicate.");
            return;
        }
        hasEscape = true;
    }
    // The compiled pattern is kept with the statement while the pattern
    // argument stays the same (the usual constant); it is checked against the
    // text anyway, which costs less than compiling it per row.
    auto* cached = static_cast<LikePattern*>(sqlite3_get_auxdata(ctx, 1));
    std::unique_ptr<LikePattern> fresh;
    const LikePattern* pat = cached;
    if (!cached || cached->hasEscape != hasEscape || cached->escape != escape
        || cached->source != pattern.view()) {
        fresh = compileLike(pattern.view(), hasEscape, escape);
        pat = fresh.get();
    }
    sqlite3_result_int(ctx, likeMatch(*pat, value.begin(), value.end()) ? 1 : 0);
    if (fresh)
        sqlite3_set_auxdata(ctx, 1, fresh.release(), deleteLikePattern);
}

} // namespace

std::span<const FunctionDef> likeFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_like", 2, nullIn<fnLike>, true},
    {"ms_like", 3, nullIn<fnLike>, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
