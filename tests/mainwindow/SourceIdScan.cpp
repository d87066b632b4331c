#include "SourceIdScan.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>

namespace idscan {

namespace {

namespace fs = std::filesystem;

// ---- tokens ----------------------------------------------------------------

struct Token {
    enum Kind { Ident, Number, String, Punct } kind = Punct;
    std::string text;                  // a string literal's contents, without the quotes
    std::optional<std::int64_t> value; // an integer literal's value
    int line = 0;
};
using Tokens = std::vector<Token>;

bool isIdentStart(char c)
{
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_';
}

bool isIdentChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) != 0 || c == '_';
}

std::optional<std::int64_t> integerValue(std::string text)
{
    text.erase(std::remove(text.begin(), text.end(), '\''), text.end());
    while (!text.empty() && std::strchr("uUlL", text.back()) != nullptr)
        text.pop_back();
    if (text.empty())
        return std::nullopt;
    int base = 10;
    std::size_t start = 0;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        base = 16;
        start = 2;
    } else if (text.size() > 2 && text[0] == '0' && (text[1] == 'b' || text[1] == 'B')) {
        base = 2;
        start = 2;
    } else if (text.size() > 1 && text[0] == '0') {
        base = 8;
        start = 1;
    }
    std::int64_t v = 0;
    for (std::size_t i = start; i < text.size(); ++i) {
        const char c = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i])));
        int d = -1;
        if (c >= '0' && c <= '9')
            d = c - '0';
        else if (c >= 'a' && c <= 'f')
            d = c - 'a' + 10;
        if (d < 0 || d >= base)
            return std::nullopt; // a floating literal, or no number at all
        v = v * base + d;
        if (v > (std::int64_t{1} << 40))
            return std::nullopt;
    }
    return v;
}

struct Lexed {
    Tokens tokens;
    std::vector<std::string> includes;
};

Lexed lex(const std::string &src)
{
    Lexed out;
    int line = 1;
    bool lineStart = true;
    std::size_t i = 0;
    const std::size_t n = src.size();
    const auto at = [&](std::size_t k) { return k < n ? src[k] : '\0'; };
    const auto push = [&](Token::Kind kind, std::string text, std::optional<std::int64_t> value = std::nullopt) {
        out.tokens.push_back(Token{kind, std::move(text), value, line});
    };
    // A string literal starting at the quote at i; raw: R"delim( ... )delim".
    const auto lexString = [&](bool raw) {
        const int startLine = line;
        std::string text;
        if (raw) {
            const std::size_t open = src.find('(', i);
            const std::string delim = ")" + src.substr(i + 1, open - i - 1) + "\"";
            const std::size_t close = src.find(delim, open);
            text = src.substr(open + 1, close - open - 1);
            line += static_cast<int>(std::count(text.begin(), text.end(), '\n'));
            i = close + delim.size();
        } else {
            ++i;
            while (i < n && src[i] != '"') {
                if (src[i] == '\\' && i + 1 < n) {
                    text += src[i];
                    ++i;
                }
                if (src[i] == '\n')
                    ++line;
                text += src[i];
                ++i;
            }
            ++i;
        }
        out.tokens.push_back(Token{Token::String, text, std::nullopt, startLine});
    };
    static const char *const punct3[] = {"...", "<=>", "->*"};
    static const char *const punct2[] = {"::", "->", "++", "--", "<<", ">>", "<=", ">=", "==", "!=", "&&",
                                         "||", "+=", "-=", "*=", "/=", "|=", "&=", "^=", "%=", ".*"};
    while (i < n) {
        const char c = src[i];
        if (c == '\n') {
            ++line;
            lineStart = true;
            ++i;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(c)) != 0) {
            ++i;
            continue;
        }
        if (c == '/' && at(i + 1) == '/') {
            while (i < n && src[i] != '\n')
                ++i;
            continue;
        }
        if (c == '/' && at(i + 1) == '*') {
            const std::size_t end = src.find("*/", i + 2);
            const std::size_t stop = end == std::string::npos ? n : end + 2;
            line += static_cast<int>(std::count(src.begin() + static_cast<std::ptrdiff_t>(i),
                                                src.begin() + static_cast<std::ptrdiff_t>(stop), '\n'));
            i = stop;
            continue;
        }
        if (c == '#' && lineStart) {
            std::string directive;
            while (i < n && src[i] != '\n') {
                if (src[i] == '\\' && at(i + 1) == '\n') {
                    ++line;
                    i += 2;
                    continue;
                }
                directive += src[i];
                ++i;
            }
            std::istringstream words(directive.substr(1));
            std::string word;
            words >> word;
            if (word == "include") {
                const std::size_t q1 = directive.find('"');
                const std::size_t q2 = q1 == std::string::npos ? q1 : directive.find('"', q1 + 1);
                if (q2 != std::string::npos)
                    out.includes.push_back(fs::path(directive.substr(q1 + 1, q2 - q1 - 1)).filename().string());
            }
            continue;
        }
        lineStart = false;
        if (isIdentStart(c)) {
            std::size_t j = i;
            while (j < n && isIdentChar(src[j]))
                ++j;
            const std::string word = src.substr(i, j - i);
            static const char *const prefixes[] = {"u8", "u", "U", "L", "R", "u8R", "uR", "UR", "LR"};
            const bool prefix = std::find_if(std::begin(prefixes), std::end(prefixes),
                                             [&](const char *p) { return word == p; }) != std::end(prefixes);
            if (prefix && at(j) == '"') {
                i = j;
                lexString(word.back() == 'R');
                continue;
            }
            if (prefix && at(j) == '\'') {
                i = j;
                continue; // the character literal follows
            }
            push(Token::Ident, word);
            i = j;
            continue;
        }
        if (std::isdigit(static_cast<unsigned char>(c)) != 0 ||
            (c == '.' && std::isdigit(static_cast<unsigned char>(at(i + 1))) != 0)) {
            std::size_t j = i + 1;
            while (j < n) {
                const char d = src[j];
                if (isIdentChar(d) || d == '.')
                    ++j;
                else if (d == '\'' && isIdentChar(at(j + 1)))
                    ++j;
                else if ((d == '+' || d == '-') && std::strchr("eEpP", src[j - 1]) != nullptr &&
                         src.compare(i, 2, "0x") != 0)
                    ++j;
                else
                    break;
            }
            const std::string text = src.substr(i, j - i);
            push(Token::Number, text, integerValue(text));
            i = j;
            continue;
        }
        if (c == '"') {
            lexString(false);
            continue;
        }
        if (c == '\'') {
            std::size_t j = i + 1;
            while (j < n && src[j] != '\'') {
                if (src[j] == '\\')
                    ++j;
                ++j;
            }
            push(Token::Number, src.substr(i, j + 1 - i));
            i = j + 1;
            continue;
        }
        std::string p;
        for (const char *candidate : punct3) {
            if (src.compare(i, 3, candidate) == 0)
                p = candidate;
        }
        if (p.empty()) {
            for (const char *candidate : punct2) {
                if (src.compare(i, 2, candidate) == 0)
                    p = candidate;
            }
        }
        if (p.empty())
            p = std::string(1, c);
        push(Token::Punct, p);
        i += p.size();
    }
    return out;
}

bool is(const Token &t, const char *text)
{
    return t.kind != Token::String && t.text == text;
}

// +1 for a bracket that opens, -1 for one that closes, 0 for any other token.
int bracketStep(const Token &t)
{
    if (t.kind != Token::Punct)
        return 0;
    if (t.text == "(" || t.text == "[" || t.text == "{")
        return 1;
    if (t.text == ")" || t.text == "]" || t.text == "}")
        return -1;
    return 0;
}

std::string joined(Tokens::const_iterator begin, Tokens::const_iterator end)
{
    std::string out;
    bool lastWord = false;
    for (auto it = begin; it != end; ++it) {
        const bool word = it->kind == Token::Ident || it->kind == Token::Number;
        if (word && lastWord)
            out += ' ';
        out += it->kind == Token::String ? "\"" + it->text + "\"" : it->text;
        lastWord = word;
    }
    return out;
}

std::string joined(const Tokens &tokens)
{
    return joined(tokens.begin(), tokens.end());
}

// The index of the token closing the bracket opened at `open`, or tokens.size().
std::size_t matching(const Tokens &t, std::size_t open)
{
    int depth = 0;
    for (std::size_t k = open; k < t.size(); ++k) {
        const int step = bracketStep(t[k]);
        depth += step;
        if (step < 0 && depth == 0)
            return k;
    }
    return t.size();
}

// The index just past the template argument list opened at `open` ("<").
std::size_t pastAngles(const Tokens &t, std::size_t open)
{
    int depth = 0;
    for (std::size_t k = open; k < t.size(); ++k) {
        if (is(t[k], "<"))
            ++depth;
        else if (is(t[k], ">"))
            --depth;
        else if (is(t[k], ">>"))
            depth -= 2;
        else if (is(t[k], "(") || is(t[k], "[") || is(t[k], "{"))
            k = matching(t, k);
        else if (is(t[k], ";"))
            return t.size();
        if (depth <= 0)
            return k + 1;
    }
    return t.size();
}

// The parts of tokens [begin, end) between top-level commas.
std::vector<Tokens> splitCommas(const Tokens &t, std::size_t begin, std::size_t end, bool angles = false)
{
    std::vector<Tokens> parts;
    Tokens current;
    int depth = 0;
    for (std::size_t k = begin; k < end; ++k) {
        const Token &tok = t[k];
        if (tok.kind == Token::Punct) {
            const std::string &s = tok.text;
            if (s == "(" || s == "[" || s == "{" || (angles && s == "<"))
                ++depth;
            else if (s == ")" || s == "]" || s == "}" || (angles && s == ">"))
                --depth;
            else if (angles && s == ">>")
                depth -= 2;
            else if (s == "," && depth == 0) {
                parts.push_back(std::move(current));
                current.clear();
                continue;
            }
        }
        current.push_back(tok);
    }
    if (!current.empty())
        parts.push_back(std::move(current)); // a trailing comma adds no element
    return parts;
}

// The elements of a braced list "{ a, b, c }" filling the whole of t, or nothing.
std::optional<std::vector<Tokens>> bracedElements(const Tokens &t)
{
    std::size_t open = 0;
    // A list may be named by its type: QVariantList{...}.
    if (t.size() >= 2 && t[0].kind == Token::Ident && is(t[1], "{"))
        open = 1;
    if (t.size() < open + 2 || !is(t[open], "{") || matching(t, open) != t.size() - 1)
        return std::nullopt;
    return splitCommas(t, open + 1, t.size() - 1);
}

// ---- the program's constants -------------------------------------------

struct SourceFile {
    std::string path;
    Tokens tokens;
    std::vector<std::string> includes;
};

struct Def {
    // Range: a counted loop's variable, parts[0] to parts[1] (inclusive
    // when the third part is 1).
    // Each: a loop's variable over a constant array, parts[0] naming it.
    enum Kind { Scalar, Array, Aggregate, Range, Each } kind = Scalar;
    std::string name;
    std::vector<std::string> scope; // the named namespaces and classes around it, outermost first
    std::string function;           // the function it is local to, if any
    const SourceFile *file = nullptr;
    std::size_t position = 0; // its token in the file
    std::string type;         // the declared type's last name
    std::vector<Tokens> parts;
};

struct StructDef {
    std::string name;
    std::vector<std::string> fields;
    const SourceFile *file = nullptr;
};

struct Context {
    const SourceFile *file = nullptr;
    std::string function;
    std::size_t position = static_cast<std::size_t>(-1); // where the name is used
};

struct RawSite {
    Context where;
    int line = 0;
    std::vector<std::string> params; // the enclosing function's parameter names
    const Taker *taker = nullptr;
    std::vector<Tokens> args;
};

using IdSet = std::set<std::int64_t>;

class Index {
public:
    std::vector<std::unique_ptr<SourceFile>> files;
    std::multimap<std::string, Def> defs;
    std::multimap<std::string, StructDef> structs;
    std::map<std::string, const SourceFile *> byName;
    std::map<const SourceFile *, std::set<const SourceFile *>> closures;

    const std::set<const SourceFile *> &closure(const SourceFile *file)
    {
        auto it = closures.find(file);
        if (it != closures.end())
            return it->second;
        std::set<const SourceFile *> seen;
        std::vector<const SourceFile *> todo{file};
        while (!todo.empty()) {
            const SourceFile *f = todo.back();
            todo.pop_back();
            if (!seen.insert(f).second)
                continue;
            for (const std::string &inc : f->includes) {
                const auto found = byName.find(inc);
                if (found != byName.end())
                    todo.push_back(found->second);
            }
        }
        return closures.emplace(file, std::move(seen)).first->second;
    }

    static std::string stem(const std::string &path) { return fs::path(path).stem().string(); }

    // The definitions a name may refer to from `where`: a local constant of
    // the same function first, then one of the same file, of the file's own
    // header, of any header it includes (the nearest of these only).
    std::vector<const Def *> candidates(const std::vector<std::string> &qualifiers, const std::string &name,
                                        const Context &where)
    {
        const auto &visible = closure(where.file);
        std::vector<std::pair<int, const Def *>> found;
        const auto range = defs.equal_range(name);
        for (auto it = range.first; it != range.second; ++it) {
            const Def &d = it->second;
            if (!d.function.empty() &&
                (d.file != where.file || d.function != where.function || d.position >= where.position))
                continue;
            if (d.file != where.file && visible.count(d.file) == 0)
                continue;
            if (!qualifiers.empty()) {
                std::vector<std::string> named;
                for (const std::string &s : d.scope) {
                    if (!s.empty())
                        named.push_back(s);
                }
                if (named.size() < qualifiers.size() ||
                    !std::equal(qualifiers.rbegin(), qualifiers.rend(), named.rbegin()))
                    continue;
            }
            int tier = 3;
            if (!d.function.empty())
                tier = 0;
            else if (d.file == where.file)
                tier = 1;
            else if (stem(d.file->path) == stem(where.file->path))
                tier = 2;
            found.emplace_back(tier, &d);
        }
        std::vector<const Def *> best;
        if (found.empty())
            return best;
        const int tier = std::min_element(found.begin(), found.end())->first;
        for (const auto &[t, d] : found) {
            if (t == tier)
                best.push_back(d);
        }
        if (tier == 0) {
            // A local name: the definition nearest before the use.
            const Def *nearest = *std::max_element(
                best.begin(), best.end(), [](const Def *a, const Def *b) { return a->position < b->position; });
            best = {nearest};
        }
        return best;
    }

    // The values of a name; nothing when it names no constant or when the
    // nearest definitions disagree.
    std::optional<IdSet> resolve(const std::vector<std::string> &qualifiers, const std::string &name,
                                 const Context &where, int depth)
    {
        std::optional<IdSet> value;
        for (const Def *d : candidates(qualifiers, name, where)) {
            const auto v = valueOf(*d, depth);
            if (!v || (value && *value != *v))
                return std::nullopt;
            value = v;
        }
        return value;
    }

    // The one definition a name refers to, or none.
    const Def *findDef(const std::vector<std::string> &qualifiers, const std::string &name, const Context &where)
    {
        const auto found = candidates(qualifiers, name, where);
        return found.size() == 1 ? found.front() : nullptr;
    }

    std::optional<IdSet> valueOf(const Def &d, int depth)
    {
        const Context ctx{d.file, d.function, d.position};
        if (d.kind == Def::Scalar || (d.kind == Def::Aggregate && d.parts.size() == 1))
            return evaluate(d.parts.front(), ctx, depth + 1);
        if (d.kind == Def::Each) {
            const Def *array = eachArray(d);
            return array != nullptr ? valueOf(*array, depth + 1) : std::nullopt;
        }
        if (d.kind == Def::Range) {
            const auto lo = evaluate(d.parts[0], ctx, depth + 1);
            const auto hi = evaluate(d.parts[1], ctx, depth + 1);
            const auto inclusive = evaluate(d.parts[2], ctx, depth + 1);
            if (!lo || !hi || !inclusive || lo->size() != 1 || hi->size() != 1 || *hi->begin() - *lo->begin() > 1000)
                return std::nullopt;
            IdSet all;
            for (std::int64_t v = *lo->begin(); v < *hi->begin() + (*inclusive->begin() == 1 ? 1 : 0); ++v)
                all.insert(v);
            return all;
        }
        if (d.kind == Def::Array) {
            IdSet all;
            for (const Tokens &part : d.parts) {
                const auto v = evaluate(part, ctx, depth + 1);
                if (!v)
                    return std::nullopt;
                all.insert(v->begin(), v->end());
            }
            return all;
        }
        return std::nullopt;
    }

    // The constant array a loop variable runs over.
    const Def *eachArray(const Def &d)
    {
        const Tokens &t = d.parts.front();
        if (t.empty() || t.back().kind != Token::Ident)
            return nullptr;
        std::vector<std::string> qualifiers;
        for (std::size_t k = 0; k + 2 < t.size(); k += 2)
            qualifiers.push_back(t[k].text);
        const Def *array = findDef(qualifiers, t.back().text, Context{d.file, d.function, d.position});
        return array != nullptr && array->kind == Def::Array ? array : nullptr;
    }

    std::optional<IdSet> fieldOf(const std::string &type, const Tokens &aggregate, const std::string &field,
                                 const Context &ctx, int depth)
    {
        std::optional<std::vector<Tokens>> elements =
            is(aggregate.front(), "{") ? bracedElements(aggregate) : std::vector<Tokens>{aggregate};
        if (!elements)
            return std::nullopt;
        const auto range = structs.equal_range(type);
        for (auto it = range.first; it != range.second; ++it) {
            const auto &fields = it->second.fields;
            const auto f = std::find(fields.begin(), fields.end(), field);
            if (f == fields.end())
                continue;
            const auto index = static_cast<std::size_t>(f - fields.begin());
            if (index >= elements->size())
                return std::nullopt;
            return evaluate((*elements)[index], ctx, depth + 1);
        }
        return std::nullopt;
    }

    std::optional<IdSet> evaluate(const Tokens &t, const Context &ctx, int depth = 0);
};

bool isIntegerType(const std::string &name)
{
    static const std::set<std::string> names = {
        "int",      "long",     "short",  "unsigned", "int8_t", "int16_t", "int32_t", "int64_t", "uint8_t",  "uint16_t",
        "uint32_t", "uint64_t", "size_t", "qint16",   "qint32", "qint64",  "quint16", "quint32", "qsizetype"};
    return names.count(name) != 0;
}

// A small evaluator of integer expressions: literals, named constants,
// + - * / %, unary minus, parentheses, casts, a ?: choice (both branches),
// an element of a constant array (any element) and a field of a constant
// aggregate.
class Evaluator {
public:
    Evaluator(Index &index, const Tokens &t, const Context &ctx, int depth)
        : m_Index(index), m_T(t), m_Ctx(ctx), m_Depth(depth)
    {
    }

    std::optional<IdSet> full(std::size_t begin, std::size_t end)
    {
        if (m_Depth > 40 || begin >= end)
            return std::nullopt;
        // A choice: the condition is not evaluated, both branches count.
        int depth = 0;
        for (std::size_t k = begin; k < end; ++k) {
            depth += bracketStep(m_T[k]);
            if (depth != 0 || m_T[k].kind != Token::Punct || m_T[k].text != "?")
                continue;
            int nested = 0;
            int d2 = 0;
            for (std::size_t j = k + 1; j < end; ++j) {
                d2 += bracketStep(m_T[j]);
                if (d2 != 0 || m_T[j].kind != Token::Punct)
                    continue;
                if (m_T[j].text == "?")
                    ++nested;
                else if (m_T[j].text == ":" && nested-- == 0) {
                    auto a = full(k + 1, j);
                    auto b = full(j + 1, end);
                    if (!a || !b)
                        return std::nullopt;
                    a->insert(b->begin(), b->end());
                    return a;
                }
            }
            return std::nullopt;
        }
        m_P = begin;
        m_End = end;
        auto v = additive();
        if (!v || m_P != m_End)
            return std::nullopt;
        return v;
    }

private:
    bool next(const char *s) const { return m_P < m_End && is(m_T[m_P], s); }

    static std::optional<IdSet> combine(const std::optional<IdSet> &a, const std::optional<IdSet> &b, char op)
    {
        if (!a || !b || a->size() * b->size() > 100000)
            return std::nullopt;
        IdSet out;
        for (const std::int64_t x : *a) {
            for (const std::int64_t y : *b) {
                if ((op == '/' || op == '%') && y == 0)
                    return std::nullopt;
                out.insert(op == '+' ? x + y : op == '-' ? x - y : op == '*' ? x * y : op == '/' ? x / y : x % y);
            }
        }
        return out;
    }

    std::optional<IdSet> additive()
    {
        auto v = term();
        while (v && (next("+") || next("-"))) {
            const char op = m_T[m_P++].text[0];
            v = combine(v, term(), op);
        }
        return v;
    }

    std::optional<IdSet> term()
    {
        auto v = unary();
        while (v && (next("*") || next("/") || next("%"))) {
            const char op = m_T[m_P++].text[0];
            v = combine(v, unary(), op);
        }
        return v;
    }

    std::optional<IdSet> unary()
    {
        if (next("-")) {
            ++m_P;
            return combine(IdSet{0}, unary(), '-');
        }
        if (next("+")) {
            ++m_P;
            return unary();
        }
        return primary();
    }

    // The field named after the "." at m_P (m_P moved past it) in every item
    // of def, an array or an aggregate of type def.type: the ids of them all,
    // or nothing when an item lacks a value for it.
    std::optional<IdSet> fieldOfEvery(const Def &def, const std::vector<Tokens> &items)
    {
        ++m_P;
        if (m_P >= m_End || m_T[m_P].kind != Token::Ident)
            return std::nullopt;
        const std::string field = m_T[m_P++].text;
        IdSet all;
        for (const Tokens &item : items) {
            if (item.empty())
                return std::nullopt;
            const auto v =
                m_Index.fieldOf(def.type, item, field, Context{def.file, def.function, def.position}, m_Depth + 1);
            if (!v)
                return std::nullopt;
            all.insert(v->begin(), v->end());
        }
        return all;
    }

    // The expression in the brackets opened at m_P, m_P moved past them.
    std::optional<IdSet> bracketed()
    {
        const std::size_t close = matching(m_T, m_P);
        if (close >= m_End)
            return std::nullopt;
        Evaluator inner(m_Index, m_T, m_Ctx, m_Depth + 1);
        auto v = inner.full(m_P + 1, close);
        m_P = close + 1;
        return v;
    }

    std::optional<IdSet> primary()
    {
        if (m_P >= m_End)
            return std::nullopt;
        const Token &tok = m_T[m_P];
        if (tok.kind == Token::Number) {
            ++m_P;
            if (!tok.value)
                return std::nullopt;
            return IdSet{*tok.value};
        }
        if (is(tok, "("))
            return bracketed();
        if (tok.kind != Token::Ident)
            return std::nullopt;
        if (tok.text == "static_cast") {
            m_P = pastAngles(m_T, m_P + 1);
            if (!next("("))
                return std::nullopt;
            return bracketed();
        }
        // A qualified name.
        std::vector<std::string> names{tok.text};
        ++m_P;
        while (next("::") && m_P + 1 < m_End && m_T[m_P + 1].kind == Token::Ident) {
            names.push_back(m_T[m_P + 1].text);
            m_P += 2;
        }
        if (isIntegerType(names.back())) {
            if (next("(") || next("{"))
                return bracketed();
            return std::nullopt;
        }
        const std::string name = names.back();
        names.pop_back();
        if (names.size() == 1 && names.front() == "std")
            names.clear();
        if (next("[") || next(".")) {
            // An element of a constant array, a field of a constant aggregate.
            const Def *def = m_Index.findDef(names, name, m_Ctx);
            if (def != nullptr && def->kind == Def::Each && next(".")) {
                def = m_Index.eachArray(*def); // a field of the element the loop is at: of any element
                if (def == nullptr)
                    return std::nullopt;
                return fieldOfEvery(*def, def->parts);
            }
            if (def == nullptr)
                return std::nullopt;
            std::vector<Tokens> items;
            if (next("[")) {
                m_P = matching(m_T, m_P) + 1;
                if (def->kind != Def::Array)
                    return std::nullopt;
                items = def->parts;
            } else if (def->kind == Def::Aggregate) {
                Tokens whole{Token{Token::Punct, "{", std::nullopt, 0}};
                for (std::size_t i = 0; i < def->parts.size(); ++i) {
                    if (i > 0)
                        whole.push_back(Token{Token::Punct, ",", std::nullopt, 0});
                    whole.insert(whole.end(), def->parts[i].begin(), def->parts[i].end());
                }
                whole.push_back(Token{Token::Punct, "}", std::nullopt, 0});
                items.push_back(whole);
            } else {
                return std::nullopt;
            }
            if (!next(".")) {
                IdSet all;
                for (const Tokens &item : items) {
                    const auto v =
                        m_Index.evaluate(item, Context{def->file, def->function, def->position}, m_Depth + 1);
                    if (!v)
                        return std::nullopt;
                    all.insert(v->begin(), v->end());
                }
                return all;
            }
            return fieldOfEvery(*def, items);
        }
        if (next("("))
            return std::nullopt; // a call
        return m_Index.resolve(names, name, m_Ctx, m_Depth + 1);
    }

    Index &m_Index;
    const Tokens &m_T;
    Context m_Ctx;
    int m_Depth;
    std::size_t m_P = 0;
    std::size_t m_End = 0;
};

std::optional<IdSet> Index::evaluate(const Tokens &t, const Context &ctx, int depth)
{
    if (t.empty())
        return std::nullopt;
    Evaluator e(*this, t, ctx, depth);
    return e.full(0, t.size());
}

// ---- the structure of a file: scopes, definitions, calls ----------------

struct Scope {
    enum Kind { File, Namespace, Class, Function, Block } kind = Block;
    std::string name;
    std::vector<std::string> params;
    std::size_t statement = 0; // declaration level: where the current declaration starts
};

bool isDeclarationLevel(const Scope &s)
{
    return s.kind == Scope::File || s.kind == Scope::Namespace || s.kind == Scope::Class;
}

std::vector<std::string> parameterNames(const Tokens &t, std::size_t open)
{
    std::vector<std::string> names;
    const std::size_t close = matching(t, open);
    for (const Tokens &param : splitCommas(t, open + 1, close, true)) {
        std::size_t end = param.size();
        for (std::size_t k = 0; k < param.size(); ++k) {
            if (is(param[k], "=")) {
                end = k;
                break;
            }
        }
        for (std::size_t k = end; k-- > 0;) {
            if (param[k].kind == Token::Ident) {
                if (k > 0)
                    names.push_back(param[k].text);
                break;
            }
        }
    }
    return names;
}

// What a declaration [begin, end) of a declaration-level scope is when a
// brace follows: a namespace, a class, a function, or none of these.
struct Head {
    Scope::Kind kind = Scope::Block;
    std::string name;
    std::size_t open = 0; // the function's parameter list
    std::size_t close = 0;
    bool initList = false;    // the brace is in a constructor's initializer list
    bool initializer = false; // the declaration has a top-level "="
};

Head declarationHead(const Tokens &t, std::size_t begin, std::size_t end)
{
    Head head;
    while (begin + 1 < end && is(t[begin], "template") && is(t[begin + 1], "<"))
        begin = pastAngles(t, begin + 1);
    for (std::size_t k = begin; k < end; ++k) {
        if (is(t[k], "namespace")) {
            head.kind = Scope::Namespace;
            for (std::size_t j = k + 1; j < end; ++j)
                head.name += t[j].text;
            return head;
        }
        if (is(t[k], "extern") && k + 1 < end && t[k + 1].kind == Token::String) {
            head.kind = Scope::Namespace;
            return head;
        }
    }
    for (std::size_t k = begin; k < end; ++k) {
        const Token &tok = t[k];
        if (is(tok, "enum"))
            return head;
        if (is(tok, "=")) {
            head.initializer = true;
            return head;
        }
        if (is(tok, "(") || is(tok, "[") || is(tok, "{")) {
            if (is(tok, "(") && k > begin && t[k - 1].kind == Token::Ident && !head.name.empty() &&
                head.kind == Scope::Class)
                return Head{}; // a class key in a return type
            if (is(tok, "(") && k > begin && t[k - 1].kind == Token::Ident && head.kind != Scope::Class) {
                head.kind = Scope::Function;
                head.name = t[k - 1].text;
                head.open = k;
                head.close = matching(t, k);
                std::size_t j = head.close + 1;
                while (j < end && (t[j].kind == Token::Ident || is(t[j], "&") || is(t[j], "&&")))
                    ++j; // const, override, noexcept, ...
                head.initList = j < end && is(t[j], ":");
                return head;
            }
            k = matching(t, k);
            continue;
        }
        if ((is(tok, "class") || is(tok, "struct") || is(tok, "union")) && head.kind != Scope::Class) {
            head.kind = Scope::Class;
            for (std::size_t j = k + 1; j < end; ++j) {
                if (is(t[j], ":") || is(t[j], "final"))
                    break;
                if (t[j].kind == Token::Ident)
                    head.name = t[j].text;
            }
        }
    }
    return head;
}

class FileParser {
public:
    FileParser(Index &index, const SourceFile &file, const std::vector<Taker> &takers, std::vector<RawSite> &sites)
        : m_Index(index), m_File(file), m_T(file.tokens), m_Takers(takers), m_Sites(sites)
    {
    }

    void Run()
    {
        m_Stack.push_back(Scope{Scope::File, "", {}, 0});
        for (std::size_t k = 0; k < m_T.size(); ++k) {
            const Token &tok = m_T[k];
            Scope &top = m_Stack.back();
            if (is(tok, "{")) {
                openBrace(k);
                continue;
            }
            if (is(tok, "}")) {
                if (m_Stack.size() > 1) {
                    const Scope popped = m_Stack.back();
                    m_Stack.pop_back();
                    if (popped.kind != Scope::Block && isDeclarationLevel(m_Stack.back()))
                        m_Stack.back().statement = k + 1;
                }
                continue;
            }
            if (is(tok, ";") && isDeclarationLevel(top)) {
                if (top.kind == Scope::Class)
                    fields(top, top.statement, k);
                top.statement = k + 1;
                continue;
            }
            if (is(tok, "const") || is(tok, "constexpr"))
                definition(k);
            if (is(tok, "for") && k + 1 < m_T.size() && is(m_T[k + 1], "("))
                loop(k + 1);
            if (tok.kind == Token::Ident)
                call(k);
        }
    }

private:
    std::vector<std::string> scopePath() const
    {
        std::vector<std::string> path;
        for (const Scope &s : m_Stack) {
            if (s.kind == Scope::Namespace || s.kind == Scope::Class)
                path.push_back(s.name);
        }
        return path;
    }

    const Scope *function() const
    {
        for (auto it = m_Stack.rbegin(); it != m_Stack.rend(); ++it) {
            if (it->kind == Scope::Function)
                return &*it;
        }
        return nullptr;
    }

    void openBrace(std::size_t k)
    {
        Scope &top = m_Stack.back();
        Scope s;
        if (isDeclarationLevel(top)) {
            const Head head = declarationHead(m_T, top.statement, k);
            s.kind = head.kind;
            s.name = head.name;
            if (head.kind == Scope::Function) {
                if (head.initList && k > 0 && (m_T[k - 1].kind == Token::Ident || is(m_T[k - 1], ">")))
                    s.kind = Scope::Block; // a member's braced initializer
                else
                    s.params = parameterNames(m_T, head.open);
            }
        }
        s.statement = k + 1;
        m_Stack.push_back(s);
    }

    void fields(const Scope &cls, std::size_t begin, std::size_t end)
    {
        while (begin + 1 < end && m_T[begin].kind == Token::Ident && is(m_T[begin + 1], ":") &&
               (is(m_T[begin], "public") || is(m_T[begin], "private") || is(m_T[begin], "protected")))
            begin += 2;
        if (begin >= end)
            return;
        static const std::set<std::string> skip = {"static", "using", "friend", "typedef", "enum", "template"};
        if (skip.count(m_T[begin].text) != 0)
            return;
        for (std::size_t k = begin; k < end; ++k) {
            if (is(m_T[k], "("))
                return;
        }
        std::vector<std::string> names;
        for (const Tokens &declarator : splitCommas(m_T, begin, end, true)) {
            std::string name;
            for (const Token &tok : declarator) {
                if (is(tok, "=") || is(tok, "{") || is(tok, "[") || is(tok, ":"))
                    break;
                if (tok.kind == Token::Ident)
                    name = tok.text;
            }
            if (!name.empty())
                names.push_back(name);
        }
        if (names.empty())
            return;
        auto range = m_Index.structs.equal_range(cls.name);
        for (auto it = range.first; it != range.second; ++it) {
            if (it->second.file == &m_File) {
                it->second.fields.insert(it->second.fields.end(), names.begin(), names.end());
                return;
            }
        }
        m_Index.structs.emplace(cls.name, StructDef{cls.name, names, &m_File});
    }

    void definition(std::size_t k)
    {
        std::size_t j = k + 1;
        int angles = 0;
        for (; j < m_T.size(); ++j) {
            const Token &tok = m_T[j];
            if (is(tok, "<"))
                ++angles;
            else if (is(tok, ">"))
                --angles;
            else if (is(tok, ">>"))
                angles -= 2;
            else if (angles == 0 && (is(tok, "=") || is(tok, "[") || is(tok, "{")))
                break;
            else if (is(tok, "(") || is(tok, ")") || is(tok, ";") || is(tok, ":") || is(tok, "}") ||
                     (angles == 0 && is(tok, ",")))
                return;
        }
        if (j >= m_T.size() || j < k + 3 || m_T[j - 1].kind != Token::Ident)
            return;
        Def d;
        d.name = m_T[j - 1].text;
        for (std::size_t i = k + 1; i + 1 < j; ++i) {
            if (is(m_T[i], "*") || is(m_T[i], "&"))
                return; // a pointer or a reference: no integer constant
            if (m_T[i].kind == Token::Ident)
                d.type = m_T[i].text;
        }
        if (d.type.empty())
            return;
        std::size_t p = j;
        if (is(m_T[p], "[")) {
            d.kind = Def::Array;
            p = matching(m_T, p) + 1;
        }
        if (p < m_T.size() && is(m_T[p], "="))
            ++p;
        if (p >= m_T.size())
            return;
        if (is(m_T[p], "{")) {
            const std::size_t close = matching(m_T, p);
            if (close >= m_T.size())
                return;
            d.parts = splitCommas(m_T, p + 1, close);
            if (d.kind != Def::Array)
                d.kind = Def::Aggregate;
        } else {
            if (d.kind == Def::Array)
                return;
            Tokens expr;
            int depth = 0;
            for (; p < m_T.size(); ++p) {
                const Token &tok = m_T[p];
                if (is(tok, "(") || is(tok, "[") || is(tok, "{"))
                    ++depth;
                else if (is(tok, ")") || is(tok, "]") || is(tok, "}"))
                    --depth;
                if (depth < 0 || (depth == 0 && (is(tok, ";") || is(tok, ","))))
                    break;
                expr.push_back(tok);
            }
            d.parts.push_back(expr);
        }
        d.scope = scopePath();
        if (const Scope *f = function())
            d.function = f->name;
        d.file = &m_File;
        d.position = k;
        m_Index.defs.emplace(d.name, std::move(d));
    }

    // The variable of a loop over a braced list, "for (T id : {a, b})", or of
    // a counted loop, "for (T id = a; id <= b; ++id)", as a local definition
    // of the values it takes.
    void loop(std::size_t open)
    {
        const std::size_t close = matching(m_T, open);
        std::size_t colon = 0;
        std::size_t semi = 0;
        std::size_t semi2 = 0;
        int depth = 0;
        for (std::size_t k = open + 1; k < close; ++k) {
            if (is(m_T[k], "(") || is(m_T[k], "[") || is(m_T[k], "{"))
                ++depth;
            else if (is(m_T[k], ")") || is(m_T[k], "]") || is(m_T[k], "}"))
                --depth;
            else if (depth == 0 && is(m_T[k], ":") && colon == 0)
                colon = k;
            else if (depth == 0 && is(m_T[k], ";"))
                (semi == 0 ? semi : semi2) = k;
        }
        Def d;
        d.scope = scopePath();
        if (const Scope *f = function())
            d.function = f->name;
        d.file = &m_File;
        d.position = open;
        if (colon > open + 1 && semi == 0 && m_T[colon - 1].kind == Token::Ident && is(m_T[colon + 1], "{") &&
            matching(m_T, colon + 1) == close - 1) {
            d.kind = Def::Array;
            d.name = m_T[colon - 1].text;
            d.parts = splitCommas(m_T, colon + 2, close - 1);
        } else if (colon > open + 1 && semi == 0 && m_T[colon - 1].kind == Token::Ident && colon + 1 < close &&
                   m_T[close - 1].kind == Token::Ident) {
            // for (const T &name : kArray)
            Tokens range(m_T.begin() + static_cast<std::ptrdiff_t>(colon) + 1,
                         m_T.begin() + static_cast<std::ptrdiff_t>(close));
            for (std::size_t k = 1; k < range.size(); k += 2) {
                if (!is(range[k], "::"))
                    return;
            }
            d.kind = Def::Each;
            d.name = m_T[colon - 1].text;
            d.parts.push_back(range);
        } else if (semi > open + 3 && semi2 > semi) {
            // T name = a ; name <= b ; ++name
            std::size_t eq = open + 1;
            while (eq < semi && !is(m_T[eq], "="))
                ++eq;
            if (eq >= semi || eq == open + 1 || m_T[eq - 1].kind != Token::Ident)
                return;
            d.name = m_T[eq - 1].text;
            const std::size_t c = semi + 1;
            if (c + 2 > semi2 || !is(m_T[c], d.name.c_str()) || !(is(m_T[c + 1], "<=") || is(m_T[c + 1], "<")))
                return;
            const Tokens step(m_T.begin() + static_cast<std::ptrdiff_t>(semi2) + 1,
                              m_T.begin() + static_cast<std::ptrdiff_t>(close));
            if (joined(step) != "++" + d.name && joined(step) != d.name + "++")
                return;
            d.kind = Def::Range;
            d.parts.push_back(Tokens(m_T.begin() + static_cast<std::ptrdiff_t>(eq) + 1,
                                     m_T.begin() + static_cast<std::ptrdiff_t>(semi)));
            d.parts.push_back(Tokens(m_T.begin() + static_cast<std::ptrdiff_t>(c) + 2,
                                     m_T.begin() + static_cast<std::ptrdiff_t>(semi2)));
            d.parts.push_back(Tokens{Token{Token::Number, "1", is(m_T[c + 1], "<=") ? 1 : 0, 0}});
        } else {
            return;
        }
        m_Index.defs.emplace(d.name, std::move(d));
    }

    std::vector<const Taker *> takersFor(const std::string &name) const
    {
        std::vector<const Taker *> specific;
        std::vector<const Taker *> general;
        for (const Taker &t : m_Takers) {
            if (t.function != name)
                continue;
            if (t.file == m_File.path)
                specific.push_back(&t);
            else if (t.file.empty())
                general.push_back(&t);
        }
        return specific.empty() ? general : specific;
    }

    void call(std::size_t k)
    {
        const std::vector<const Taker *> takers = takersFor(m_T[k].text);
        if (takers.empty())
            return;
        std::size_t open = k + 1;
        if (open < m_T.size() && is(m_T[open], "<"))
            open = pastAngles(m_T, open);
        if (open >= m_T.size() || !is(m_T[open], "("))
            return;
        const Scope &top = m_Stack.back();
        std::string functionName;
        std::vector<std::string> params;
        if (isDeclarationLevel(top)) {
            // At declaration level a call is only in an initializer or in
            // a constructor's initializer list; anything else declares.
            const Head head = declarationHead(m_T, top.statement, k);
            if (head.initializer) {
                functionName.clear();
            } else if (head.kind == Scope::Function && head.initList && k > head.close) {
                functionName = head.name;
                params = parameterNames(m_T, head.open);
            } else {
                return;
            }
        } else {
            std::size_t b = k;
            while (b >= 2 && is(m_T[b - 1], "::") && m_T[b - 2].kind == Token::Ident)
                b -= 2;
            if (b > 0 && m_T[b - 1].kind == Token::Ident) {
                static const std::set<std::string> keywords = {"return",   "throw", "else", "case",  "co_return",
                                                               "co_yield", "do",    "emit", "Q_EMIT"};
                if (keywords.count(m_T[b - 1].text) == 0)
                    return; // a declaration
            }
            if (const Scope *f = function()) {
                functionName = f->name;
                params = f->params;
            }
        }
        const std::size_t close = matching(m_T, open);
        for (const Taker *taker : takers) {
            RawSite site;
            site.where = Context{&m_File, functionName, k};
            site.line = m_T[k].line;
            site.params = params;
            site.taker = taker;
            site.args = splitCommas(m_T, open + 1, close);
            m_Sites.push_back(std::move(site));
        }
    }

    Index &m_Index;
    const SourceFile &m_File;
    const Tokens &m_T;
    const std::vector<Taker> &m_Takers;
    std::vector<RawSite> &m_Sites;
    std::vector<Scope> m_Stack;
};

// ---- sites ---------------------------------------------------------------

// The argument without a cast around it: static_cast<T>(x), T(x), T{x},
// QString::fromLatin1(x) and the like.
Tokens unwrapped(Tokens t)
{
    for (;;) {
        if (t.size() >= 4 && is(t[0], "static_cast")) {
            const std::size_t open = pastAngles(t, 1);
            if (open < t.size() && is(t[open], "(") && matching(t, open) == t.size() - 1) {
                t = Tokens(t.begin() + static_cast<std::ptrdiff_t>(open) + 1, t.end() - 1);
                continue;
            }
        }
        std::size_t k = 0;
        while (k + 2 < t.size() && t[k].kind == Token::Ident && is(t[k + 1], "::"))
            k += 2;
        if (k < t.size() && t[k].kind == Token::Ident && k + 1 < t.size() && (is(t[k + 1], "(") || is(t[k + 1], "{")) &&
            matching(t, k + 1) == t.size() - 1) {
            static const std::set<std::string> wrappers = {"fromLatin1",    "fromUtf8", "QStringLiteral",
                                                           "QLatin1String", "QString",  "QLatin1StringView",
                                                           "QVariant"};
            if (wrappers.count(t[k].text) != 0 || isIntegerType(t[k].text)) {
                t = Tokens(t.begin() + static_cast<std::ptrdiff_t>(k) + 2, t.end() - 1);
                continue;
            }
        }
        return t;
    }
}

bool callsTextLookup(const Tokens &t)
{
    return t.size() >= 2 && t[0].kind == Token::Ident &&
           (t[0].text == "LoadResourceString" || t[0].text == "GetResourceText") && is(t[1], "(");
}

} // namespace

std::string Normalized(const std::string &expression)
{
    return joined(lex(expression).tokens);
}

ScanResult Scan(const std::string &root, const std::vector<std::string> &folders, const std::vector<Taker> &takers)
{
    ScanResult result;
    Index index;
    for (const std::string &folder : folders) {
        std::vector<fs::path> paths;
        for (const auto &entry : fs::directory_iterator(fs::path(root) / folder)) {
            const std::string ext = entry.path().extension().string();
            if (entry.is_regular_file() && (ext == ".h" || ext == ".cpp"))
                paths.push_back(entry.path());
        }
        std::sort(paths.begin(), paths.end());
        for (const fs::path &path : paths) {
            std::ifstream in(path, std::ios::binary);
            std::stringstream text;
            text << in.rdbuf();
            Lexed lexed = lex(text.str());
            auto file = std::make_unique<SourceFile>();
            file->path = fs::relative(path, root).generic_string();
            file->tokens = std::move(lexed.tokens);
            file->includes = std::move(lexed.includes);
            index.byName.emplace(path.filename().string(), file.get());
            index.files.push_back(std::move(file));
        }
    }

    std::vector<RawSite> raw;
    for (const auto &file : index.files)
        FileParser(index, *file, takers, raw).Run();

    for (const RawSite &r : raw) {
        const Taker &taker = *r.taker;
        Site site;
        site.file = r.where.file->path;
        site.line = r.line;
        site.function = r.where.function;
        site.taker = &taker;
        if (taker.idArg >= static_cast<int>(r.args.size()) && taker.zeroIsNone) {
            site.ids = IdSet{}; // an id left at its default names no text
            result.sites.push_back(std::move(site));
            continue;
        }
        if (taker.idArg >= static_cast<int>(r.args.size())) {
            result.problems.push_back(site.file + ":" + std::to_string(site.line) + ": " + taker.function +
                                      " has no argument " + std::to_string(taker.idArg + 1));
            continue;
        }
        const Tokens &arg = r.args[static_cast<std::size_t>(taker.idArg)];
        site.argument = joined(arg);
        const auto extra = [&](int offset) -> std::optional<IdSet> {
            const int n = taker.extraArg + offset;
            if (n < 0 || n >= static_cast<int>(r.args.size()))
                return std::nullopt;
            site.argument += ", " + joined(r.args[static_cast<std::size_t>(n)]);
            return index.evaluate(r.args[static_cast<std::size_t>(n)], r.where);
        };

        // An id handed on from the enclosing function's parameter: its
        // callers are checked where that function is a taker itself.
        const Tokens bare = unwrapped(arg);
        const bool param = bare.size() == 1 && bare[0].kind == Token::Ident &&
                           std::find(r.params.begin(), r.params.end(), bare[0].text) != r.params.end();
        const bool enclosingTakes = std::any_of(takers.begin(), takers.end(), [&](const Taker &t) {
            return t.function == r.where.function && (t.file.empty() || t.file == site.file);
        });

        switch (taker.use) {
        case Use::TextList: {
            const auto elements = bracedElements(arg);
            if (elements) {
                IdSet all;
                bool ok = true;
                for (const Tokens &e : *elements) {
                    const auto v = index.evaluate(e, r.where);
                    if (!v) {
                        ok = false;
                        break;
                    }
                    all.insert(v->begin(), v->end());
                }
                if (ok)
                    site.ids = all;
            }
            break;
        }
        case Use::DigitText: {
            if (bare.size() == 1 && bare[0].kind == Token::String) {
                std::string text = bare[0].text;
                text.erase(0, text.find_first_not_of(' '));
                text.erase(text.find_last_not_of(' ') + 1);
                if (text.empty() || text == "0" || text == "-")
                    site.ids = IdSet{};
                else if (std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
                    site.ids = IdSet{std::stoll(text)};
                else
                    site.ids = IdSet{-1}; // a designed text that names no string id
            } else if (bare.size() >= 4 && is(bare[0], "QString") && is(bare[1], "::") && is(bare[2], "number") &&
                       is(bare[3], "(") && matching(bare, 3) == bare.size() - 1) {
                site.ids = index.evaluate(Tokens(bare.begin() + 4, bare.end() - 1), r.where);
            } else if (callsTextLookup(bare)) {
                site.ids = IdSet{}; // a text looked up already (a site of its own)
            }
            break;
        }
        case Use::CodeTable: {
            const auto base = index.evaluate(arg, r.where);
            const auto count = extra(0);
            if (base && count && count->size() == 1) {
                IdSet all;
                for (const std::int64_t b : *base) {
                    for (std::int64_t i = 0; i < *count->begin(); ++i)
                        all.insert(b + i);
                }
                site.ids = all;
            }
            break;
        }
        case Use::CodeSpan: {
            const auto base = index.evaluate(arg, r.where);
            const auto first = extra(0);
            const auto last = extra(1);
            if (base && first && last && first->size() == 1 && last->size() == 1) {
                IdSet all;
                for (const std::int64_t b : *base) {
                    for (std::int64_t i = *first->begin(); i <= *last->begin(); ++i)
                        all.insert(b + i);
                }
                site.ids = all;
            }
            break;
        }
        default: site.ids = index.evaluate(arg, r.where); break;
        }
        if (!site.ids && param && enclosingTakes) {
            site.forwarded = true;
        }
        if (site.ids && taker.zeroIsNone)
            site.ids->erase(0);

        if (taker.use == Use::Filled) {
            const int n = taker.extraArg;
            if (n >= static_cast<int>(r.args.size())) {
                site.values = 0;
            } else {
                const Tokens &values = r.args[static_cast<std::size_t>(n)];
                site.valuesArgument = joined(values);
                if (const auto elements = bracedElements(values)) {
                    site.values = static_cast<int>(elements->size());
                } else if (values.size() == 1 && values[0].kind == Token::Ident) {
                    // A list built beforehand: QVariantList number{a, b};
                    const Def *list = index.findDef({}, values[0].text, r.where);
                    if (list != nullptr && list->kind == Def::Aggregate)
                        site.values = static_cast<int>(list->parts.size());
                }
            }
        }
        result.sites.push_back(std::move(site));
    }
    return result;
}

} // namespace idscan
