// The one text comparison of the engine (the MSSQL collation) and LIKE with
// the same folding; LIKE's [a-z] ranges follow the collation's order.

#include "FunctionSupport.h"

#include <unicode/ucol.h>

#include <cstdlib>

#include <memory>
#include <vector>

namespace db::sqlite::fn {

namespace {

// Thai dictionary order from ICU, as a Thai SQL Server site compares text:
// case-insensitive, accent-sensitive, leading vowels read after their
// consonant, punctuation and blanks significant (so 'A-1' and 'A1' stay two
// codes). ucol_strcoll only reads the collator, so one serves every thread.
const UCollator* collator()
{
    static UCollator* const c = [] {
        UErrorCode status = U_ZERO_ERROR;
        UCollator* made = ucol_open("th", &status);
        ucol_setStrength(made, UCOL_SECONDARY);
        ucol_setAttribute(made, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
        // Latin before Thai, as SQL Server's Thai collation has them (ICU's
        // Thai tailoring would put Thai first).
        const int32_t noReordering = UCOL_REORDER_CODE_NONE;
        ucol_setReorderCodes(made, &noReordering, 1, &status);
        if (U_FAILURE(status))
            std::abort();  // the ICU data of the system is missing: nothing can be compared
        return made;
    }();
    return c;
}

// Blanks, digits and Latin letters: the collator orders them as their
// case-folded codes (blank < digits < letters), so text made of nothing else
// needs no trip through ICU.
inline bool isPlain(u8 c)
{
    return c == ' ' || (c >= '0' && c <= '9') || ((c | 0x20) >= 'a' && (c | 0x20) <= 'z');
}

int collate(const u8* a, const u8* endA, const u8* b, const u8* endB)
{
    UErrorCode status = U_ZERO_ERROR;
    const UCollationResult r = ucol_strcollUTF8(collator(), reinterpret_cast<const char*>(a), int32_t(endA - a),
                                                reinterpret_cast<const char*>(b), int32_t(endB - b), &status);
    return r == UCOL_LESS ? -1 : r == UCOL_GREATER ? 1 : 0;
}

} // namespace

std::string collationVersion()
{
    UVersionInfo v;
    ucol_getVersion(collator(), v);
    char text[U_MAX_VERSION_STRING_LENGTH];
    u_versionToString(v, text);
    return std::string("thai-ci-as-icu-") + text;
}

int compareMssql(void*, int lenA, const void* dataA, int lenB, const void* dataB)
{
    const u8* a = static_cast<const u8*>(dataA);
    const u8* b = static_cast<const u8*>(dataB);
    const u8* endA = trimTrailingBlanks(a, a + lenA);
    const u8* endB = trimTrailingBlanks(b, b + lenB);
    const u8* p = a;
    const u8* q = b;
    while (p < endA && q < endB) {
        if (!isPlain(*p) || !isPlain(*q))
            return collate(a, endA, b, endB);
        const u8 la = kLower.table[*p];
        const u8 lb = kLower.table[*q];
        if (la != lb) {
            // The rest decides nothing unless it holds text the collator
            // ranks differently (an accent, Thai) at an earlier level.
            for (const u8* r = p; r < endA; ++r)
                if (!isPlain(*r))
                    return collate(a, endA, b, endB);
            for (const u8* r = q; r < endB; ++r)
                if (!isPlain(*r))
                    return collate(a, endA, b, endB);
            return la < lb ? -1 : 1;
        }
        ++p;
        ++q;
    }
    if (p < endA || q < endB) {
        const u8* rest = p < endA ? p : q;
        const u8* end = p < endA ? endA : endB;
        for (; rest < end; ++rest)
            if (!isPlain(*rest))
                return collate(a, endA, b, endB);
        return p < endA ? 1 : -1;
    }
    return 0;
}

namespace {

int compareCharacters(char32_t a, char32_t b)
{
    if (a < 0x80 && b < 0x80 && isPlain(u8(a)) && isPlain(u8(b)))
        return kLower.table[a] < kLower.table[b] ? -1 : kLower.table[a] > kLower.table[b] ? 1 : 0;
    std::string x, y;
    appendUtf8(x, a);
    appendUtf8(y, b);
    const auto* px = reinterpret_cast<const u8*>(x.data());
    const auto* py = reinterpret_cast<const u8*>(y.data());
    return collate(px, px + x.size(), py, py + y.size());
}

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
    std::vector<std::pair<char32_t, char32_t>> ranges;  // folded, inclusive, in the collation's order
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
            in = pat.ranges[i].first == pat.ranges[i].second
                ? c == pat.ranges[i].first
                : compareCharacters(pat.ranges[i].first, c) <= 0 && compareCharacters(c, pat.ranges[i].second) <= 0;
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

void fnLikeFold(sqlite3_context* ctx, int, sqlite3_value** argv)
{
    TextArg value;
    textOf(argv[0], value);
    const std::string folded = foldForLike(value.view());
    sqlite3_result_text(ctx, folded.data(), int(folded.size()), SQLITE_TRANSIENT);
}

} // namespace

std::string foldForLike(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    const u8* p = reinterpret_cast<const u8*>(text.data());
    const u8* e = p + text.size();
    while (p < e)
        appendUtf8(out, nextFolded(p, e));
    return out;
}

std::span<const FunctionDef> likeFunctions()
{
    static const FunctionDef rows[] = {
    {"ms_like", 2, nullIn<fnLike>, true},
    {"ms_like", 3, nullIn<fnLike>, true},
    {"ms_like_fold", 1, nullIn<fnLikeFold>, true},
    };
    return rows;
}

} // namespace db::sqlite::fn
